#include "app/webpart.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>

#include "app/commandline.h"
#include "app/userruntimedir.h"
#include "app/webpartcommandline.h"
#include "audio/audiocommand.h"
#include "audio/audiodevicesdlg.h"
#include "fleet/fleetconsole.h"
#include "fleet/fleetstation.h"
#include "fleet/panelstationsource.h"
#include "remote/rigctlsettings.h"
#include "txlog/stationrecord.h"
#include "web/operatorscommand.h"
#include "web/websettings.h"
#include "web/webserver.h"
#include "web/webservice.h"

// The part's options, which CWebPartOptions keeps.
struct WebOptions {
    QCommandLineOption port{QStringLiteral("web-port"),
                            QStringLiteral("Serve the web panel over HTTPS on TCP port <port>, and at later starts too "
                                           "(0 turns it off). Operators log in with a name and password."),
                            QStringLiteral("port")};
    QCommandLineOption address{QStringLiteral("web-address"),
                               QStringLiteral("The address the web panel listens on, at this start and the later "
                                              "ones (\"any\": every address of this computer, as when none is named)."),
                               QStringLiteral("address")};
    QCommandLineOption cert{QStringLiteral("web-cert"),
                            QStringLiteral("The web panel's certificate (PEM), instead of the one made in the data folder."),
                            QStringLiteral("file")};
    QCommandLineOption key{QStringLiteral("web-key"), QStringLiteral("The private key (PEM) of --web-cert."),
                           QStringLiteral("file")};
    QList<QCommandLineOption> All() const { return {port, address, cert, key}; }
};

struct AudioOptions {
    QCommandLineOption list{QStringLiteral("list-audio"),
                            QStringLiteral("List the sound cards' inputs and outputs, by the description and id "
                                           "--audio-in and --audio-out take, and end.")};
    QCommandLineOption input{QStringLiteral("audio-in"),
                             QStringLiteral("Take the receiver's audio for remote listeners from input <device>, and at "
                                            "later starts too."),
                             QStringLiteral("device")};
    QCommandLineOption output{QStringLiteral("audio-out"),
                              QStringLiteral("Feed remote operators' microphones to the transmitter through output "
                                             "<device>, and at later starts too."),
                              QStringLiteral("device")};
    QList<QCommandLineOption> All() const { return {list, input, output}; }
};

namespace {

// The certificate's paths are made absolute: they were named in the folder
// the program was started in, which it leaves for the data folder.
bool TakeWebOptions(const QCommandLineParser& parser, const WebOptions& given, WebCommandLine& web, QString& problem)
{
    if (parser.isSet(given.port)) {
        const QString text = parser.value(given.port).trimmed();
        web.port = text == QLatin1String("0") ? std::optional<quint16>(0) : ParseRigctlPort(text);
        if (!web.port) {
            problem = QStringLiteral("--web-port wants a port number from 0 to 65535, not \"%1\"").arg(text);
            return false;
        }
    }
    if (parser.isSet(given.address)) {
        const bool any = parser.value(given.address).trimmed() == QLatin1String(kEveryWebAddress);
        if (!any && !ParseRigctlAddress(parser.value(given.address))) {
            problem = QStringLiteral("--web-address wants an IP address or \"any\", not \"%1\"")
                          .arg(parser.value(given.address));
            return false;
        }
        web.address = any ? QString() : parser.value(given.address).trimmed();
    }
    if (parser.isSet(given.cert) != parser.isSet(given.key)) {
        problem = QStringLiteral("--web-cert and --web-key go together");
        return false;
    }
    if (parser.isSet(given.cert)) {
        web.certFile = QFileInfo(parser.value(given.cert)).absoluteFilePath();
        web.keyFile = QFileInfo(parser.value(given.key)).absoluteFilePath();
    }
    return true;
}

// Whether the devices exist is known only once Qt Multimedia runs; that is
// checked before the window opens.
bool TakeAudioOptions(const QCommandLineParser& parser, const AudioOptions& given, AudioCommandLine& audio,
                      QString& problem)
{
    audio.list = parser.isSet(given.list);
    audio.input = parser.value(given.input).trimmed();
    audio.output = parser.value(given.output).trimmed();
    for (const QCommandLineOption* option : {&given.input, &given.output}) {
        if (parser.isSet(*option) && parser.value(*option).trimmed().isEmpty()) {
            problem = QStringLiteral("--%1 needs a device's description or id (tavrin --list-audio lists them)")
                          .arg(option->names().first());
            return false;
        }
    }
    return true;
}

// Either half may be there without the other: a web panel on no broker, or
// a station on a broker with no web panel.
class CStartedWebPart : public CWebPart {
public:
    CStartedWebPart(std::unique_ptr<CWebService> service, const FleetSettings& fleet)
        : m_service(std::move(service)), m_fleetSettings(fleet)
    {
    }

