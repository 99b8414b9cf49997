#include "app/commandline.h"

#include "app/datadir.h"
#include "netport/netaddress.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

namespace {

void Print(FILE* stream, const QString& text)
{
    std::fputs(qPrintable(text), stream);
    std::fflush(stream);
}

struct DataDirOptions {
    QCommandLineOption named{QStringLiteral("data-dir"),
                             QStringLiteral("Keep the channel file in <dir>, created if missing,"
                                            " instead of the working folder."),
                             QStringLiteral("dir")};
    QCommandLineOption user{QStringLiteral("user-data-dir"),
                            QStringLiteral("Keep the channel file in $XDG_DATA_HOME/tavrin"
                                           " (~/.local/share/tavrin), created if missing.")};
};

bool ReadDataDir(const QCommandLineParser& parser, const DataDirOptions& given, StartOptions& options,
                 QString& problem)
{
    if (parser.isSet(given.named) && parser.isSet(given.user)) {
        problem = QStringLiteral("--data-dir and --user-data-dir cannot be used together.");
        return false;
    }
    if (parser.isSet(given.user))
        options.dataDir = UserDataDir();
    if (parser.isSet(given.named)) {
        options.dataDir = parser.value(given.named);
        if (options.dataDir.isEmpty()) {
            problem = QStringLiteral("--data-dir needs a folder.");
            return false;
        }
    }
    return true;
}

bool TakeRigctlOptions(const QCommandLineParser& parser, const QCommandLineOption& port,
                       const QCommandLineOption& address, RigctlCommandLine& rigctl)
{
    if (parser.isSet(port)) {
        rigctl.port = ParseRigctlPort(parser.value(port));
        if (!rigctl.port) {
            Print(stderr, QStringLiteral("--%1 wants a port number from 1 to 65535, not \"%2\"\n").arg(port.names().first(), parser.value(port)));
            return false;
        }
    }
    if (parser.isSet(address)) {
        if (!ParseRigctlAddress(parser.value(address))) {
            Print(stderr, QStringLiteral("--%1 wants an IP address, not \"%2\"\n").arg(address.names().first(), parser.value(address)));
            return false;
        }
        rigctl.address = parser.value(address).trimmed();
    }
    return true;
}

// A bad address is refused here, before any window opens or anything is sent.
// A good one is kept with its files' absolute paths: they were named in the
// folder the program was started in, which it leaves for the data folder.
bool TakePortOption(const QCommandLineParser& parser, const QCommandLineOption& port, StartOptions& options)
{
    if (!parser.isSet(port))
        return true;
    options.port = parser.value(port).trimmed();
    QString problem;
    if (options.port.isEmpty())
        problem = QStringLiteral("it needs a device path or an address");
    else if (const std::optional<NetAddress> address = LooksLikeNetAddress(options.port)
                                                           ? ParseNetAddress(options.port, problem) : std::nullopt)
        options.port = address->Url();
    if (!problem.isEmpty())
        Print(stderr, QStringLiteral("--port: %1\n").arg(problem));
    return problem.isEmpty();
}

bool OneCommandAtATime(const StartOptions& options, QString& problem)
{
    const int commands = int(options.channels.action != ChannelsCommandLine::Action::None)
                         + int(options.operators.action != OperatorsCommandLine::Action::None)
                         + int(options.transmissions.print) + int(options.audio.list);
    if (commands <= 1)
        return true;
    problem = QStringLiteral("The channel, the operator, the transmissions and the --list-audio options go one at a time.");
    return false;
}

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

// The certificate's paths are made absolute: they were named in the folder
// the program was started in, which it leaves for the data folder.
bool TakeWebOptions(const QCommandLineParser& parser, const WebOptions& given, WebCommandLine& web)
{
    if (parser.isSet(given.port)) {
        const QString text = parser.value(given.port).trimmed();
        web.port = text == QLatin1String("0") ? std::optional<quint16>(0) : ParseRigctlPort(text);
        if (!web.port) {
            Print(stderr, QStringLiteral("--web-port wants a port number from 0 to 65535, not \"%1\"\n").arg(text));
            return false;
        }
    }
    if (parser.isSet(given.address)) {
        const bool any = parser.value(given.address).trimmed() == QLatin1String(kEveryWebAddress);
        if (!any && !ParseRigctlAddress(parser.value(given.address))) {
            Print(stderr, QStringLiteral("--web-address wants an IP address or \"any\", not \"%1\"\n")
                              .arg(parser.value(given.address)));
            return false;
        }
        web.address = any ? QString() : parser.value(given.address).trimmed();
    }
    if (parser.isSet(given.cert) != parser.isSet(given.key)) {
        Print(stderr, QStringLiteral("--web-cert and --web-key go together\n"));
        return false;
    }
    if (parser.isSet(given.cert)) {
        web.certFile = QFileInfo(parser.value(given.cert)).absoluteFilePath();
        web.keyFile = QFileInfo(parser.value(given.key)).absoluteFilePath();
    }
    return true;
}

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

// Whether the devices exist is known only once Qt Multimedia runs; that is
// checked before the window opens.
bool TakeAudioOptions(const QCommandLineParser& parser, const AudioOptions& given, AudioCommandLine& audio)
{
    audio.list = parser.isSet(given.list);
    audio.input = parser.value(given.input).trimmed();
    audio.output = parser.value(given.output).trimmed();
    for (const QCommandLineOption* option : {&given.input, &given.output}) {
        if (parser.isSet(*option) && parser.value(*option).trimmed().isEmpty()) {
            Print(stderr, QStringLiteral("--%1 needs a device's description or id (tavrin --list-audio lists them)\n")
                              .arg(option->names().first()));
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<StartOptions> ParseCommandLine(const QStringList& arguments, int& exitCode)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Front panel for the Harris RF-350 HF transceiver."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const DataDirOptions dataDir;
    parser.addOptions({dataDir.named, dataDir.user});
    const QCommandLineOption trace(QStringLiteral("trace"),
                                   QStringLiteral("Append every command sent and every line received, time-stamped, to <file>."),
                                   QStringLiteral("file"));
    parser.addOption(trace);
    const QCommandLineOption rigctlPort(QStringLiteral("rigctl-port"),
        QStringLiteral("Run the rig-control server for station programs on TCP port <port> (this run only)."),
        QStringLiteral("port"));
    const QCommandLineOption rigctlAddress(QStringLiteral("rigctl-address"),
        QStringLiteral("The address the rig-control server listens on, 127.0.0.1 unless named. It asks no password: name another only on a network you trust."),
        QStringLiteral("address"));
    parser.addOptions({rigctlPort, rigctlAddress});
    const QCommandLineOption flrigPort(QStringLiteral("flrig-port"),
        QStringLiteral("Run the flrig-compatible XML-RPC server for station programs on TCP port <port> (this run only; "
                       "flrig's own is 12345)."),
        QStringLiteral("port"));
    const QCommandLineOption flrigAddress(QStringLiteral("flrig-address"),
        QStringLiteral("The address the flrig server listens on, 127.0.0.1 unless named. It asks no password: name another only on a network you trust."),
        QStringLiteral("address"));
    parser.addOptions({flrigPort, flrigAddress});
    const ChannelsOptions channels;
    parser.addOptions(channels.All());
    const TransmissionsOptions transmissions;
    parser.addOptions(transmissions.All());
    const OperatorsOptions operators;
    parser.addOptions(operators.All());
    const QCommandLineOption port(QStringLiteral("port"),
        QStringLiteral("Use <address> for the radio this run, whatever the channel file and the profile name: a device path, "
                       "socket://HOST:PORT or rfc2217://HOST:PORT (ser2net), with ?tls=1&ca=FILE&cert=FILE&key=FILE or &fp=SHA256 for TLS."),
        QStringLiteral("address"));
    parser.addOption(port);
    const WebOptions web;
    parser.addOptions(web.All());
    const AudioOptions audio;
    parser.addOptions(audio.All());
    const FleetOptions fleet;
    parser.addOptions(fleet.All());
    const QCommandLineOption headless(QStringLiteral("headless"),
        QStringLiteral("Run with no window and no display (a station computer for the web panel and the station "
                       "programs); what a box would say goes to stderr. Ends, saving the channel file, on SIGTERM."));
    parser.addOption(headless);

    exitCode = 0;
    if (!parser.parse(arguments)) {
        Print(stderr, parser.errorText() + QLatin1Char('\n'));
        exitCode = 2;
        return std::nullopt;
    }
    if (parser.isSet(help)) {
        // No application object exists yet to name the program.
        Print(stdout, parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("tavrin")));
        return std::nullopt;
    }
    if (parser.isSet(version)) {
        Print(stdout, QStringLiteral("tavrin %1\n").arg(QStringLiteral(TAVRIN_VERSION)));
        return std::nullopt;
    }
    StartOptions options;
    QString problem;
    if (!ReadDataDir(parser, dataDir, options, problem)) {
        Print(stderr, problem + QLatin1Char('\n'));
        exitCode = 2;
        return std::nullopt;
    }
    options.traceFile = parser.value(trace);
    options.headless = parser.isSet(headless);
    if (!TakeRigctlOptions(parser, rigctlPort, rigctlAddress, options.rigctl)
        || !TakeRigctlOptions(parser, flrigPort, flrigAddress, options.flrig) || !TakePortOption(parser, port, options)
        || !TakeWebOptions(parser, web, options.web) || !TakeAudioOptions(parser, audio, options.audio)) {
        exitCode = 2;
        return std::nullopt;
    }
    if (!TakeChannelsOptions(parser, channels, options.channels, problem)
        || !TakeTransmissionsOptions(parser, transmissions, options.transmissions, problem)
        || !TakeOperatorsOptions(parser, operators, options.operators, problem)
        || !fleet.Take(parser, options.fleet, problem)
        || !OneCommandAtATime(options, problem)) {
        Print(stderr, problem + QLatin1Char('\n'));
        exitCode = 2;
        return std::nullopt;
    }
    return options;
}
