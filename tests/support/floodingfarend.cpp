#include "support/floodingfarend.h"

#include <cerrno>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
constexpr int kPollMs = 20;
constexpr int kSmallReceiveBuffer = 4096;
} // namespace

FloodingFarEnd::FloodingFarEnd(const QByteArray& opening, const QByteArray& pattern, qint64 total, bool held)
    : m_held(held)
{
    m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int small = kSmallReceiveBuffer;
    ::setsockopt(m_listen, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(m_listen, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || ::listen(m_listen, 1) != 0
        || ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return;
    m_port = ntohs(address.sin_port);
    m_thread = std::thread(&FloodingFarEnd::Run, this, opening, pattern, total);
}

FloodingFarEnd::~FloodingFarEnd()
{
    Stop();
    if (m_thread.joinable())
        m_thread.join();
    if (m_listen >= 0)
        ::close(m_listen);
}

void FloodingFarEnd::Stop() { m_stop = true; }

void FloodingFarEnd::Run(QByteArray opening, QByteArray pattern, qint64 total)
{
    int fd = -1;
    while (!m_stop && fd < 0) {
        pollfd waiting{m_listen, POLLIN, 0};
        if (::poll(&waiting, 1, kPollMs) > 0)
            fd = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    }
    if (fd < 0)
        return;
    m_connected = true;
    const bool opened = SendAll(fd, opening);
    while (!m_stop && m_held)
        ::poll(nullptr, 0, 1);
    if (opened) {
        while (!m_stop && (total < 0 || m_sent < total)) {
            const qint64 left = total < 0 ? pattern.size() : qMin<qint64>(pattern.size(), total - m_sent);
            if (!SendAll(fd, pattern.left(left)))
                break;
        }
    }
    m_done = true;
    while (!m_stop) {
        pollfd idle{fd, 0, 0};
        ::poll(&idle, 1, kPollMs); // hold the connection open, reading nothing
        if (idle.revents & (POLLHUP | POLLERR))
            break;
    }
    ::close(fd);
}

bool FloodingFarEnd::SendAll(int fd, const QByteArray& bytes)
{
    qsizetype from = 0;
    while (from < bytes.size() && !m_stop) {
        pollfd writable{fd, POLLOUT, 0};
        if (::poll(&writable, 1, kPollMs) <= 0)
            continue;
        const ssize_t sent = ::send(fd, bytes.constData() + from, size_t(bytes.size() - from), MSG_NOSIGNAL);
        if (sent < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        if (sent > 0) {
            from += sent;
            m_sent += sent;
        }
    }
    return from == bytes.size();
}
