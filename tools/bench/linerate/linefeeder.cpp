#include "linefeeder.h"

#include "radiostate.h"
#include "statusreport.h"

#include <cerrno>
#include <ctime>
#include <poll.h>
#include <unistd.h>

namespace {

constexpr qint64 kNanosPerSecond = 1000000000;

void SleepUntil(qint64 when)
{
    const timespec t{time_t(when / kNanosPerSecond), long(when % kNanosPerSecond)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) == EINTR) {
    }
}

qint64 Now() { return MonotonicNanos(); }

} // namespace

qint64 MonotonicNanos()
{
    timespec t {};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return qint64(t.tv_sec) * kNanosPerSecond + t.tv_nsec;
}

QByteArrayList ChangingReports(bool same)
{
    radiosim::RadioState state;
    QByteArrayList lines;
    for (int i = 0; i < (same ? 1 : 100); ++i) {
        lines << radiosim::StatusReport::full(state);
        state.frequency10Hz += 1;
    }
    return lines;
}

qint64 LineFeeder::Drain()
{
    char buffer[256];
    qint64 total = 0;
    ssize_t n = 0;
    while ((n = read(m_fd, buffer, sizeof buffer)) > 0)
        total += n;
    return total;
}

bool LineFeeder::WaitForOutput(double seconds)
{
    const qint64 end = Now() + qint64(seconds * kNanosPerSecond);
    while (Now() < end) {
        pollfd p{m_fd, POLLIN, 0};
        if (poll(&p, 1, 50) > 0 && (p.revents & POLLIN) && Drain() > 0)
            return true;
    }
    return false;
}

void LineFeeder::Idle(double seconds)
{
    const qint64 end = Now() + qint64(seconds * kNanosPerSecond);
    while (Now() < end) {
        pollfd p{m_fd, POLLIN, 0};
        if (poll(&p, 1, 100) > 0)
            Drain();
    }
}

qint64 LineFeeder::Feed(double seconds, double charsPerSecond)
{
    const qint64 period = qint64(kNanosPerSecond / charsPerSecond);
    const qint64 end = Now() + qint64(seconds * kNanosPerSecond);
    qint64 next = Now();
    qint64 sent = 0;
    while (next < end) {
        SleepUntil(next);
        const char c = m_lines[m_line][m_pos];
        if (write(m_fd, &c, 1) == 1) {
            ++sent;
            if (++m_pos == m_lines[m_line].size()) {
                m_pos = 0;
                m_line = (m_line + 1) % int(m_lines.size());
            }
        }
        Drain();
        next += period;
        const qint64 now = Now();
        if (now > next + period)
            next = now;
    }
    return sent;
}
