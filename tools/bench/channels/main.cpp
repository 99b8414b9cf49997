// The Channels window of the running program, timed as a user meets it:
// the real panel, started on a simulated radio with all 300 slots stored,
// is sent Ctrl+L on an X display, then Ctrl+I and the path of a 300-row CSV
// file typed into the file dialog. The program itself logs how long each
// took, from the key to the end of the table's next paint. Run by hand
// under a display, not by CTest:
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" build/tools/bench/bench_channels [--runs 5] [--hold 0]
//
// --hold keeps the last run's window up for that many seconds, for a
// screenshot (import -window root shot.png).
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <cstdio>
#include <functional>

#include "channeleditor/channelcsv.h"
#include "channels/channelfile.h"
#include "channels/channeltable.h"
#include "panelregistration.h"
#include "radiosimulator.h"
#include "xkeys.h"

namespace {

struct Figures {
    double openMs = -1;
    double importMs = -1;
    QString problem;
};

bool WaitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer waited;
    waited.start();
    while (!done()) {
        if (waited.elapsed() > ms)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

void Pause(int ms)
{
    WaitFor([] { return false; }, ms);
}

// 300 stored slots with every letter the panel knows; the CSV moves each
// slot 1 kHz up, so the import changes every row.
void StoreAllSlots(double offset)
{
    const char modes[] = "ULAC", agcs[] = "OSMF", inputs[] = "MAP", routes[] = "RTL";
    for (int slot = 0; slot < kChannelCount; ++slot) {
        ChannelSlot value;
        value.freq = 1800.0 + slot * 97.25 + offset;
        value.mode = modes[slot % 4];
        value.agc = agcs[slot % 4];
        value.input = inputs[slot % 3];
        value.route = routes[slot % 3];
        SetDescriptionText(value, QByteArray("Channel ") + QByteArray::number(slot) + " net");
        PutSlotInTable(slot, value);
    }
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

bool PrepareFiles(const QDir& work)
{
    g_nCommPort = 1;
    g_nBaudRate = 9600;
    g_chParity = 'O';
    g_nDataBits = 7;
    g_nStopBits = 1;
    StoreAllSlots(1.0);
    const QByteArray csv = ChannelsAsCsv(SlotsFromTable(), true);
    StoreAllSlots(0.0);
    return WriteFile(work.filePath(QStringLiteral("h350save.dat")), ChannelFileBytes())
        && WriteFile(work.filePath(QStringLiteral("list.csv")), csv);
}

double LoggedMs(const QByteArray& log, const QString& what)
{
    const QRegularExpression line(QRegularExpression::escape(what) + QStringLiteral(" in ([0-9.]+) ms"));
    const QRegularExpressionMatch match = line.match(QString::fromLocal8Bit(log));
    return match.hasMatch() ? match.captured(1).toDouble() : -1.0;
}

// Keys go to the window that has the focus; a window is found by title.
bool KeysTo(XKeys& keys, pid_t pid, const QString& title, const char* key)
{
    unsigned long window = 0;
    if (!WaitFor([&] { return (window = keys.FindWindow(pid, title)) != 0; }, 10000))
        return false;
    keys.Focus(window);
    Pause(100);
    keys.Press(key, true);
    return true;
}

Figures RunOnce(const QString& panel, XKeys& keys, int holdSeconds)
{
    Figures figures;
    QTemporaryDir scratch;
    const QDir work(scratch.path());
    radiosim::RadioSimulator radio;
    if (!scratch.isValid() || !PrepareFiles(work) || !radio.start()
        || radiosim::PanelRegistration::registerPort(1, radio.portName()).isEmpty()) {
        figures.problem = QStringLiteral("no scratch folder, files or simulated radio");
        return figures;
    }
    QProcess tavrin;
    QByteArray log;
    QObject::connect(&tavrin, &QProcess::readyReadStandardError, [&] { log += tavrin.readAllStandardError(); });
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("tavrin.channels.debug=true"));
    tavrin.setProcessEnvironment(env);
    tavrin.setWorkingDirectory(work.path());
    tavrin.start(panel, {});
    const pid_t pid = tavrin.waitForStarted() ? pid_t(tavrin.processId()) : 0;
    if (!KeysTo(keys, pid, QStringLiteral("Harris RF-350"), "l")
        || !WaitFor([&] { return LoggedMs(log, QStringLiteral("Channels window opened")) >= 0; }, 10000)) {
        figures.problem = QStringLiteral("the Channels window did not open: %1").arg(QString::fromLocal8Bit(log));
        return figures;
    }
    figures.openMs = LoggedMs(log, QStringLiteral("Channels window opened"));
    Pause(300);
    if (!KeysTo(keys, pid, QStringLiteral("Channels"), "i") || !WaitFor([&] { return keys.FindWindow(pid, QStringLiteral("Import")) != 0; }, 10000)) {
        figures.problem = QStringLiteral("the import dialog did not open");
        return figures;
    }
    keys.Focus(keys.FindWindow(pid, QStringLiteral("Import")));
    Pause(300);
    keys.Type(work.filePath(QStringLiteral("list.csv")));
    keys.Press("Return");
    const QString imported = QStringLiteral("import of 300 rows shown");
    if (!WaitFor([&] { return LoggedMs(log, imported) >= 0; }, 10000))
        figures.problem = QStringLiteral("the import was not logged: %1").arg(QString::fromLocal8Bit(log));
    figures.importMs = LoggedMs(log, imported);
    Pause(holdSeconds * 1000);
    tavrin.kill();
    tavrin.waitForFinished();
    return figures;
}

void PrintSummary(const char* what, QList<double> values)
{
    if (values.isEmpty())
        return;
    std::sort(values.begin(), values.end());
    std::printf("%-28s median %7.1f ms   min %7.1f ms   max %7.1f ms   (%lld runs)\n", what,
                values[values.size() / 2], values.front(), values.back(), static_cast<long long>(values.size()));
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("The Channels window of the running program: opening and importing."));
    parser.addHelpOption();
    const QCommandLineOption runs(QStringLiteral("runs"), QStringLiteral("Runs, each a fresh program."), QStringLiteral("n"), QStringLiteral("5"));
    const QCommandLineOption hold(QStringLiteral("hold"), QStringLiteral("Seconds to keep the last window up."), QStringLiteral("s"), QStringLiteral("0"));
    const QCommandLineOption panel(QStringLiteral("panel"), QStringLiteral("The panel."), QStringLiteral("path"),
                                   QCoreApplication::applicationDirPath() + QStringLiteral("/../../tavrin"));
    parser.addOptions({runs, hold, panel});
    parser.process(app);
    XKeys keys;
    if (!keys.Open()) {
        std::fprintf(stderr, "bench_channels needs an X display: run it under xvfb-run\n");
        return 2;
    }
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
    QList<double> opens, imports;
    const int count = parser.value(runs).toInt();
    for (int run = 1; run <= count; ++run) {
        const Figures f = RunOnce(QDir::cleanPath(parser.value(panel)), keys, run == count ? parser.value(hold).toInt() : 0);
        if (!f.problem.isEmpty()) {
            std::fprintf(stderr, "run %d: %s\n", run, qPrintable(f.problem));
            return 1;
        }
        std::printf("run %d: window opened %.1f ms, 300-row import shown %.1f ms\n", run, f.openMs, f.importMs);
        opens << f.openMs;
        imports << f.importMs;
    }
    PrintSummary("Channels window opened", opens);
    PrintSummary("300-row import shown", imports);
    return 0;
}
