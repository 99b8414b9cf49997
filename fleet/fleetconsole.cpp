#include "fleet/fleetconsole.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QSysInfo>
#include <QThread>
#include <QUuid>
#include <cstdio>

#include "fleet/fleetboard.h"
#include "fleet/fleetsettings.h"
#include "fleet/fleetlog.h"
#include "fleet/mqttlink.h"
#include "remote/hostaddresses.h"
#include "remote/rigctlsettings.h"
#include "sessionend/termsignals.h"
#include "txlog/accessfile.h"
#include "web/operatorstore.h"
#include "web/webcertificate.h"
#include "web/webfeed.h"
#include "web/webserver.h"
#include "web/websettings.h"
#include "web/webtls.h"

namespace {

int Refuse(const QString& why)
{
    std::fprintf(stderr, "tavrin: %s\n", qPrintable(why));
    return 2;
}

WebSite ConsoleSite()
{
    return {QStringLiteral(":/fleet/fleet.html"),
            {{QStringLiteral("/fleet.js"), QStringLiteral(":/fleet/fleet.js"), "text/javascript"},
             {QStringLiteral("/messages.js"), QStringLiteral(":/web/messages.js"), "text/javascript"},
             {QStringLiteral("/fleet.css"), QStringLiteral(":/fleet/fleet.css"), "text/css"},
             {QStringLiteral("/style.css"), QStringLiteral(":/web/style.css"), "text/css"}},
            [](OperatorRole role) { return role == OperatorRole::Watch; }};
}

bool HasWatcher(const COperatorStore& operators)
{
    const QList<OperatorEntry> all = operators.Operators();
    return std::any_of(all.cbegin(), all.cend(), [](const OperatorEntry& entry) { return entry.role == OperatorRole::Watch; });
}

// The broker's side in a thread of its own, as a station's: the page's
// server never waits on it.
class CConsoleLink {
public:
    explicit CConsoleLink(MqttOptions options) : m_link(new CMqttLink(std::move(options)))
    {
        m_thread.setObjectName(QStringLiteral("fleet"));
        m_link->moveToThread(&m_thread);
        m_thread.start();
        QMetaObject::invokeMethod(m_link, &CMqttLink::Start, Qt::QueuedConnection);
    }
    ~CConsoleLink()
    {
        QMetaObject::invokeMethod(m_link, [link = m_link] { delete link; }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
    }
    CMqttLink* Link() const { return m_link; }

private:
    QThread m_thread;
    CMqttLink* m_link;
};

} // namespace

int RunFleetConsole(int argc, char* argv[], const FleetCommandLine& fleetNamed, const WebCommandLine& web)
{
    QCoreApplication application(argc, argv);
    // The page lives in a static library: nothing else would pull it in.
    Q_INIT_RESOURCE(fleet);
    FleetSettings fleet;
    QString why;
    if (!LoadFleetSettings(fleetNamed, fleet, why, false))
        return Refuse(why);
    if (!fleet.broker)
        return Refuse(QStringLiteral("--fleet-console needs --fleet-broker"));
    if (!web.port || *web.port == 0)
        return Refuse(QStringLiteral("--fleet-console needs --web-port: the operations page is served there"));
    COperatorStore operators;
    if (!operators.Load(why))
        return Refuse(why);
    if (!HasWatcher(operators))
        return Refuse(QStringLiteral("no operator has the watch role: add one with tavrin --add-operator NAME --role watch"));
    const QString address = web.address.value_or(QString());
    const QHostAddress listenOn = address.isEmpty() ? QHostAddress(QHostAddress::Any)
                                                    : ParseRigctlAddress(address).value_or(QHostAddress());
    // Made for the addresses the watchers reach it at, as the web panel's.
    WebIdentity identity;
    if (!LoadOrMakeWebIdentity(web.certFile, web.keyFile, identity, why, AddressesReaching(listenOn)))
        return Refuse(why);

    CFleetBoard board;
    CWebServer server(operators, [&board] { return WebPanelState{board.Stations(), {}, {}}; }, ConsoleSite());
    if (!server.Listen(listenOn, *web.port, WebTlsConfiguration(identity), why))
        return Refuse(why);
    CAccessFile record;
    QObject::connect(&server, &CWebServer::Access, &record,
                     [&record](const QString& event, const QString& peer, const QString& name) {
                         record.Record(event, peer, name.isEmpty() ? QStringLiteral("web") : QStringLiteral("web ") + name);
                     });

    MqttOptions mqtt;
    mqtt.broker = *fleet.broker;
    mqtt.clientId = QStringLiteral("tavrin-console-%1").arg(QUuid::createUuid().toString(QUuid::Id128).left(8));
    mqtt.certFile = fleet.certFile;
    mqtt.keyFile = fleet.keyFile;
    mqtt.caFile = fleet.caFile;
    mqtt.subscriptions = {QStringLiteral("tavrin/+/#")};
    CConsoleLink link(mqtt);
    QObject::connect(link.Link(), &CMqttLink::Message, &server,
                     [&board, &server](const QByteArray& topic, const QByteArray& payload, bool retained) {
                         if (board.Take(topic, payload, retained))
                             server.Feed().Changed();
                     });
    QObject::connect(link.Link(), &CMqttLink::Connected, &server,
                     [] { qCInfo(lcFleet) << "reading the fleet from the broker"; });
    QObject::connect(link.Link(), &CMqttLink::Lost, &server,
                     [](const QString& lost) { qCWarning(lcFleet).noquote() << "fleet broker:" << lost; });

    const QString host = address.isEmpty() ? QSysInfo::machineHostName() : address;
    std::printf("Fleet console: https://%s:%u/  certificate SHA-256 %s\n", qPrintable(host), unsigned(server.Port()),
                qPrintable(CertificateFingerprint(identity.certificate)));
    std::fflush(stdout);
    CTermSignals ending;
    QObject::connect(&ending, &CTermSignals::Received, &application, [] { QCoreApplication::quit(); });
    return QCoreApplication::exec();
}
