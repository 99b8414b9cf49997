// The rig-control server of the running program, measured from outside:
// the real tavrin on a pseudo-terminal that carries status reports at line
// rate (960 characters a second), with its server on a loopback port, and
// Debian's rigctld with its dummy radio (-m 1) as the reference, both asked
// "f" as fast as one client, then eight at once, can ask. Also the panel's
// CPU time while it takes in the reports, with and without the server.
// Run by hand: bench_rigctl [--seconds N] [--rounds N] [--quiet-line]; the
// two servers are measured by turns and the medians shown. A quiet line
// carries no reports, for the server's figures without the panel's work.
// bench_rigctl --flrig measures the panel's flrig server instead: the
// XML-RPC call rig.get_vfo over keep-alive HTTP/1.1, 1 and 8 clients, with
// no reference (flrig itself is not installed).
#include <QCoreApplication>
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
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "processcpu.h"

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
    void Start(bool reports)
    {
        m_reports = reports;
        m_thread = std::thread([this] { Run(); });
    }
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
            if (m_reports && write(m_master, at, 1) == 1 && *++at == '\0')
                at = kReports[report = 1 - report];
            next += period;
            std::this_thread::sleep_until(next);
        }
    }
    int m_master = -1;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    bool m_reports = true;
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

// Clients asking "f" until the time is up, each sending its next question
// as soon as its reply is in. One thread drives them all, so the load
// generator takes one core at most from the two servers it compares.
struct ClientRuns {
    std::vector<double> micros;  // each reply's time
    QSet<QByteArray> values;     // the frequencies read: a frozen panel shows
};

// What a client asks, and how its reply ends.
struct Question {
    QByteArray bytes;
    QByteArray replyEnd;
};

const Question kRigctlQuestion{"f\n", "\n"};

Question FlrigQuestion()
{
    const QByteArray body = "<?xml version=\"1.0\"?>\r\n<methodCall><methodName>rig.get_vfo</methodName>\r\n</methodCall>\r\n";
    return {"POST /RPC2 HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: text/xml\r\nContent-Length: "
                + QByteArray::number(body.size()) + "\r\n\r\n" + body,
            "</methodResponse>\n"};
}

Question g_question = kRigctlQuestion;

struct Asker {
    int fd = -1;
    Clock::time_point sent;
    QByteArray reply;
};

bool Ask(Asker& asker)
{
    asker.reply.clear();
    asker.sent = Clock::now();
    return write(asker.fd, g_question.bytes.constData(), g_question.bytes.size()) == g_question.bytes.size();
}

ClientRuns AskUntil(quint16 port, int clients, Clock::time_point end)
{
    ClientRuns runs;
    std::vector<Asker> askers(clients);
    std::vector<pollfd> polls(clients);
    for (int i = 0; i < clients; ++i) {
        askers[i].fd = ConnectTo(port);
        polls[i] = {askers[i].fd, POLLIN, 0};
        if (askers[i].fd < 0 || !Ask(askers[i]))
            return runs;
    }
    char buffer[256];
    while (Clock::now() < end) {
        if (poll(polls.data(), polls.size(), 100) <= 0)
            continue;
        for (int i = 0; i < clients; ++i) {
            if (!(polls[i].revents & POLLIN))
                continue;
            const ssize_t got = read(askers[i].fd, buffer, sizeof buffer);
            if (got <= 0)
                return runs;
            askers[i].reply.append(buffer, got);
            if (!askers[i].reply.endsWith(g_question.replyEnd))
                continue;
            runs.micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - askers[i].sent).count());
            runs.values.insert(askers[i].reply.trimmed());
            if (!Ask(askers[i]))
                return runs;
        }
    }
    for (const Asker& asker : askers)
        close(asker.fd);
    return runs;
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
    ClientRuns runs = AskUntil(port, clients, end);
    std::vector<double>& all = runs.micros;
    Figures figures;
    if (all.empty())
        return figures;
    std::sort(all.begin(), all.end());
    figures.perSecond = all.size() / seconds;
    figures.p50 = all[all.size() / 2];
    figures.p99 = all[std::min(all.size() - 1, size_t(all.size() * 0.99))];
    figures.worst = all.back();
    figures.values = int(runs.values.size());
    return figures;
}

double CpuMs(qint64 pid) { return double(ProcessCpuNanoseconds(pid)) / 1e6; }

