#include "remote/rigctlservice.h"

#include <QAction>
#include <QCoreApplication>
#include <QLabel>
#include <QMenu>
#include <QLoggingCategory>
#include <QMenuBar>

#include "panel/tavrinview.h"

Q_DECLARE_LOGGING_CATEGORY(lcRemote)

namespace {
constexpr int kStatusWidth = 340;

// The protocol asks no password: on any other address than this computer's
// own, the log says so once a run.
void WarnIfReachable(const QHostAddress& address)
{
    static bool warned = false;
    if (warned || address.isLoopback())
        return;
    warned = true;
    qCWarning(lcRemote).noquote() << QStringLiteral("the rig-control server listens on %1: anyone who can reach "
                                                    "the port can key the transmitter").arg(address.toString());
}
} // namespace

CRigctlService::CRigctlService(CTavrinView& view, const CSilenceWatch& silence, QMenu* radioMenu, QMenuBar* menuBar,
                               const RigctlSettings& settings)
    : m_settings(settings),
      m_seam(view, silence),
      m_server(m_seam),
      m_action(radioMenu->addAction(QStringLiteral("Rig Control Server"))),
      m_status(new QLabel)
{
    m_server.Guard().SetTimeout(m_settings.txTimeout);
    m_action->setCheckable(true);
    m_action->setChecked(m_settings.enabled);
    m_action->setStatusTip(QStringLiteral("Let station programs read and set the radio (rigctl protocol)"));
    m_status->setObjectName(QStringLiteral("rigctlStatus"));
    m_status->setContentsMargins(8, 0, 8, 0);
    m_status->setAccessibleName(QStringLiteral("Rig control server"));
    menuBar->setCornerWidget(m_status, Qt::TopRightCorner);
    connect(m_action, &QAction::triggered, this, &CRigctlService::OnTriggered);
    connect(&m_server, &CRigServer::ClientsChanged, this, &CRigctlService::ShowStatus);
    // A key the network holds is released while the port is still open, and
    // no client reaches the radio while the window closes and the channel
    // file is written.
    connect(&view, &CTavrinView::Closing, this, [this] { m_server.Close(); });
    connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { m_server.Close(); });
    // A lost link has already put the panel back to receive: the key is
    // nobody's to take back any more.
    connect(&view.Comm(), &CMSComm::PortLost, &m_server.Guard(), &CTransmitGuard::Unkeyed);
    if (m_settings.enabled)
        Start();
    ShowStatus();
}

CRigctlService::~CRigctlService() = default;

void CRigctlService::OnTriggered(bool on)
{
    SaveRigctlEnabled(on);
    m_failure.clear();
    if (on)
        Start();
    else
        m_server.Close();
    ShowStatus();
}

void CRigctlService::Start()
{
    const std::optional<QHostAddress> address = ParseRigctlAddress(m_settings.address);
    if (!address)
        m_failure = QStringLiteral("\"%1\" is not an address").arg(m_settings.address);
    else if (!m_server.Listen(*address, m_settings.port))
        m_failure = ListenFailure();
    else
        WarnIfReachable(*address);
}

QString CRigctlService::ListenFailure() const
{
    switch (m_server.Error()) {
    case QAbstractSocket::AddressInUseError:
        return QStringLiteral("%1 is in use").arg(Endpoint());
    case QAbstractSocket::SocketAddressNotAvailableError:
        return QStringLiteral("%1 is not an address of this computer").arg(m_settings.address);
    case QAbstractSocket::SocketAccessError:
        return QStringLiteral("no permission to listen on %1").arg(Endpoint());
    default:
        return QStringLiteral("%1: %2").arg(Endpoint(), m_server.ErrorString());
    }
}

QString CRigctlService::Endpoint() const
{
    const QString address = m_settings.address.contains(QLatin1Char(':')) ? QStringLiteral("[%1]").arg(m_settings.address)
                                                                          : m_settings.address;
    return QStringLiteral("%1:%2").arg(address).arg(m_settings.port);
}

QString CRigctlService::StatusText() const
{
    if (!m_failure.isEmpty())
        return QStringLiteral("Rig control off: %1").arg(m_failure);
    const int clients = m_server.ClientCount();
    const QString count = clients == 0   ? QStringLiteral("no clients")
                          : clients == 1 ? QStringLiteral("1 client")
                                         : QStringLiteral("%1 clients").arg(clients);
    return QStringLiteral("Rig control on %1, %2").arg(Endpoint(), count);
}

// The line shares the menu bar with the menus and must not widen the window
// the panel fits: a long address or reason is cut short, whole in the tip.
void CRigctlService::ShowStatus()
{
    m_status->setVisible(m_action->isChecked());
    const QString text = StatusText();
    m_status->setToolTip(text);
    m_status->setText(m_status->fontMetrics().elidedText(text, Qt::ElideMiddle, kStatusWidth));
}
