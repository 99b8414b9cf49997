#include "remote/serverservice.h"

#include <QAction>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLoggingCategory>
#include <QMenu>
#include <QMenuBar>
#include <algorithm>
#include <cstdio>

#include "panel/tavrinview.h"
#include "remote/hostaddresses.h"
#include "remote/listenproblem.h"
#include "remote/stationserver.h"
#include "remote/transmitguard.h"

Q_DECLARE_LOGGING_CATEGORY(lcRemote)

namespace {

constexpr int kStatusWidth = 340;
constexpr int kLineMargins = 16;  // the label's own, 8 each side
constexpr int kMostTerse = 3;
// A status line's property: its text from the whole sentence to the
// tersest, as ShowStatus words it.
constexpr const char* kWordings = "tavrinWordings";

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
// servers are on. Each line says as much as fits beside the others: the
// whole sentence, then fewer words, the address kept whole to the last
// (each line's tip and its accessible description hold it all). Only an
// address too long for any room is cut, in its middle.
void FitStatusLines(QWidget* corner)
{
    QList<QLabel*> lines = corner->findChildren<QLabel*>();
    lines.erase(std::remove_if(lines.begin(), lines.end(), [corner](QLabel* line) { return !line->isVisibleTo(corner); }),
                lines.end());
    const auto wordings = [](const QLabel* line) { return line->property(kWordings).toStringList(); };
    const auto wording = [&](const QLabel* line, int terseness) {
        const QStringList all = wordings(line);
        return all.isEmpty() ? line->toolTip() : all[std::min<qsizetype>(terseness, all.size() - 1)];
    };
    const auto widthAt = [&](int terseness) {
        int width = 0;
        for (const QLabel* line : lines)
            width += line->fontMetrics().horizontalAdvance(wording(line, terseness)) + kLineMargins;
        return width;
    };
    int terseness = 0;
    while (widthAt(terseness) > kStatusWidth && terseness < kMostTerse)
        ++terseness;
    const int share = kStatusWidth / int(std::max<qsizetype>(1, lines.size())) - kLineMargins;
    for (QLabel* line : lines) {
        const QString text = wording(line, terseness);
        line->setText(widthAt(terseness) > kStatusWidth ? line->fontMetrics().elidedText(text, Qt::ElideMiddle, share)
                                                        : text);
    }
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
    m_status->setContentsMargins(kLineMargins / 2, 0, kLineMargins / 2, 0);
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
    TellWhere(address);
}

// On the terminal or in the journal, as the web panel's address is: a
// station with no screen has no menu bar to show it.
void CServerService::TellWhere(const std::optional<QHostAddress>& address) const
{
    if (!m_failure.isEmpty()) {
        std::fprintf(stderr, "tavrin: %s\n", qPrintable(StatusText()));
        return;
    }
    QStringList endpoints;
    for (const QHostAddress& reached : AddressesReaching(*address))
        endpoints << QStringLiteral("%1:%2").arg(AddressInUrl(reached)).arg(m_settings.port);
    if (endpoints.isEmpty())
        endpoints << Endpoint();
    std::printf("%s server: %s\n", qPrintable(m_texts.name), qPrintable(endpoints.join(QStringLiteral("  "))));
    std::fflush(stdout);
}

QString CServerService::ListenFailure() const
{
    return ListenProblem(m_server.Error(), Endpoint(), m_settings.address, m_server.ErrorString());
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
    return QStringLiteral("%1 on %2, %3").arg(m_texts.name, Endpoint(), ClientsText());
}

QString CServerService::ClientsText() const
{
    const int clients = m_server.ClientCount();
    return clients == 0   ? QStringLiteral("no clients")
           : clients == 1 ? QStringLiteral("1 client")
                          : QStringLiteral("%1 clients").arg(clients);
}

// The line shares the menu bar with the menus and must not widen the window
// the panel fits: a long address or reason is cut short, whole in the tip.
void CServerService::ShowStatus()
{
    m_status->setVisible(m_action->isChecked());
    m_status->setToolTip(StatusText());
    m_status->setAccessibleDescription(StatusText());
    m_status->setProperty(kWordings, StatusWordings());
    FitStatusLines(m_status->parentWidget());
}

// From "Rig control on 127.0.0.1:4532, no clients" down to the address.
QStringList CServerService::StatusWordings() const
{
    if (!m_failure.isEmpty())
        return {StatusText(), QStringLiteral("%1 off").arg(m_texts.name)};
    const QString endpoint = Endpoint();
    return {StatusText(), QStringLiteral("%1 %2, %3").arg(m_texts.name, endpoint, ClientsText()),
            QStringLiteral("%1 %2").arg(m_texts.name, endpoint), endpoint};
}