    void Attach(CTavrinView& view, CSilenceWatch& silence, CTransmitHolder& holder, CStationRecord& record,
                QMenu* helpMenu, QWidget* parent) override
    {
        if (m_service) {
            m_service->Attach(view, silence, holder, helpMenu, parent);
            QObject::connect(&m_service->Server(), &CWebServer::Access, &record,
                             [&record](const QString& event, const QString& address, const QString& name) {
                                 record.Record(event, address, name, QStringLiteral("web"));
                             });
        }
        if (m_fleetSettings.broker)
            AttachFleet(view, silence, holder, record);
    }

    CWebService* Service() { return m_service.get(); }

private:
    // The station on the fleet's broker, its outbox in the data folder.
    void AttachFleet(CTavrinView& view, CSilenceWatch& silence, CTransmitHolder& holder, CStationRecord& record)
    {
        auto* source = new CPanelStationSource(view, silence, holder, record, m_service.get(), &view);
        m_fleet = std::make_unique<CFleetStation>(*source, m_fleetSettings, QDir::current().absoluteFilePath(
                                                                                 QStringLiteral("fleet-outbox.jsonl")));
    }

    std::unique_ptr<CWebService> m_service;
    FleetSettings m_fleetSettings;
    // Goes first: it reads the web panel's pages.
    std::unique_ptr<CFleetStation> m_fleet;
};

} // namespace

struct CWebPartOptions::Given {
    OperatorsOptions operators;
    WebOptions web;
    AudioOptions audio;
    FleetOptions fleet;
};

CWebPartOptions::CWebPartOptions(QCommandLineParser& parser) : m_given(std::make_unique<Given>())
{
    parser.addOptions(m_given->operators.All());
    parser.addOptions(m_given->web.All());
    parser.addOptions(m_given->audio.All());
    parser.addOptions(m_given->fleet.All());
}

CWebPartOptions::~CWebPartOptions() = default;

bool CWebPartOptions::Take(const QCommandLineParser& parser, StartOptions& options, QString& problem) const
{
    auto named = std::make_shared<WebPartCommandLine>();
    if (!TakeWebOptions(parser, m_given->web, named->web, problem)
        || !TakeAudioOptions(parser, m_given->audio, named->audio, problem)
        || !TakeOperatorsOptions(parser, m_given->operators, named->operators, problem)
        || !m_given->fleet.Take(parser, named->fleet, problem))
        return false;
    options.webPart = std::move(named);
    return true;
}

int CWebPartOptions::Commands(const StartOptions& options)
{
    if (!options.webPart)
        return 0;
    return int(options.webPart->operators.action != OperatorsCommandLine::Action::None)
         + int(options.webPart->audio.list);
}

std::optional<int> RunWebPartCommand(const StartOptions& options, int argc, char* argv[])
{
    if (!options.webPart)
        return std::nullopt;
    if (options.webPart->operators.action != OperatorsCommandLine::Action::None)
        return RunOperatorsCommand(options.webPart->operators);
    // Before anything looks for a sound server: a service or sudo has no
    // login to say where the user's is.
    UseUserRuntimeDir();
    if (options.webPart->audio.list)
        return RunListAudioCommand(argc, argv);
    // The operations page runs no radio and no window.
    if (options.webPart->fleet.console)
        return RunFleetConsole(argc, argv, options.webPart->fleet, options.webPart->web);
    return std::nullopt;
}

// Sound cards named and missing end the start before the web panel listens.
std::unique_ptr<CWebPart> CWebPart::Start(const StartOptions& options, QString& problem)
{
    const WebPartCommandLine named = options.webPart ? *options.webPart : WebPartCommandLine{};
    if (!CheckAudioCommandLine(named.audio, problem))
        return nullptr;
    FleetSettings fleet;
    if (!LoadFleetSettings(named.fleet, fleet, problem))
        return nullptr;
    std::unique_ptr<CWebService> service = CWebService::Start(LoadWebSettings(named.web), problem);
    if (!problem.isEmpty() || (!service && !fleet.broker))
        return nullptr;
    return std::make_unique<CStartedWebPart>(std::move(service), fleet);
}

void CWebPart::AddMenuEntries(QMenu* radioMenu, QWidget* parent, std::function<CWebPart*()> running)
{
    CAudioDevicesDlg::AddTo(radioMenu, parent, [running](const AudioSettings& devices) {
        if (CWebPart* part = running(); part && static_cast<CStartedWebPart*>(part)->Service())
            static_cast<CStartedWebPart*>(part)->Service()->UseAudioDevices(devices);
    });
}
