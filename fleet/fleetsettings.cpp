#include "fleet/fleetsettings.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QSysInfo>

#include "netport/netaddress.h"
#include "netport/tlsfiles.h"

namespace {
const char* const kBrokerKey = "Fleet/Broker";
const char* const kNameKey = "Fleet/Name";
const char* const kCertKey = "Fleet/Cert";
const char* const kKeyKey = "Fleet/Key";
const char* const kCaKey = "Fleet/CA";

QString Kept(QSettings& profile, const char* key, const std::optional<QString>& given, bool keep)
{
    if (!keep)
        return given.value_or(QString());
    if (given)
        profile.setValue(QLatin1String(key), *given);
    return given.value_or(profile.value(QLatin1String(key)).toString());
}

// The host name up to its first dot, when that makes a usable name.
QString DefaultName()
{
    const QString host = QSysInfo::machineHostName().section(QLatin1Char('.'), 0, 0);
    return IsUsableStationName(host) ? host : QStringLiteral("station");
}
} // namespace

bool IsUsableStationName(const QString& name)
{
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z0-9._-]{1,64}$"));
    return pattern.match(name).hasMatch();
}

bool LoadFleetSettings(const FleetCommandLine& forThisRun, FleetSettings& settings, QString& why, bool keep)
{
    QSettings profile;
    settings = FleetSettings();
    const QString broker = Kept(profile, kBrokerKey, forThisRun.broker, keep);
    settings.name = Kept(profile, kNameKey, forThisRun.name, keep);
    settings.certFile = Kept(profile, kCertKey, forThisRun.certFile, keep);
    settings.keyFile = Kept(profile, kKeyKey, forThisRun.keyFile, keep);
    settings.caFile = Kept(profile, kCaKey, forThisRun.caFile, keep);
    if (settings.name.isEmpty())
        settings.name = DefaultName();
    if (broker.isEmpty())
        return true;
    settings.broker = ParseBrokerAddress(broker, why);
    if (!settings.broker)
        return false;
    if (!IsUsableStationName(settings.name)) {
        why = QStringLiteral("\"%1\" cannot be a station's name: 1 to 64 letters, digits, '.', '_' and '-'").arg(settings.name);
        return false;
    }
    if (settings.certFile.isEmpty() != settings.keyFile.isEmpty()) {
        why = QStringLiteral("--fleet-cert and --fleet-key go together");
        return false;
    }
    // The same checks as a radio's TLS files: ordinary files of at most 1 MB.
    NetAddress files;
    files.tls = true;
    files.certFile = settings.certFile;
    files.keyFile = settings.keyFile;
    files.caFile = settings.caFile;
    return TlsFilesReadable(files, why);
}

struct FleetOptions::Options {
    QCommandLineOption broker{QStringLiteral("fleet-broker"),
                              QStringLiteral("Publish this station's state, transmissions and access record to the MQTT "
                                             "broker at <url> (mqtts://HOST:8883; mqtt:// only on this computer), and at "
                                             "later starts too (\"off\" stops it)."),
                              QStringLiteral("url")};
    QCommandLineOption name{QStringLiteral("fleet-name"),
                            QStringLiteral("This station's name under tavrin/ on the broker (the host name unless named); "
                                           "kept for later starts."),
                            QStringLiteral("name")};
    QCommandLineOption cert{QStringLiteral("fleet-cert"),
                            QStringLiteral("The client certificate (PEM) shown to the broker; kept for later starts."),
                            QStringLiteral("file")};
    QCommandLineOption key{QStringLiteral("fleet-key"), QStringLiteral("The private key (PEM) of --fleet-cert."),
                           QStringLiteral("file")};
    QCommandLineOption ca{QStringLiteral("fleet-ca"),
                          QStringLiteral("The CA (PEM) the broker's certificate is checked against, instead of the "
                                         "system's; kept for later starts."),
                          QStringLiteral("file")};
    QCommandLineOption console{QStringLiteral("fleet-console"),
                               QStringLiteral("Run no radio: read every station from --fleet-broker and serve the "
                                              "operations page on --web-port to operators with the watch role.")};
};

FleetOptions::FleetOptions() : m_options(new Options) {}
FleetOptions::~FleetOptions() { delete m_options; }

QList<QCommandLineOption> FleetOptions::All() const
{
    return {m_options->broker, m_options->name, m_options->cert, m_options->key, m_options->ca, m_options->console};
}

// The files' paths are made absolute: they were named in the folder the
// program was started in, which it leaves for the data folder.
bool FleetOptions::Take(const QCommandLineParser& parser, FleetCommandLine& fleet, QString& problem) const
{
    fleet.console = parser.isSet(m_options->console);
    if (parser.isSet(m_options->broker)) {
        const QString url = parser.value(m_options->broker).trimmed();
        fleet.broker = url == QLatin1String(kNoBroker) ? QString() : url;
        if (!fleet.broker->isEmpty() && !ParseBrokerAddress(url, problem)) {
            problem = QStringLiteral("--fleet-broker: ") + problem;
            return false;
        }
    }
    if (parser.isSet(m_options->name)) {
        fleet.name = parser.value(m_options->name).trimmed();
        if (!IsUsableStationName(*fleet.name)) {
            problem = QStringLiteral("--fleet-name wants 1 to 64 letters, digits, '.', '_' and '-', not \"%1\"").arg(*fleet.name);
            return false;
        }
    }
    const std::pair<const QCommandLineOption*, std::optional<QString>*> files[] = {
        {&m_options->cert, &fleet.certFile}, {&m_options->key, &fleet.keyFile}, {&m_options->ca, &fleet.caFile}};
    for (const auto& [option, value] : files)
        if (parser.isSet(*option))
            *value = QFileInfo(parser.value(*option)).absoluteFilePath();
    if (fleet.console && !parser.isSet(m_options->broker)) {
        problem = QStringLiteral("--fleet-console needs --fleet-broker");
        return false;
    }
    return true;
}
