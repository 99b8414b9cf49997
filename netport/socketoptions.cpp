#include "netport/socketoptions.h"

#include <QDeadlineTimer>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

void NoticeSilentFarEndSoon(qintptr socket)
{
    const int fd = int(socket);
    const int idle = 5, interval = 2, count = 3, unackedMs = 10000;
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPIDLE, &idle, sizeof idle);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPINTVL, &interval, sizeof interval);
    setsockopt(fd, IPPROTO_TCP, TCP_KEEPCNT, &count, sizeof count);
    setsockopt(fd, IPPROTO_TCP, TCP_USER_TIMEOUT, &unackedMs, sizeof unackedMs);
}

void AcknowledgeEachArrival(qintptr socket)
{
    const int on = 1;
    setsockopt(int(socket), IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
}

void HalfCloseAndDrain(qintptr socket, int ms)
{
    const int fd = int(socket);
    ::shutdown(fd, SHUT_WR);
    const QDeadlineTimer deadline(ms);
    char unread[512];
    while (!deadline.hasExpired()) {
        pollfd readable{fd, POLLIN, 0};
        if (poll(&readable, 1, int(deadline.remainingTime())) <= 0 || recv(fd, unread, sizeof unread, 0) <= 0)
            break;
    }
}
