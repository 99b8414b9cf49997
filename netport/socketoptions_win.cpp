#include "netport/socketoptions.h"

#include <QDeadlineTimer>
#include <winsock2.h>
#include <mstcpip.h>
#include <ws2tcpip.h>

// Windows 10's own values; mingw-w64's headers do not have them yet.
#ifndef TCP_KEEPCNT
#define TCP_KEEPCNT 16
#endif
#ifndef TCP_MAXRT
#define TCP_MAXRT 5
#endif

// Windows sets the probes' timing in one call; their count (ten by default)
// and the limit for an unacknowledged write (in seconds) are options of
// their own, known to Windows 10 and later and ignored before.
void NoticeSilentFarEndSoon(qintptr socket)
{
    const SOCKET s = SOCKET(socket);
    tcp_keepalive timing{1, 5000, 2000};
    DWORD returned = 0;
    ::WSAIoctl(s, SIO_KEEPALIVE_VALS, &timing, sizeof timing, nullptr, 0, &returned, nullptr, nullptr);
    const DWORD count = 3, unackedSeconds = 10;
    ::setsockopt(s, IPPROTO_TCP, TCP_KEEPCNT, reinterpret_cast<const char*>(&count), sizeof count);
    ::setsockopt(s, IPPROTO_TCP, TCP_MAXRT, reinterpret_cast<const char*>(&unackedSeconds), sizeof unackedSeconds);
}

// Windows has no per-socket switch for delayed acknowledgements.
void AcknowledgeEachArrival(qintptr) {}

void HalfCloseAndDrain(qintptr socket, int ms)
{
    const SOCKET s = SOCKET(socket);
    ::shutdown(s, SD_SEND);
    const QDeadlineTimer deadline(ms);
    char unread[512];
    while (!deadline.hasExpired()) {
        WSAPOLLFD readable{s, POLLRDNORM, 0};
        if (::WSAPoll(&readable, 1, int(deadline.remainingTime())) <= 0 || ::recv(s, unread, sizeof unread, 0) <= 0)
            break;
    }
}
