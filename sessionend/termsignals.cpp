#include "sessionend/termsignals.h"

#include <QSocketNotifier>
#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
constexpr int kSignalCount = int(sizeof kSignals / sizeof kSignals[0]);

int g_wakeFds[2] = {-1, -1};  // the handler writes to [0], the loop reads [1]
struct sigaction g_previous[kSignalCount];
bool g_installed[kSignalCount] = {};

void OnSignal(int number)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    [[maybe_unused]] const ssize_t written = ::write(g_wakeFds[0], &byte, 1);
    errno = savedErrno;
}

// A full socket must never hold the handler up, and the program's children
// have no use for it.
bool OpenWakeSocket()
{
    return ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, g_wakeFds) == 0;
}

void Install(int index)
{
    struct sigaction previous {};
    ::sigaction(kSignals[index], nullptr, &previous);
    if (previous.sa_handler == SIG_IGN)
        return;
    struct sigaction action {};
    action.sa_handler = &OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(kSignals[index], &action, &g_previous[index]);
    g_installed[index] = true;
}

} // namespace

CTermSignals::CTermSignals(QObject* parent) : QObject(parent)
{
    if (!OpenWakeSocket())
        return;
    m_notifier = new QSocketNotifier(g_wakeFds[1], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &CTermSignals::OnReadable);
    for (int index = 0; index < kSignalCount; ++index)
        Install(index);
}

CTermSignals::~CTermSignals()
{
    RestoreDispositions();
    delete m_notifier;
    for (int& fd : g_wakeFds) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void CTermSignals::RestoreDispositions()
{
    for (int index = 0; index < kSignalCount; ++index) {
        if (g_installed[index])
            ::sigaction(kSignals[index], &g_previous[index], nullptr);
        g_installed[index] = false;
    }
}

QString CTermSignals::Name(int number) { return QString::fromLocal8Bit(strsignal(number)); }

void CTermSignals::EndAtOnce(int number)
{
    ::signal(number, SIG_DFL);
    ::raise(number);
}

// One signal per activation; the notifier fires again while more wait.
void CTermSignals::OnReadable()
{
    unsigned char byte = 0;
    if (::read(g_wakeFds[1], &byte, 1) == 1)
        emit Received(byte);
}
