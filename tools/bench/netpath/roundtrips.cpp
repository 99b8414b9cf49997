#include "roundtrips.h"

#include <QByteArray>
#include <arpa/inet.h>
#include <algorithm>
#include <cmath>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include "linefeeder.h"
#include "radiostate.h"
#include "statusreport.h"

namespace {

constexpr qint64 kNanosPerMs = 1000000;
constexpr qint64 kWaitNs = 2000 * kNanosPerMs;

int ConnectLoopback(quint16 port)
{
    const qint64 end = MonotonicNanos() + 20000 * kNanosPerMs; // the panel may still be starting
    while (MonotonicNanos() < end) {
        const int fd = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
            const int on = 1;
            setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
            return fd;
        }
        ::close(fd);
        usleep(50000);
    }
    return -1;
}

// Bytes from one descriptor, taken a line at a time as they come.
class Lines {
public:
    explicit Lines(int fd) : m_fd(fd) {}
    // The next line holding `wanted`, or an empty array at the deadline.
    QByteArray Next(const QByteArray& wanted, qint64 deadline)
    {
        while (true) {
            const qsizetype end = m_buffer.indexOf('\n');
            if (end >= 0) {
                const QByteArray line = m_buffer.left(end + 1);
                m_buffer.remove(0, end + 1);
                if (line.contains(wanted))
                    return line;
                continue;
            }
            if (!Read(deadline))
                return QByteArray();
        }
    }

private:
    bool Read(qint64 deadline)
    {
        const qint64 left = deadline - MonotonicNanos();
        pollfd p{m_fd, POLLIN, 0};
        if (left <= 0 || poll(&p, 1, int(std::max<qint64>(1, left / kNanosPerMs))) <= 0)
            return false;
        char chunk[512];
        const ssize_t n = read(m_fd, chunk, sizeof chunk);
        if (n > 0)
            m_buffer.append(chunk, n);
        return n > 0;
    }

    int m_fd;
    QByteArray m_buffer;
};

bool Send(int fd, const QByteArray& bytes) { return write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size(); }

double Ms(qint64 nanos) { return double(nanos) / double(kNanosPerMs); }

struct Ends {
    int radio;
    Lines& radioLines;
    int set;
    Lines& setLines;
    int get;
    Lines& getLines;
};

// One round: out and in, each in milliseconds; false if the panel did not answer.
bool OneRound(Ends& e, int hz, double& outMs, double& inMs)
{
    radiosim::RadioState state;
    state.frequency10Hz = hz / 10;
    const QByteArray digits = "F" + state.frequencyDigits();
    const qint64 asked = MonotonicNanos();
    if (!Send(e.set, "F " + QByteArray::number(hz) + "\n") || e.radioLines.Next(digits, asked + kWaitNs).isEmpty())
        return false;
    outMs = Ms(MonotonicNanos() - asked);
    const qint64 reported = MonotonicNanos();
    if (!Send(e.radio, radiosim::StatusReport::full(state)))
        return false;
    const QByteArray wanted = QByteArray::number(hz) + "\n";
    for (QByteArray answer; answer != wanted;) {
        if (!Send(e.get, "f\n") || MonotonicNanos() > reported + kWaitNs)
            return false;
        answer = e.getLines.Next("\n", reported + kWaitNs);
    }
    inMs = Ms(MonotonicNanos() - reported);
    return !e.setLines.Next("RPRT", reported + kWaitNs).isEmpty();
}

} // namespace

RoundTrips MeasureRoundTrips(int radioFd, quint16 rigctlPort, int count)
{
    RoundTrips trips;
    const int set = ConnectLoopback(rigctlPort);
    const int get = ConnectLoopback(rigctlPort);
    Lines radioLines(radioFd), setLines(set), getLines(get);
    Ends ends{radioFd, radioLines, set, setLines, get, getLines};
    for (int i = 0; i < count && set >= 0 && get >= 0; ++i) {
        double out = 0, in = 0;
        if (!OneRound(ends, i % 2 ? 7035260 : 7035250, out, in)) {
            trips.problem = QStringLiteral("the panel did not answer round trip %1").arg(i + 1);
            break;
        }
        trips.outMs << out;
        trips.inMs << in;
    }
    if (set < 0 || get < 0)
        trips.problem = QStringLiteral("the panel's rig-control server did not take a connection");
    for (const int fd : {set, get})
        if (fd >= 0)
            ::close(fd);
    return trips;
}

double Percentile(QList<double> samples, double share)
{
    if (samples.isEmpty())
        return 0.0;
    std::sort(samples.begin(), samples.end());
    const qsizetype rank = qsizetype(std::ceil(share * double(samples.size()))) - 1;
    return samples[std::clamp<qsizetype>(rank, 0, samples.size() - 1)];
}
