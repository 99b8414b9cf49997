// What the user's machine pays at line rate: the real panel on a pty fed with
// status reports one character per write at 960 characters a second (9600
// baud, 7 data bits, odd parity, one stop bit), against a reference program
// that only wakes up for each character. Run by hand, not by CTest:
//
//   build/tools/bench/linerate [--seconds 30] [--rate 960] [--same]
//                              [--panel PATH] [--reference PATH] [--only panel|reference]
//
// Each program is started in a scratch directory (a channel file naming
// COM1, and COM1 mapped to the pty in a scratch XDG_CONFIG_HOME), left to
// settle, then measured twice for the same time: idle, and fed. The figures
// are the processor time of all its threads over each window, as a share of
// one core, and the difference per character fed. The platform is the
// environment's: QT_QPA_PLATFORM=offscreen for no window, or under
// xvfb-run -a -s "-screen 0 1280x800x24" for a shown window on X.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

#include "childprocess.h"
#include "linefeeder.h"
#include "panelregistration.h"
#include "ptylink.h"
#include "samplechannelfile.h"

namespace {

struct Options {
    double seconds = 30.0;
    double rate = 960.0;
    bool sameReport = false;
    QString panel;
    QString reference;
    QString only;
};

struct Figures {
    QString name;
    double idleShare = 0.0;  // of one core
    double fedShare = 0.0;
    qint64 chars = 0;
    double seconds = 0.0;
    QString problem;
};

// The panel finds the pty as COM1 through the profile and a channel file in
// its working directory; the reference is handed the pty's path.
QStringList PrepareRun(const QString& work, const QString& ptyPath, bool isPanel)
{
    QDir().mkpath(work);
    if (!isPanel)
        return {ptyPath};
    radiosim::SampleChannelFile::writeIfMissing(work + QStringLiteral("/h350save.dat"), 1);
    radiosim::PanelRegistration::registerPort(1, ptyPath);
    return {};
}

// Phases go to stderr with the child's pid, for a profiler to attach to
// (callgrind_control -i on PID when the fed window starts).
void MeasureWindows(const ChildProcess& child, LineFeeder& feeder, const Options& options, Figures& figures)
{
    std::fprintf(stderr, "%s: pid %d, settling\n", qPrintable(figures.name), int(child.Pid()));
    feeder.Idle(3.0); // start-up queries, first paints

    std::fprintf(stderr, "%s: idle window\n", qPrintable(figures.name));
    const CpuWindow idle(child);
    feeder.Idle(options.seconds);
    figures.idleShare = idle.Share();

    std::fprintf(stderr, "%s: fed window\n", qPrintable(figures.name));
    const CpuWindow fed(child);
    figures.chars = feeder.Feed(options.seconds, options.rate);
    figures.fedShare = fed.Share();
    figures.seconds = fed.Seconds();
}

Figures Measure(const QString& name, const QString& program, bool isPanel, const Options& options)
{
    Figures figures;
    figures.name = name;
    QTemporaryDir scratch;
    radiosim::PtyLink pty;
    if (!scratch.isValid() || !pty.open()) {
        figures.problem = QStringLiteral("no scratch directory or pty");
        return figures;
    }
    const QString work = scratch.filePath(QStringLiteral("work"));
    const QStringList arguments = PrepareRun(work, pty.portName(), isPanel);
    ChildProcess child;
    LineFeeder feeder(pty.masterDescriptor(), ChangingReports(options.sameReport));
    if (!child.Start(program, arguments, work, {}) || !feeder.WaitForOutput(60.0)) {
        figures.problem = QStringLiteral("%1 did not open its port").arg(program);
        return figures;
    }
    MeasureWindows(child, feeder, options, figures);
    if (!child.Running())
        figures.problem = QStringLiteral("%1 ended during the measurement").arg(program);
    return figures;
}

void Print(const Figures& f)
{
    if (!f.problem.isEmpty()) {
        std::printf("%-10s %s\n", qPrintable(f.name), qPrintable(f.problem));
        return;
    }
    const double perChar = (f.fedShare - f.idleShare) * f.seconds / double(f.chars) * 1e6;
    std::printf("%-10s idle %6.3f %%  fed %6.3f %%  %6.1f us/char  (%lld chars in %.1f s, %.1f/s)\n",
                qPrintable(f.name), f.idleShare * 100, f.fedShare * 100, perChar, static_cast<long long>(f.chars),
                f.seconds, f.chars / f.seconds);
}

Options ParseOptions(const QCoreApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("CPU cost of the panel at line rate, against the event loop's own wake-up."));
    parser.addHelpOption();
    const QString here = QCoreApplication::applicationDirPath();
    Options o;
    const QCommandLineOption seconds(QStringLiteral("seconds"), QStringLiteral("Length of each window."), QStringLiteral("s"), QStringLiteral("30"));
    const QCommandLineOption rate(QStringLiteral("rate"), QStringLiteral("Characters a second."), QStringLiteral("cps"), QStringLiteral("960"));
    const QCommandLineOption same(QStringLiteral("same"), QStringLiteral("Feed one unchanging report."));
    const QCommandLineOption panel(QStringLiteral("panel"), QStringLiteral("The panel."), QStringLiteral("path"), here + QStringLiteral("/../../tavrin"));
    const QCommandLineOption reference(QStringLiteral("reference"), QStringLiteral("The reference program."), QStringLiteral("path"),
                                       here + QStringLiteral("/linerate_reference"));
    const QCommandLineOption only(QStringLiteral("only"), QStringLiteral("Measure only panel or reference."), QStringLiteral("which"));
    parser.addOptions({seconds, rate, same, panel, reference, only});
    parser.process(app);
    o.seconds = parser.value(seconds).toDouble();
    o.rate = parser.value(rate).toDouble();
    o.sameReport = parser.isSet(same);
    o.panel = QDir::cleanPath(parser.value(panel));
    o.reference = QDir::cleanPath(parser.value(reference));
    o.only = parser.value(only);
    return o;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const Options options = ParseOptions(app);
    // The panel finds COM1 in the profile under XDG_CONFIG_HOME; the driver
    // writes it there, so both must see the same scratch directory.
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    std::printf("platform %s, %.0f s windows, %.0f characters/s, %s reports\n",
                platform.isEmpty() ? (qEnvironmentVariableIsSet("DISPLAY") ? "xcb" : "default") : platform.constData(),
                options.seconds, options.rate, options.sameReport ? "unchanging" : "changing");
    if (options.only != QLatin1String("reference"))
        Print(Measure(QStringLiteral("panel"), options.panel, true, options));
    if (options.only != QLatin1String("panel"))
        Print(Measure(QStringLiteral("reference"), options.reference, false, options));
    return 0;
}
