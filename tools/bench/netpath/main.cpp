// The radio on another machine against the radio on this one, measured on
// the running program: the real panel on a pty directly, and on the same pty
// published by Debian's ser2net on loopback (raw, RFC 2217, RFC 2217 in
// TLS). Run by hand, not by CTest:
//
//   build/tools/bench/netpath [--round-trips 1000] [--seconds 20] [--rate 960]
//                             [--paths pty,socket,rfc2217,tls] [--panel PATH]
//                             [--chardelay]
//
// For each path, two runs of the panel in a scratch folder: one times round
// trips through it (see roundtrips.h), the other takes its processor time
// idle and while the pty is fed reports one character per write at the
// given rate (as linerate does), and ser2net's beside it. ser2net runs with
// chardelay off unless --chardelay is given: by default it waits two
// characters' time (at least 1 ms) after each one for more, which batches
// the line and is ser2net's own addition to the latency.
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

#include "childprocess.h"
#include "linefeeder.h"
#include "panelregistration.h"
#include "ptylink.h"
#include "roundtrips.h"
#include "samplechannelfile.h"
#include "ser2netkit.h"

namespace {

struct Options {
    int roundTrips = 1000;
    double seconds = 20.0;
    double rate = 960.0;
    QStringList paths;
    QString panel;
    bool charDelay = false;
};

struct Figures {
    QString path;
    RoundTrips trips;
    double idleShare = 0.0;
    double fedShare = 0.0;
    double ser2netFedShare = 0.0;
    double ser2netIdleShare = 0.0;
    qint64 chars = 0;
    double seconds = 0.0;
    QString problem;
};

// Where the panel finds the radio on each path.
QString Device(const QString& path, const QString& pty, const ser2netkit::Ports& ports, const QString& certs)
{
    if (path == QLatin1String("socket"))
        return QStringLiteral("socket://127.0.0.1:%1").arg(ports.raw);
    if (path == QLatin1String("rfc2217"))
        return QStringLiteral("rfc2217://127.0.0.1:%1").arg(ports.telnet);
    if (path == QLatin1String("tls"))
        return QStringLiteral("rfc2217://127.0.0.1:%1?tls=1&ca=%2/server.crt&cert=%2/tavrin.crt&key=%2/tavrin.key")
            .arg(ports.tls).arg(certs);
    return pty;
}

void TimeRoundTrips(const QString& panel, const QString& work, int radioFd, const Options& options, Figures& figures)
{
    const quint16 rigctl = ser2netkit::FreeLoopbackPort();
    ChildProcess child;
    LineFeeder feeder(radioFd, ChangingReports());
    if (!child.Start(panel, {QStringLiteral("--rigctl-port"), QString::number(rigctl)}, work, {}) || !feeder.WaitForOutput(60.0)) {
        figures.problem = QStringLiteral("the panel did not open its port");
        return;
    }
    feeder.Idle(1.0); // the start-up queries
    std::fprintf(stderr, "%s: round trips, pid %d\n", qPrintable(figures.path), int(child.Pid()));
    figures.trips = MeasureRoundTrips(radioFd, rigctl, options.roundTrips);
    figures.problem = figures.trips.problem;
    child.Stop();
}

void TakeCpu(const QString& panel, const QString& work, int radioFd, qint64 ser2net, const Options& options, Figures& figures)
{
    ChildProcess child;
    LineFeeder feeder(radioFd, ChangingReports());
    if (!child.Start(panel, {}, work, {}) || !feeder.WaitForOutput(60.0)) {
        figures.problem = QStringLiteral("the panel did not open its port again");
        return;
    }
    feeder.Idle(3.0);
    std::fprintf(stderr, "%s: idle and fed windows, pid %d\n", qPrintable(figures.path), int(child.Pid()));
    // Without ser2net (the pty path) its window reads no process: a share of 0.
    const CpuWindow idle(child), ser2netIdle(ser2net);
    feeder.Idle(options.seconds);
    figures.idleShare = idle.Share();
    figures.ser2netIdleShare = ser2netIdle.Share();
    const CpuWindow fed(child), ser2netFed(ser2net);
    figures.chars = feeder.Feed(options.seconds, options.rate);
    figures.fedShare = fed.Share();
    figures.seconds = fed.Seconds();
    figures.ser2netFedShare = ser2netFed.Share();
    child.Stop();
}

Figures Measure(const QString& path, const QString& certs, const Options& options)
{
    Figures figures;
    figures.path = path;
    QTemporaryDir scratch;
    radiosim::PtyLink pty;
    const ser2netkit::Ports ports = ser2netkit::Ports::Free();
    std::unique_ptr<ser2netkit::Ser2net> daemon;
    if (path != QLatin1String("pty")) {
        daemon = std::make_unique<ser2netkit::Ser2net>(certs, pty.open() ? pty.portName() : QString(), ports, options.charDelay);
        if (!daemon->Start())
            figures.problem = QStringLiteral("ser2net did not start");
    } else if (!pty.open()) {
        figures.problem = QStringLiteral("no pty");
    }
    if (!figures.problem.isEmpty())
        return figures;
    const QString work = scratch.filePath(QStringLiteral("work"));
    QDir().mkpath(work);
    radiosim::SampleChannelFile::writeIfMissing(work + QStringLiteral("/h350save.dat"), 1);
    radiosim::PanelRegistration::registerPort(1, Device(path, pty.portName(), ports, certs));
    TimeRoundTrips(options.panel, work, pty.masterDescriptor(), options, figures);
    if (figures.problem.isEmpty())
        TakeCpu(options.panel, work, pty.masterDescriptor(), daemon ? daemon->Pid() : 0, options, figures);
    return figures;
}

double PerChar(double fedShare, double idleShare, const Figures& f)
{
    return f.chars > 0 ? (fedShare - idleShare) * f.seconds / double(f.chars) * 1e6 : 0.0;
}

void Print(const Figures& f, const Figures* pty)
{
    if (!f.problem.isEmpty()) {
        std::printf("%-8s %s\n", qPrintable(f.path), qPrintable(f.problem));
        return;
    }
    const double outP50 = Percentile(f.trips.outMs, 0.5), outP99 = Percentile(f.trips.outMs, 0.99);
    const double inP50 = Percentile(f.trips.inMs, 0.5), inP99 = Percentile(f.trips.inMs, 0.99);
    const double perChar = PerChar(f.fedShare, f.idleShare, f);
    std::printf("%-8s out %6.3f %6.3f  in %6.3f %6.3f ms   panel %5.1f us/char (idle %.3f %%, fed %.3f %%, %.0f chars/s)",
                qPrintable(f.path), outP50, outP99, inP50, inP99, perChar, f.idleShare * 100, f.fedShare * 100,
                double(f.chars) / f.seconds);
    if (f.path != QLatin1String("pty"))
        std::printf("   ser2net %5.1f us/char", PerChar(f.ser2netFedShare, f.ser2netIdleShare, f));
    std::printf("\n");
    if (pty && pty != &f && pty->problem.isEmpty())
        std::printf("         adds: out %+.3f ms p50, %+.3f ms p99; in %+.3f ms p50, %+.3f ms p99; CPU per char x%.2f\n",
                    outP50 - Percentile(pty->trips.outMs, 0.5), outP99 - Percentile(pty->trips.outMs, 0.99),
                    inP50 - Percentile(pty->trips.inMs, 0.5), inP99 - Percentile(pty->trips.inMs, 0.99),
                    perChar / PerChar(pty->fedShare, pty->idleShare, *pty));
}

Options ParseOptions(const QCoreApplication& app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The panel through ser2net on loopback against the pty directly."));
    parser.addHelpOption();
    const QCommandLineOption trips(QStringLiteral("round-trips"), QStringLiteral("Round trips per path."), QStringLiteral("n"), QStringLiteral("1000"));
    const QCommandLineOption seconds(QStringLiteral("seconds"), QStringLiteral("Length of each CPU window."), QStringLiteral("s"), QStringLiteral("20"));
    const QCommandLineOption rate(QStringLiteral("rate"), QStringLiteral("Characters a second."), QStringLiteral("cps"), QStringLiteral("960"));
    const QCommandLineOption paths(QStringLiteral("paths"), QStringLiteral("Paths to measure, pty first."), QStringLiteral("list"),
                                   QStringLiteral("pty,socket,rfc2217,tls"));
    const QCommandLineOption panel(QStringLiteral("panel"), QStringLiteral("The panel."), QStringLiteral("path"),
                                   QCoreApplication::applicationDirPath() + QStringLiteral("/../../tavrin"));
    const QCommandLineOption charDelay(QStringLiteral("chardelay"), QStringLiteral("Leave ser2net's chardelay on, as it is by default."));
    parser.addOptions({trips, seconds, rate, paths, panel, charDelay});
    parser.process(app);
    return {parser.value(trips).toInt(), parser.value(seconds).toDouble(), parser.value(rate).toDouble(),
            parser.value(paths).split(QLatin1Char(',')), QDir::cleanPath(parser.value(panel)), parser.isSet(charDelay)};
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const Options options = ParseOptions(app);
    // The panel finds COM1 in the profile under XDG_CONFIG_HOME.
    QTemporaryDir config, certs;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    if (options.paths.contains(QLatin1String("tls")) && !ser2netkit::MakeCertificates(certs.path())) {
        std::fprintf(stderr, "openssl could not make the certificates\n");
        return 1;
    }
    std::printf("%d round trips, %.0f s windows at %.0f characters/s, ser2net chardelay %s, platform %s; "
                "out and in are p50 and p99\n", options.roundTrips, options.seconds, options.rate, options.charDelay ? "on" : "off",
                qgetenv("QT_QPA_PLATFORM").isEmpty() ? "default" : qgetenv("QT_QPA_PLATFORM").constData());
    QList<Figures> all;
    for (const QString& path : options.paths) {
        all << Measure(path, certs.path(), options);
        Print(all.last(), all.first().path == QLatin1String("pty") ? &all.first() : nullptr);
        std::fflush(stdout);
    }
    return 0;
}
