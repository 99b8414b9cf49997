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

void planDisconnect(RadioSimulator &sim, double afterS)
{
    if (afterS > 0)
        QTimer::singleShot(int(afterS * 1000), &sim, &RadioSimulator::disconnectLink);
    QObject::connect(&sim, &RadioSimulator::linkClosed, qApp, &QCoreApplication::quit);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    app.setApplicationName(QStringLiteral("tavrin-radiosim"));
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
    if (!sim.start()) {
        say(stderr, sim.errorString());
        return 1;
    }
    if (!prepareDesk(options, sim.portName()))
        return 1;
    say(stdout, sim.portName());
    say(stdout, hint(options));
    QuitOnSignal quitOnSignal;
    keepStateFile(sim, options.stateFile);
    planDisconnect(sim, options.disconnectAfterS);
    return app.exec();
}
