#include "remote/transmitguard.h"

#include <QLoggingCategory>

#include "keying/transmitholder.h"
#include "remote/rigseam.h"

Q_DECLARE_LOGGING_CATEGORY(lcRemote)

CTransmitGuard::CTransmitGuard(CRigSeam& rig, QObject* parent) : QObject(parent), m_rig(rig)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(kDefaultTimeout);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(m_timer.intervalAsDuration());
        Unkey(QStringLiteral("the %1 s watchdog").arg(seconds.count()));
    });
}

void CTransmitGuard::SetHolder(CTransmitHolder* holder)
{
    if (m_holder)
        disconnect(m_holder, nullptr, this, nullptr);
    m_holder = holder;
    if (holder)
        connect(holder, &CTransmitHolder::Ended, this, &CTransmitGuard::Unkeyed);
}

void CTransmitGuard::Keyed(const QObject* client)
{
    if (!m_keyer)
        m_timer.start();
    m_keyer = client;
}

void CTransmitGuard::Unkeyed()
{
    m_keyer = nullptr;
    m_timer.stop();
}

void CTransmitGuard::ClientGone(const QObject* client)
{
    if (client == m_keyer)
        Unkey(QStringLiteral("the client went away"));
}

void CTransmitGuard::Release()
{
    if (m_keyer)
        Unkey(QStringLiteral("the server stopped"));
}

void CTransmitGuard::Unkey(const QString& why)
{
    m_keyer = nullptr;
    m_timer.stop();
    qCWarning(lcRemote).noquote() << why << "- back to receive";
    if (m_holder)
        m_holder->NoteUnkeyReason(why);
    m_rig.Unkey();
}
