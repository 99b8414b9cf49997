#include "ptylink.h"

#include <QSocketNotifier>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace radiosim {
namespace {

// Beyond this the panel is not reading; like a real line nobody listens to,
// the radio's words are then simply lost.
constexpr int maxPending = 64 * 1024;

} // namespace

PtyLink::PtyLink(QObject *parent)
    : SimLink(parent)
{
}

PtyLink::~PtyLink()
{
    release();
}

bool PtyLink::open()
{
    if (isOpen())
        return true;
    if (!createMaster() || !makeRaw() || !holdSlave()) {
        release();
        return false;
    }
    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyLink::readMaster);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PtyLink::flushPending);
    return true;
}

bool PtyLink::fail(const char *step)
{
    m_error = QStringLiteral("%1: %2").arg(QLatin1String(step), QString::fromLocal8Bit(std::strerror(errno)));
    return false;
}

bool PtyLink::createMaster()
{
    // Close-on-exec, so a program started meanwhile (the panel under test)
    // holds no copy that keeps the line up after the radio pulls it.
    m_master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_master < 0)
        return fail("posix_openpt");
    if (grantpt(m_master) != 0 || unlockpt(m_master) != 0)
        return fail("grantpt/unlockpt");
    const char *name = ptsname(m_master);
    if (!name)
        return fail("ptsname");
    m_slavePath = QString::fromLocal8Bit(name);
    return true;
}

// The terminal settings belong to the pair, so making the master raw makes
// the slave an 8-bit clean line without echo until the panel sets its own.
bool PtyLink::makeRaw()
{
    termios tio {};
    if (tcgetattr(m_master, &tio) != 0)
        return fail("tcgetattr");
    cfmakeraw(&tio);
    if (tcsetattr(m_master, TCSANOW, &tio) != 0)
        return fail("tcsetattr");
    const int flags = fcntl(m_master, F_GETFL);
    if (flags < 0 || fcntl(m_master, F_SETFL, flags | O_NONBLOCK) != 0)
        return fail("fcntl");
    return true;
}

// While no one has the slave open, Linux reports a hang-up on the master
// and the read notifier would spin. Holding one slave descriptor of our own
// keeps the line up across the panel opening and closing its port.
bool PtyLink::holdSlave()
{
    m_heldSlave = ::open(m_slavePath.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    return m_heldSlave >= 0 || fail("open slave");
}

void PtyLink::readMaster()
{
    char buffer[512];
    while (isOpen()) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) {
            emit received(QByteArray(buffer, int(n)));
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            return;
        m_readNotifier->setEnabled(false);
        return;
    }
}

void PtyLink::write(const QByteArray &bytes)
{
    if (!isOpen() || m_pending.size() + bytes.size() > maxPending)
        return;
    m_pending += bytes;
    flushPending();
}

void PtyLink::flushPending()
{
    while (!m_pending.isEmpty()) {
        const ssize_t n = ::write(m_master, m_pending.constData(), size_t(m_pending.size()));
        if (n > 0) {
            m_pending.remove(0, int(n));
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN) {
            watchForRoom(true);
            return;
        }
        m_pending.clear();
    }
    watchForRoom(false);
}

void PtyLink::watchForRoom(bool on)
{
    if (m_writeNotifier)
        m_writeNotifier->setEnabled(on);
}

void PtyLink::close()
{
    const bool wasOpen = isOpen();
    release();
    if (wasOpen)
        emit closed();
}

// The notifiers go later: close() may run from inside their own signal.
void PtyLink::release()
{
    for (QSocketNotifier *notifier : {m_readNotifier, m_writeNotifier}) {
        if (notifier) {
            notifier->setEnabled(false);
            notifier->deleteLater();
        }
    }
    m_readNotifier = m_writeNotifier = nullptr;
    if (m_heldSlave >= 0)
        ::close(m_heldSlave);
    if (m_master >= 0)
        ::close(m_master);
    m_heldSlave = m_master = -1;
    m_pending.clear();
}

} // namespace radiosim
