#include "remote/flrigrequest.h"

namespace {

struct Head {
    QByteArray method;
    QByteArray version;
    QList<QPair<QByteArray, QByteArray>> headers;
};

std::optional<Head> ReadHead(const QByteArray& text)
{
    const QList<QByteArray> lines = text.split('\n');
    const QList<QByteArray> start = lines.first().trimmed().split(' ');
    if (start.size() != 3 || start[0].isEmpty() || !start[2].startsWith("HTTP/1."))
        return std::nullopt;
    Head head{start[0], start[2], {}};
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        if (line.isEmpty())
            continue;
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            return std::nullopt;
        head.headers.append({line.left(colon).trimmed(), line.mid(colon + 1).trimmed()});
    }
    return head;
}

// -1 where the head names no length; -2 where what it names is no length.
qint64 ContentLength(const Head& head)
{
    qint64 length = -1;
    for (const auto& [name, value] : head.headers) {
        if (name.compare("content-length", Qt::CaseInsensitive) != 0)
            continue;
        bool number = false;
        const qint64 given = value.toLongLong(&number);
        if (!number || given < 0 || (length >= 0 && given != length))
            return -2;
        length = given;
    }
    return length;
}

QByteArray HeaderValue(const Head& head, const char* wanted)
{
    for (const auto& [name, value] : head.headers)
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return value.toLower();
    return {};
}

bool KeepsAlive(const Head& head)
{
    const QByteArray connection = HeaderValue(head, "connection");
    if (head.version == "HTTP/1.0")
        return connection.contains("keep-alive");
    return !connection.contains("close");
}

} // namespace

std::optional<FlrigRequest> CFlrigRequestReader::Next()
{
    if (m_problem != Problem::None)
        return std::nullopt;
    if (!m_pending)
        m_pending = ReadPending();
    if (!m_pending || m_buffer.size() < m_pending->bodyAt + m_pending->bodySize)
        return std::nullopt;
    FlrigRequest request = std::move(m_pending->request);
    request.body = m_buffer.mid(m_pending->bodyAt, m_pending->bodySize);
    m_buffer.remove(0, m_pending->bodyAt + m_pending->bodySize);
    m_pending.reset();
    m_searchFrom = 0;
    return request;
}

std::optional<CFlrigRequestReader::Pending> CFlrigRequestReader::ReadPending()
{
    qsizetype end = m_buffer.indexOf("\r\n\r\n", m_searchFrom);
    qsizetype separator = 4;
    if (const qsizetype bare = m_buffer.indexOf("\n\n", m_searchFrom); bare >= 0 && (end < 0 || bare < end)) {
        end = bare;
        separator = 2;
    }
    // A head within bounds may still be waiting for the last bytes of its
    // blank line: refused only once even those could not end it in bounds,
    // so how the bytes were cut never decides.
    if (end < 0) {
        m_searchFrom = std::max<qsizetype>(0, m_buffer.size() - 3);
        return m_buffer.size() > kMaxHead + 3 ? Fail(Problem::TooLarge) : std::nullopt;
    }
    if (end > kMaxHead)
        return Fail(Problem::TooLarge);
    const std::optional<Head> head = ReadHead(m_buffer.left(end));
    if (!head || !HeaderValue(*head, "transfer-encoding").isEmpty())
        return Fail(Problem::Malformed);
    const qint64 length = ContentLength(*head);
    if (length == -2)
        return Fail(Problem::Malformed);
    if (length > m_maxBody)
        return Fail(Problem::TooLarge);
    Pending pending;
    pending.request.posted = head->method == "POST";
    pending.request.headers = head->headers;
    pending.request.keepAlive = KeepsAlive(*head);
    pending.bodyAt = end + separator;
    pending.bodySize = qsizetype(std::max<qint64>(length, 0));
    return pending;
}

std::nullopt_t CFlrigRequestReader::Fail(Problem problem)
{
    m_problem = problem;
    m_buffer.clear();
    m_pending.reset();
    return std::nullopt;
}