double CpuMsPerSecond(qint64 pid, double seconds)
{
    const double before = CpuMs(pid);
    QThread::msleep(qint64(seconds * 1000));
    return (CpuMs(pid) - before) / seconds;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The median of the rounds for each figure, and the spread of p99.
void Print(const char* who, int clients, const std::vector<Figures>& rounds)
{
    std::vector<double> rate, p50, p99, worst;
    for (const Figures& f : rounds) {
        rate.push_back(f.perSecond);
        p50.push_back(f.p50 / 1000);
        p99.push_back(f.p99 / 1000);
        worst.push_back(f.worst / 1000);
    }
    std::printf("%-26s %d client%s %7.0f replies/s  p50 %6.3f ms  p99 %6.3f ms (%.3f to %.3f)  max %6.2f ms\n", who,
                clients, clients == 1 ? " " : "s", Median(rate), Median(p50), Median(p99),
                *std::min_element(p99.begin(), p99.end()), *std::max_element(p99.begin(), p99.end()), Median(worst));
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

struct Options {
    double seconds = 3.0;
    int rounds = 5;
    bool reports = true;
    bool flrig = false;
};

Options ParseOptions(const QStringList& arguments)
{
    Options options;
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--seconds")); at > 0)
        options.seconds = std::max(0.5, arguments.value(at + 1).toDouble());
    if (const qsizetype at = arguments.indexOf(QStringLiteral("--rounds")); at > 0)
        options.rounds = std::max(1, arguments.value(at + 1).toInt());
    options.reports = !arguments.contains(QStringLiteral("--quiet-line"));
    options.flrig = arguments.contains(QStringLiteral("--flrig"));
    return options;
}

// The panel's CPU time a second while it takes in the reports, by turns
// without the server, with it listening, and with 8 clients connected but
// quiet; each a fresh start of the program.
double ReceiveCost(const QString& dir, const QString& tavrin, const Options& options, bool server, int idleClients)
{
    const quint16 port = FreePort();
    const QStringList arguments = server ? QStringList{QStringLiteral("--rigctl-port"), QString::number(port)} : QStringList();
    Panel panel(dir, tavrin, arguments);
    if (server && !WaitForListener(port))
        return 0;
    std::vector<int> idle;
    for (int i = 0; i < idleClients; ++i)
        idle.push_back(ConnectTo(port));
    QThread::msleep(1500);
    const double cost = CpuMsPerSecond(panel.Pid(), options.seconds);
    for (int fd : idle)
        close(fd);
    return cost;
}

void CompareReceiveCost(const QString& dir, const QString& tavrin, const Options& options)
{
    std::vector<double> costs[3];
    for (int round = 0; round < options.rounds; ++round) {
        costs[0].push_back(ReceiveCost(dir, tavrin, options, false, 0));
        costs[1].push_back(ReceiveCost(dir, tavrin, options, true, 0));
        costs[2].push_back(ReceiveCost(dir, tavrin, options, true, 8));
    }
    std::printf("panel CPU taking in the reports: %.1f ms/s without the server, %.1f ms/s with it listening, "
                "%.1f ms/s with 8 quiet clients\n\n", Median(costs[0]), Median(costs[1]), Median(costs[2]));
}

bool StartReference(QProcess& rigctld, quint16 port)
{
    const QString program = QStandardPaths::findExecutable(QStringLiteral("rigctld"));
    if (program.isEmpty())
        return false;
    rigctld.start(program, {QStringLiteral("-m"), QStringLiteral("1"), QStringLiteral("-T"), QStringLiteral("127.0.0.1"),
                            QStringLiteral("-t"), QString::number(port)});
    return WaitForListener(port);
}

// The flrig server's rig.get_vfo, each reply read to its end, 1 and 8
// keep-alive connections; the distinct frequencies read show the panel
// kept taking in reports meanwhile.
int MeasureFlrig(const QString& dir, const QString& tavrin, const Options& options)
{
    g_question = FlrigQuestion();
    const quint16 port = FreePort();
    Panel panel(dir, tavrin, {QStringLiteral("--flrig-port"), QString::number(port)});
    if (!WaitForListener(port)) {
        std::fprintf(stderr, "tavrin did not listen on %u\n", port);
        return 1;
    }
    QThread::msleep(1500);
    std::vector<Figures> figures[2];
    int valuesRead = 0;
    for (int round = 0; round < options.rounds; ++round) {
        for (int c = 0; c < 2; ++c) {
            figures[c].push_back(Measure(port, c ? 8 : 1, options.seconds));
            valuesRead = std::max(valuesRead, figures[c].back().values);
        }
    }
    for (int c = 0; c < 2; ++c)
        Print("tavrin flrig rig.get_vfo", c ? 8 : 1, figures[c]);
    std::printf("\n%d different replies read from the panel in a round\n", valuesRead);
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const Options options = ParseOptions(application.arguments());
    const QString tavrin = QStringLiteral(TAVRIN_BINARY);
    QTemporaryDir dir;
    ReportLine line;
    if (!dir.isValid() || !line.Open()) {
        std::fprintf(stderr, "no scratch directory or no pseudo-terminal\n");
        return 1;
    }
    WriteStation(dir.path(), line.Device());
    line.Start(options.reports);
    std::printf("%s on %s; %d rounds of %.1f s, medians\n\n", options.reports ? "reports at 960 characters/s" : "no reports",
                qPrintable(line.Device()), options.rounds, options.seconds);

    if (options.flrig)
        return MeasureFlrig(dir.path(), tavrin, options);
    CompareReceiveCost(dir.path(), tavrin, options);
    const quint16 port = FreePort();
    Panel panel(dir.path(), tavrin, {QStringLiteral("--rigctl-port"), QString::number(port)});
    if (!WaitForListener(port)) {
        std::fprintf(stderr, "tavrin did not listen on %u\n", port);
        return 1;
    }
    const quint16 referencePort = FreePort();
    QProcess reference;
    const bool haveReference = StartReference(reference, referencePort);
    std::vector<Figures> figures[2][2]; // [tavrin, rigctld][1 client, 8 clients]
    int valuesRead = 0;
    for (int round = 0; round < options.rounds; ++round) {
        for (int c = 0; c < 2; ++c) {
            figures[0][c].push_back(Measure(port, c ? 8 : 1, options.seconds));
            valuesRead = std::max(valuesRead, figures[0][c].back().values);
            if (haveReference)
                figures[1][c].push_back(Measure(referencePort, c ? 8 : 1, options.seconds));
        }
    }
    for (int c = 0; c < 2; ++c) {
        Print("tavrin", c ? 8 : 1, figures[0][c]);
        if (haveReference)
            Print("rigctld -m 1 (reference)", c ? 8 : 1, figures[1][c]);
    }
    std::printf("\n%d different frequencies read from the panel in a round%s\n", valuesRead,
                haveReference ? "" : "; rigctld not installed, no reference");
    reference.terminate();
    reference.waitForFinished(3000);
    return 0;
}
