#include "remote/serverservice.h"

#include <QAction>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLoggingCategory>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>

#include "panel/tavrinview.h"
#include "remote/stationserver.h"
#include "remote/transmitguard.h"

Q_DECLARE_LOGGING_CATEGORY(lcRemote)

namespace {

constexpr int kStatusWidth = 340;

// Neither protocol asks a password: on any other address than this
// computer's own, the log says so once a run for each server.
void WarnReachable(const QString& name, const QHostAddress& address)
{
    qCWarning(lcRemote).noquote() << QStringLiteral("the %1 server listens on %2: anyone who can reach "
                                                    "the port can key the transmitter")
                                         .arg(name.toLower(), address.toString());
}

// The servers' lines side by side in the menu bar's one corner.
QLabel* AddStatusLine(QMenuBar* menuBar)
{
    QWidget* corner = menuBar->cornerWidget(Qt::TopRightCorner);
    if (!corner) {
        corner = new QWidget;
        corner->setObjectName(QStringLiteral("serverStatus"));
        auto* row = new QHBoxLayout(corner);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(0);
        menuBar->setCornerWidget(corner, Qt::TopRightCorner);
    }
    auto* label = new QLabel;
    corner->layout()->addWidget(label);
    return label;
}

// The lines share one width, so the menus keep their room whichever of the
// servers are on; each line is cut short as it must be, whole in its tip.
void FitStatusLines(QWidget* corner)
{
    const QList<QLabel*> lines = corner->findChildren<QLabel*>();
    const auto shown = std::count_if(lines.begin(), lines.end(), [corner](QLabel* line) { return line->isVisibleTo(corner); });
    for (QLabel* line : lines)
        line->setText(line->fontMetrics().elidedText(line->toolTip(), Qt::ElideMiddle, kStatusWidth / int(std::max<qsizetype>(1, shown))));
}

} // namespace

CServerService::CServerService(CStationServer& server, StationServerKind kind, ServerTexts texts, CTavrinView& view,
                               QMenu* radioMenu, QMenuBar* menuBar, const RigctlSettings& settings)
    : QObject(&server),
      m_server(server),
      m_kind(kind),
      m_texts(std::move(texts)),
      m_settings(settings),
      m_action(radioMenu->addAction(m_texts.menuItem)),
      m_status(AddStatusLine(menuBar))
{
    m_server.Guard().SetTimeout(m_settings.txTimeout);
    m_action->setCheckable(true);
    m_action->setChecked(m_settings.enabled);
    m_action->setStatusTip(m_texts.statusTip);
    m_status->setObjectName(m_texts.objectName);
    m_status->setContentsMargins(8, 0, 8, 0);
    m_status->setAccessibleName(m_texts.name + QStringLiteral(" server"));
    connect(m_action, &QAction::triggered, this, &CServerService::OnTriggered);
    connect(&m_server, &CStationServer::ClientsChanged, this, &CServerService::ShowStatus);
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

void CServerService::OnTriggered(bool on)
{
    SaveServerEnabled(m_kind, on);
    m_failure.clear();
    if (on)
        Start();
    else
        m_server.Close();
    ShowStatus();
}

void CServerService::Start()
{
    const std::optional<QHostAddress> address = ParseRigctlAddress(m_settings.address);
    if (!address)
        m_failure = QStringLiteral("\"%1\" is not an address").arg(m_settings.address);
    else if (!m_server.Listen(*address, m_settings.port))
        m_failure = ListenFailure();
    else if (!address->isLoopback() && !m_warnedReachable) {
        WarnReachable(m_texts.name, *address);
        m_warnedReachable = true;
    }
}

QString CServerService::ListenFailure() const
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

QString CServerService::Endpoint() const
{
    const QString address = m_settings.address.contains(QLatin1Char(':')) ? QStringLiteral("[%1]").arg(m_settings.address)
                                                                          : m_settings.address;
    return QStringLiteral("%1:%2").arg(address).arg(m_settings.port);
}

QString CServerService::StatusText() const
{
    if (!m_failure.isEmpty())
        return QStringLiteral("%1 off: %2").arg(m_texts.name, m_failure);
    const int clients = m_server.ClientCount();
    const QString count = clients == 0   ? QStringLiteral("no clients")
                          : clients == 1 ? QStringLiteral("1 client")
                                         : QStringLiteral("%1 clients").arg(clients);
    return QStringLiteral("%1 on %2, %3").arg(m_texts.name, Endpoint(), count);
}

// The line shares the menu bar with the menus and must not widen the window
// the panel fits: a long address or reason is cut short, whole in the tip.
void CServerService::ShowStatus()
{
    m_status->setVisible(m_action->isChecked());
    m_status->setToolTip(StatusText());
    FitStatusLines(m_status->parentWidget());
}
