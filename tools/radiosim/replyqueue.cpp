#include "replyqueue.h"

namespace radiosim {

ReplyQueue::ReplyQueue(QObject *parent)
    : QObject(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ReplyQueue::sendReady);
}

void ReplyQueue::enqueue(const QList<Chunk> &chunks)
{
    const bool wasIdle = isIdle();
    m_chunks += chunks;
    if (wasIdle)
        sendReady();
}

void ReplyQueue::clear()
{
    m_timer.stop();
    m_chunks.clear();
}

// Chunks without a delay go out at once; the first delayed one waits for
// the timer and takes the rest of the queue with it.
void ReplyQueue::sendReady()
{
    while (!m_chunks.isEmpty() && !m_timer.isActive()) {
        Chunk &head = m_chunks.first();
        if (head.delayMs > 0) {
            m_timer.start(head.delayMs);
            head.delayMs = 0;
            return;
        }
        const QByteArray bytes = m_chunks.takeFirst().bytes;
        emit due(bytes);
    }
}

} // namespace radiosim
