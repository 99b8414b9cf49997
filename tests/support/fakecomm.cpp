#include "support/fakecomm.h"

#include "link/mscomm.h"

namespace {
FakeCommBackend* g_latest = nullptr;
}

QString FakeCommBackend::Open(const QString& device, const CommSettings& settings)
{
    openedDevices << device;
    calls << QStringLiteral("open %1").arg(device);
    if (failOpen)
        return QStringLiteral("No such file or directory");
    applied = settings;
    if (openLater) {
        m_opening = true;
        return QStringLiteral("connecting");
    }
    m_open = true;
    return QString();
}

QString FakeCommBackend::Apply(const CommSettings& settings)
{
    applied = settings;
    return QString();
}

QString FakeCommBackend::SetDtr(bool on)
{
    dtrWrites << on;
    calls << QStringLiteral("DTR %1").arg(on);
    return QString();
}

QString FakeCommBackend::SetRts(bool on)
{
    rtsWrites << on;
    calls << QStringLiteral("RTS %1").arg(on);
    return QString();
}

// Like a serial port, the buffer empties once the event loop runs again:
// writes made in one go drain together.
QString FakeCommBackend::Write(const QByteArray& bytes)
{
    writes << bytes;
    calls << QStringLiteral("write %1").arg(QString::fromLatin1(bytes).replace(QLatin1Char('\n'), QStringLiteral("\\n")));
    if (!m_drainPending) {
        m_drainPending = true;
        QMetaObject::invokeMethod(this, [this] {
            m_drainPending = false;
            emit Drained();
        }, Qt::QueuedConnection);
    }
    return QString();
}

QByteArray FakeCommBackend::ReadAll()
{
    QByteArray bytes = m_pending;
    m_pending.clear();
    return bytes;
}

void FakeCommBackend::Inject(const QByteArray& bytes)
{
    m_pending += bytes;
    emit ReadyRead();
}

void FakeCommBackend::FinishOpen(const QString& failure)
{
    m_opening = false;
    m_open = failure.isEmpty();
    emit OpenFinished(failure);
}

void FakeCommBackend::RefuseOpen(const QString& why)
{
    m_opening = false;
    emit OpenRefused(why);
}

void FakeCommBackend::Vanish()
{
    m_open = false;
    emit Lost(QStringLiteral("device removed"));
}

FakeCommInstaller::FakeCommInstaller()
{
    CMSComm::SetBackendFactory([] {
        auto backend = std::make_unique<FakeCommBackend>();
        g_latest = backend.get();
        return backend;
    });
}

FakeCommInstaller::~FakeCommInstaller()
{
    CMSComm::SetBackendFactory({});
    g_latest = nullptr;
}

FakeCommBackend* FakeCommInstaller::Latest() { return g_latest; }
