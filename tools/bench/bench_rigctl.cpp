// The rig-control server of the running program, measured from outside:
// the real tavrin on a pseudo-terminal that carries status reports at line
// rate (960 characters a second), with its server on a loopback port, and
// Debian's rigctld with its dummy radio (-m 1) as the reference, both asked
// "f" as fast as one client, then eight at once, can ask. Also the panel's
// CPU time while it takes in the reports, with and without the server.
// Run by hand: bench_rigctl [--seconds N]
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr double kCharsPerSecond = 960.0;
// Two reports by turns, so every line changes the display and the
// frequency a client reads.
const char* const kReports[] = {
    "F0703525 M2 A3 H1 V0 D1 S0 I0 (1 '0 \"0 ,0 *0 O1 U \n",
    "F0703526 M2 A3 H1 V0 D2 S0 I0 (1 '0 \"0 ,0 *0 O3 U \n",
};

// The radio's end of the line: one character every 1/960 s, and whatever
// the panel sends is read and dropped.
class ReportLine {
public:
    bool Open()
    {
        m_master = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || grantpt(m_master) != 0 || unlockpt(m_master) != 0)
            return false;
        fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK);
        return true;
    }
    QString Device() const { return QString::fromLocal8Bit(ptsname(m_master)); }
    void Start() { m_thread = std::thread([this] { Run(); }); }
    ~ReportLine()
    {
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        if (m_master >= 0)
            close(m_master);
    }

private:
    void Run()
    {
        const auto period = std::chrono::nanoseconds(qint64(1e9 / kCharsPerSecond));
        auto next = Clock::now();
        int report = 0;
        const char* at = kReports[0];
        char sink[256];
        while (!m_stop) {
            while (read(m_master, sink, sizeof sink) > 0) {
            }
            if (write(m_master, at, 1) == 1 && *++at == '\0')
                at = kReports[report = 1 - report];
            next += period;
            std::this_thread::sleep_until(next);
        }
    }
    int m_master = -1;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
};

quint16 FreePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

int ConnectTo(quint16 port)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        close(fd);
        return -1;
    }
    const int on = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    return fd;
}

bool WaitForListener(quint16 port)
{
    for (int i = 0; i < 100; ++i) {
        const int fd = ConnectTo(port);
        if (fd >= 0) {
            close(fd);
            return true;
        }
        QThread::msleep(50);
    }
    return false;
}

// One client asking "f" until the time is up: each reply's time in µs, and
// the values read (so a frozen panel would show).
struct ClientRun {
    std::vector<double> micros;
    QSet<QByteArray> values;
};

ClientRun AskUntil(quint16 port, Clock::time_point end)
{
    ClientRun run;
    const int fd = ConnectTo(port);
    if (fd < 0)
        return run;
    char buffer[256];
    while (Clock::now() < end) {
        const auto sent = Clock::now();
        if (write(fd, "f\n", 2) != 2)
            break;
        QByteArray reply;
        while (!reply.endsWith('\n')) {
            const ssize_t got = read(fd, buffer, sizeof buffer);
            if (got <= 0)
                break;
            reply.append(buffer, got);
        }
        if (!reply.endsWith('\n'))
            break;
        run.micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - sent).count());
        run.values.insert(reply.trimmed());
    }
    close(fd);
    return run;
}

struct Figures {
    double perSecond = 0;
    double p50 = 0;
    double p99 = 0;
    double worst = 0;
    int values = 0;
};

Figures Measure(quint16 port, int clients, double seconds)
{
    const auto end = Clock::now() + std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    std::vector<ClientRun> runs(clients);
    std::vector<std::thread> threads;
    for (int i = 0; i < clients; ++i)
        threads.emplace_back([&, i] { runs[i] = AskUntil(port, end); });
    for (auto& thread : threads)
        thread.join();
    std::vector<double> all;
    QSet<QByteArray> values;
    for (const ClientRun& run : runs) {
        all.insert(all.end(), run.micros.begin(), run.micros.end());
        values.unite(run.values);
    }
    Figures figures;
    if (all.empty())
        return figures;
    std::sort(all.begin(), all.end());
    figures.perSecond = all.size() / seconds;
    figures.p50 = all[all.size() / 2];
    figures.p99 = all[std::min(all.size() - 1, size_t(all.size() * 0.99))];
    figures.worst = all.back();
    figures.values = int(values.size());
    return figures;
}

