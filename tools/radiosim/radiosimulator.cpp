#include "radiosimulator.h"

#include "replyqueue.h"
#include "simlink.h"
#ifdef Q_OS_UNIX
#include "ptylink.h"
#endif

namespace radiosim {
namespace {

// Each report meets the line's faults on its own, as the radio sends them
// one at a time.
QList<QByteArray> reportsIn(const QByteArray &replies)
{
    QList<QByteArray> reports;
    for (qsizetype at = 0; at < replies.size();) {
        const qsizetype end = replies.indexOf('\n', at);
        const qsizetype next = end < 0 ? replies.size() : end + 1;
        reports.append(replies.mid(at, next - at));
        at = next;
    }
    return reports;
}

} // namespace

#ifdef Q_OS_UNIX
RadioSimulator::RadioSimulator(QObject *parent)
    : RadioSimulator(new PtyLink, parent)
{
}
#endif

RadioSimulator::RadioSimulator(SimLink *link, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_replies(new ReplyQueue(this))
{
    m_link->setParent(this);
    connect(m_link, &SimLink::received, this, &RadioSimulator::onReceived);
    connect(m_link, &SimLink::closed, this, &RadioSimulator::linkClosed);
    connect(m_replies, &ReplyQueue::due, m_link, &SimLink::write);
}

RadioSimulator::~RadioSimulator() = default;

void RadioSimulator::setOutgoingFaults(const FaultSettings &settings)
{
    m_outgoing = FaultInjector(settings);
}

void RadioSimulator::setIncomingFaults(const FaultSettings &settings)
{
    m_incoming = FaultInjector(settings);
}

bool RadioSimulator::start()
{
    m_nameError.clear();
    if (!m_link->open())
        return false;
    if (m_stableName.pointAt(m_link->portName(), m_nameError))
        return true;
    m_link->close();
    return false;
}

QString RadioSimulator::portName() const { return m_link->portName(); }

QString RadioSimulator::errorString() const
{
    return m_nameError.isEmpty() ? m_link->errorString() : m_nameError;
}

bool RadioSimulator::isConnected() const { return m_link->isOpen(); }

// The device goes before its name, as when an adapter is pulled.
void RadioSimulator::disconnectLink()
{
    m_replies->clear();
    m_link->close();
    m_stableName.remove();
}

bool RadioSimulator::reconnectLink() { return isConnected() || start(); }

void RadioSimulator::onReceived(const QByteArray &bytes)
{
    const QByteArray replies = m_model.feed(m_incoming.damage(bytes));
    for (const QByteArray &report : reportsIn(replies))
        m_replies->enqueue(m_outgoing.shape(report));
    emit inputHandled();
}

} // namespace radiosim
