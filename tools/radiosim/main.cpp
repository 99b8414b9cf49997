#include "panelregistration.h"
#include "quitonsignal.h"
#include "radiosimulator.h"
#include "samplechannelfile.h"
#include "simoptions.h"
#include "statedump.h"

#include <QCoreApplication>
#include <QDir>
#include <QTimer>

#include <cstdio>

using namespace radiosim;

namespace {

void say(FILE *stream, const QString &text)
{
    std::fputs(qPrintable(text + '\n'), stream);
    std::fflush(stream);
}

// The name the panel is told to open: the stable one when there is one.
QString panelsName(const SimOptions &options, const RadioSimulator &sim)
{
    return options.linkPath.isEmpty() ? sim.portName() : options.linkPath;
}

bool prepareDesk(const SimOptions &options, const QString &portName)
{
    if (options.registerPort > 0
        && PanelRegistration::registerPort(options.registerPort, portName).isEmpty()) {
        say(stderr, QStringLiteral("could not write the panel's settings"));
        return false;
    }
    const int port = options.registerPort > 0 ? options.registerPort : 1;
    if (options.writeChannelFile
        && !SampleChannelFile::writeIfMissing(QStringLiteral("h350save.dat"), port)) {
        say(stderr, QStringLiteral("could not write h350save.dat"));
        return false;
    }
    return true;
}

QString hint(const SimOptions &options)
{
    if (options.registerPort <= 0)
        return QStringLiteral("Map it for the panel with --register N, or open it directly.");
    return QStringLiteral("Registered as COM%1; start the panel with 'tavrin' in %2"
                          " (its h350save.dat must name port %1).")
        .arg(options.registerPort)
        .arg(QDir::currentPath());
}

void keepStateFile(RadioSimulator &sim, const QString &path)
{
    if (path.isEmpty())
        return;
    const auto dump = [&sim, path] {
        if (!StateDump::write(path, sim.state(), sim.commandsHandled()))
            say(stderr, QStringLiteral("could not write %1").arg(path));
    };
    dump();
    QObject::connect(&sim, &RadioSimulator::inputHandled, &sim, dump);
}

int milliseconds(double seconds) { return int(seconds * 1000); }

void armDisconnect(RadioSimulator &sim, const SimOptions &options)
{
    if (options.disconnectAfterS > 0)
        QTimer::singleShot(milliseconds(options.disconnectAfterS), &sim, &RadioSimulator::disconnectLink);
}

// Back on a new pty; without a stable name the panel's settings follow it.
void comeBack(RadioSimulator &sim, const SimOptions &options)
{
    if (!sim.reconnectLink() || !prepareDesk(options, panelsName(options, sim))) {
        say(stderr, sim.errorString());
        QCoreApplication::exit(1);
        return;
    }
    say(stdout, sim.portName());
    armDisconnect(sim, options);
}

void planDisconnect(RadioSimulator &sim, const SimOptions &options)
{
    armDisconnect(sim, options);
    if (options.reconnectAfterS <= 0) {
        QObject::connect(&sim, &RadioSimulator::linkClosed, qApp, &QCoreApplication::quit);
        return;
    }
    QObject::connect(&sim, &RadioSimulator::linkClosed, &sim, [&sim, options] {
        QTimer::singleShot(milliseconds(options.reconnectAfterS), &sim, [&sim, options] { comeBack(sim, options); });
    });
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("tavrin-radiosim"));
    app.setApplicationVersion(QStringLiteral(TAVRIN_VERSION));
    SimOptions options;
    QString error;
    if (!parseOptions(app.arguments(), options, error)) {
        say(stderr, error);
        return 2;
    }
    RadioSimulator sim;
    sim.setState(options.initial);
    sim.setOutgoingFaults(options.outgoing);
    sim.setIncomingFaults(options.incoming);
    sim.setStablePath(options.linkPath);
    if (!sim.start()) {
        say(stderr, sim.errorString());
        return 1;
    }
    if (!prepareDesk(options, panelsName(options, sim)))
        return 1;
    say(stdout, sim.portName());
    say(stdout, hint(options));
    QuitOnSignal quitOnSignal;
    keepStateFile(sim, options.stateFile);
    planDisconnect(sim, options);
    return app.exec();
}