// User and system time of a process, in ms.
double CpuMs(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArrayList fields = stat.readAll().split(')').last().trimmed().split(' ');
    const double ticks = fields.value(11).toDouble() + fields.value(12).toDouble();
    return ticks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

double CpuMsPerSecond(qint64 pid, double seconds)
{
    const double before = CpuMs(pid);
    QThread::msleep(qint64(seconds * 1000));
    return (CpuMs(pid) - before) / seconds;
}

void Print(const char* who, int clients, const Figures& f)
{
    std::printf("%-34s %2d client%s %9.0f replies/s   p50 %7.3f ms   p99 %7.3f ms   max %7.3f ms\n", who, clients,
                clients == 1 ? " " : "s", f.perSecond, f.p50 / 1000, f.p99 / 1000, f.worst / 1000);
}

// The panel, started as a user starts it, in a directory of its own whose
// channel file and profile lead COM1 to the report line.
class Panel {
public:
    Panel(const QString& dir, const QString& binary, const QStringList& arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), dir + QStringLiteral("/config"));
        environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("tavrin.*=false"));
        m_process.setProcessEnvironment(environment);
        m_process.setWorkingDirectory(dir);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(binary, arguments);
        m_process.waitForStarted();
    }
    ~Panel()
    {
        m_process.terminate();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
    }
    qint64 Pid() const { return m_process.processId(); }

private:
    QProcess m_process;
};

void WriteStation(const QString& dir, const QString& device)
{
    QFile channels(dir + QStringLiteral("/h350save.dat"));
    if (channels.open(QIODevice::WriteOnly))
        channels.write("1  9600 O 7 1\r\n 7000.00  7300.00   0   9\r\n");
    QSettings profile(dir + QStringLiteral("/config/Local AppWizard-Generated Applications/Tavrin.conf"), QSettings::IniFormat);
    profile.setValue(QStringLiteral("Ports/COM1"), device);
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    const int at = int(arguments.indexOf(QStringLiteral("--seconds")));
    const double seconds = at > 0 ? arguments.value(at + 1).toDouble() : 5.0;
    const QString tavrin = QStringLiteral(TAVRIN_BINARY);
    const QString rigctld = QStandardPaths::findExecutable(QStringLiteral("rigctld"));

    QTemporaryDir dir;
    ReportLine line;
    if (!dir.isValid() || !line.Open()) {
        std::fprintf(stderr, "no scratch directory or no pseudo-terminal\n");
        return 1;
    }
    WriteStation(dir.path(), line.Device());
    line.Start();
    std::printf("reports at %.0f characters/s on %s; %.1f s a figure\n\n", kCharsPerSecond, qPrintable(line.Device()), seconds);

    double withoutServer = 0;
    {
        Panel panel(dir.path(), tavrin, {});
        QThread::msleep(1500);
        withoutServer = CpuMsPerSecond(panel.Pid(), seconds);
    }
    const quint16 port = FreePort();
    Panel panel(dir.path(), tavrin, {QStringLiteral("--rigctl-port"), QString::number(port)});
    if (!WaitForListener(port)) {
        std::fprintf(stderr, "tavrin did not listen on %u\n", port);
        return 1;
    }
    QThread::msleep(1000);
    const double withServer = CpuMsPerSecond(panel.Pid(), seconds);
    std::printf("panel CPU taking in the reports: %.2f ms/s without the server, %.2f ms/s with it listening\n\n",
                withoutServer, withServer);

    for (int clients : {1, 8}) {
        const Figures figures = Measure(port, clients, seconds);
        Print("tavrin (panel on its report line)", clients, figures);
        std::printf("%37s%d different frequencies read while the reports ran\n", "", figures.values);
    }
    if (rigctld.isEmpty()) {
        std::printf("\nrigctld not installed: no reference\n");
        return 0;
    }
    const quint16 referencePort = FreePort();
    QProcess reference;
    reference.start(rigctld, {QStringLiteral("-m"), QStringLiteral("1"), QStringLiteral("-T"), QStringLiteral("127.0.0.1"),
                              QStringLiteral("-t"), QString::number(referencePort)});
    if (!WaitForListener(referencePort)) {
        std::fprintf(stderr, "rigctld did not listen on %u\n", referencePort);
        return 1;
    }
    for (int clients : {1, 8})
        Print("rigctld -m 1 (reference)", clients, Measure(referencePort, clients, seconds));
    reference.terminate();
    reference.waitForFinished(3000);
    return 0;
}
