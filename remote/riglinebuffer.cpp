#include "remote/riglinebuffer.h"

void CRigLineBuffer::Append(const QByteArray& bytes)
{
    if (!m_dropping) {
        m_bytes += bytes;
        return;
    }
    // The rest of a line already answered as too long, up to its line feed.
    const qsizetype end = bytes.indexOf('\n');
    if (end < 0)
        return;
    m_dropping = false;
    m_bytes += bytes.mid(end + 1);
}

std::optional<CRigLineBuffer::Line> CRigLineBuffer::Next()
{
    const qsizetype end = m_bytes.indexOf('\n', m_from);
    if (end >= 0) {
        const qsizetype from = m_from;
        m_from = end + 1;
        if (end - from > kMaxLine)
            return Line{QByteArray(), true};
        return Line{m_bytes.mid(from, end - from), false};
    }
    m_bytes.remove(0, m_from);
    m_from = 0;
    if (m_bytes.size() <= kMaxLine)
        return std::nullopt;
    m_bytes.clear();
    m_dropping = true;
    return Line{QByteArray(), true};
}
