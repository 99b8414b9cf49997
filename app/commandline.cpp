#include "app/commandline.h"

#include "app/datadir.h"
#include "app/webpart.h"
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
                            QStringLiteral("Keep the channel file in %1, created if missing.").arg(UserDataDirForHelp())};
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
                         + int(options.transmissions.print) + CWebPartOptions::Commands(options);
    if (commands <= 1)
        return true;
    problem = QStringLiteral("The channel, the operator, the transmissions and the --list-audio options go one at a time.");
    return false;
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
    const CWebPartOptions webPart(parser);
    const QCommandLineOption port(QStringLiteral("port"),
        QStringLiteral("Use <address> for the radio this run, whatever the channel file and the profile name: a device path, "
                       "socket://HOST:PORT or rfc2217://HOST:PORT (ser2net), with ?tls=1&ca=FILE&cert=FILE&key=FILE or &fp=SHA256 for TLS."),
        QStringLiteral("address"));
    parser.addOption(port);
    const QCommandLineOption headless(QStringLiteral("headless"),
        QStringLiteral("Run with no window and no display, for a station computer nobody sits at; what a box would "
                       "say goes to stderr. Ends, saving the channel file, on SIGTERM or Ctrl+C."));
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
        || !TakeRigctlOptions(parser, flrigPort, flrigAddress, options.flrig) || !TakePortOption(parser, port, options)) {
        exitCode = 2;
        return std::nullopt;
    }
    if (!TakeChannelsOptions(parser, channels, options.channels, problem)
        || !TakeTransmissionsOptions(parser, transmissions, options.transmissions, problem)
        || !webPart.Take(parser, options, problem)
        || !OneCommandAtATime(options, problem)) {
        Print(stderr, problem + QLatin1Char('\n'));
        exitCode = 2;
        return std::nullopt;
    }
    return options;
}
