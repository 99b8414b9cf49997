#include "link/mscomm.h"

#include "link/serialbackend.h"

namespace {
CMSComm::BackendFactory& Factory()
{
    static CMSComm::BackendFactory factory;
    return factory;
}
} // namespace

void CMSComm::SetBackendFactory(BackendFactory factory) { Factory() = std::move(factory); }

CMSComm::CMSComm()
    : m_backend(Factory() ? Factory()() : MakeSerialBackend())
{
    connect(m_backend.get(), &CommBackend::ReadyRead, this, &CMSComm::OnBytesArrived);
    connect(m_backend.get(), &CommBackend::Drained, this, &CMSComm::OnOutputDrained);
    connect(m_backend.get(), &CommBackend::Lost, this, &CMSComm::OnDeviceLost);
    connect(m_backend.get(), &CommBackend::OpenFinished, this, &CMSComm::OnOpenFinished);
    connect(m_backend.get(), &CommBackend::OpenRefused, this, [this](const QString& why) {
        const CommError error{CommErrorKind::OpenRefused, Named(why)};
        m_trace.Note(error.text);
        emit OpenFailed(error);
    });
}

CMSComm::~CMSComm()
{
    m_backend->Close();
}

void CMSComm::Throw(CommErrorKind kind, const QString& text) const
{
    throw CommError{kind, text};
}

void CMSComm::SetCommPort(short port)
{
    if (port < 1 && !EveryPortLeadsToOneDevice())
        Throw(CommErrorKind::InvalidPort, QStringLiteral("COM%1 is not a valid port number").arg(port));
    if (GetPortOpen() && port != m_commPort)
        Throw(CommErrorKind::InvalidPort, QStringLiteral("the port number cannot change while the port is open"));
    m_commPort = port;
}

void CMSComm::SetSettings(const CString& settings)
{
    const auto parsed = ParseCommSettings(settings);
    if (!parsed)
        Throw(CommErrorKind::BadSettings, QStringLiteral("invalid port settings \"%1\"").arg(ToWidgetText(settings)));
    if (GetPortOpen() || IsOpening()) {
        const QString failure = m_backend->Apply(*parsed);
        if (!failure.isEmpty())
            Throw(CommErrorKind::BadSettings, failure);
    }
    m_settings = *parsed;
    m_settingsText = settings;
}

void CMSComm::SetRTSEnable(bool on)
{
    m_rts = on;
    if (GetPortOpen())
        m_backend->SetRts(on);
}

void CMSComm::SetDTREnable(bool on)
{
    m_dtr = on;
    m_dtrSet = true;
    if (GetPortOpen())
        m_backend->SetDtr(on);
}

bool CMSComm::GetPortOpen() const { return m_backend->IsOpen(); }

void CMSComm::SetPortOpen(bool open)
{
    if (!open) {
        if (GetPortOpen() || IsOpening())
            m_trace.Note(QStringLiteral("COM%1 (%2) closed").arg(m_commPort).arg(m_device));
        m_backend->Close();
        ForgetReceived();
        return;
    }
    if (GetPortOpen())
        return;
    if (!IsOpening() && OpenNow())
        return;
    Throw(CommErrorKind::OpenPending, m_openingWords);
}

// True when the device opened at once, false when its open is under way.
bool CMSComm::OpenNow()
{
    m_device = DeviceForCommPort(m_commPort);
    const QString failure = m_backend->Open(m_device, m_settings);
    if (IsOpening()) {
        m_openingWords = Named(failure);
        m_trace.Note(m_openingWords);
        return false;
    }
    if (!m_backend->IsOpen())
        Throw(CommErrorKind::OpenFailed, Named(failure));
    if (!failure.isEmpty()) {
        m_backend->Close();
        Throw(CommErrorKind::BadSettings, Named(failure));
    }
    ApplyLines();
    return true;
}

QString CMSComm::Named(const QString& words) const
{
    return QStringLiteral("COM%1 (%2): %3").arg(m_commPort).arg(m_device, words);
}

// RTS is raised and DTR written as the port opens, if they were set before.
void CMSComm::ApplyLines()
{
    if (m_rts)
        m_backend->SetRts(true);
    if (m_dtrSet)
        m_backend->SetDtr(m_dtr);
    m_trace.Note(QStringLiteral("COM%1 (%2) open, settings \"%3\"").arg(m_commPort).arg(m_device, ToWidgetText(m_settingsText)));
}

void CMSComm::OnOpenFinished(const QString& failure)
{
    if (!failure.isEmpty() || !m_backend->IsOpen()) {
        const CommError error{CommErrorKind::OpenFailed, Named(failure)};
        m_trace.Note(error.text);
        emit OpenFailed(error);
        return;
    }
    ApplyLines();
    emit PortOpened();
}

void CMSComm::SetOutput(const QVariant& output)
{
    if (!GetPortOpen())
        Throw(CommErrorKind::PortClosed, QStringLiteral("the port is not open"));
    const QByteArray bytes = output.toByteArray();
    const QString failure = m_backend->Write(bytes);
    if (!failure.isEmpty())
        Throw(CommErrorKind::WriteFailed, failure);
    m_trace.Sent(bytes);
}

QVariant CMSComm::GetInput()
{
    const qsizetype waiting = m_received.size() - m_taken;
    const qsizetype length = m_inputLen > 0 ? qMin<qsizetype>(m_inputLen, waiting) : waiting;
    const QByteArray input = m_received.mid(m_taken, length);
    m_taken += length;
    return QVariant(input);
}

// One OnComm per character: the receive handler takes one character per event
// and relies on a further event while characters remain. An event whose
// handler takes nothing ends the round until more arrives.
void CMSComm::OnBytesArrived()
{
    const QByteArray arrived = m_backend->ReadAll();
    m_trace.Received(arrived);
    m_received += arrived;
    if (m_dispatching)
        return; // the running round picks the new bytes up
    m_dispatching = true;
    while (m_taken < m_received.size()) {
        const qsizetype before = m_taken;
        m_commEvent = comEvReceive;
        emit OnComm();
        if (m_taken == before)
            break;
    }
    m_received.remove(0, m_taken);
    m_taken = 0;
    m_dispatching = false;
}

// With a send threshold of 1 the control reports each time its output
// buffer empties: the panel's refresh after a command, radio or no radio.
void CMSComm::OnOutputDrained()
{
    if (m_sThreshold < 1)
        return;
    m_commEvent = comEvSend;
    emit OnComm();
}

// What a closed port held is freed, not kept for the next open.
void CMSComm::ForgetReceived()
{
    m_received = QByteArray();
    m_taken = 0;
}

void CMSComm::OnDeviceLost(const QString& why)
{
    ForgetReceived();
    const CommError lost{CommErrorKind::PortLost, QStringLiteral("COM%1 (%2) lost: %3").arg(m_commPort).arg(m_device, why)};
    m_trace.Note(lost.text);
    emit PortLost(lost);
}
