#include "web/requestgate.h"

namespace {

CRequestGate::Refusal Refused(int status, const char* reason, const char* text)
{
    return {status, reason, text};
}

} // namespace

std::optional<CRequestGate::Refusal> CRequestGate::Take(const QByteArray& bytes)
{
    if (m_refused)
        return std::nullopt;
    for (qsizetype at = 0; at < bytes.size();) {
        if (m_bodyLeft > 0) {
            const qint64 taken = std::min<qint64>(m_bodyLeft, bytes.size() - at);
            m_bodyLeft -= taken;
            at += taken;
            continue;
        }
        const char c = bytes.at(at++);
        // Blank lines between requests are allowed before a request line.
        if (!m_inHead && (c == '\r' || c == '\n'))
            continue;
        m_inHead = true;
        ++m_headBytes;
        std::optional<Refusal> refusal;
        if (c == '\n')
            refusal = EndOfLine();
        else if (m_headBytes > kLargestHead)
            refusal = Refused(431, "Request Header Fields Too Large", "The request's headers are too large.");
        else if (m_lines == 0 && m_line.size() >= kLongestRequestLine)
            refusal = Refused(414, "URI Too Long", "The request's address is too long.");
        else
            m_line.append(c);
        if (refusal) {
            m_refused = true;
            return refusal;
        }
    }
    return std::nullopt;
}

// The line is read where it lies and its room kept for the next one: a
// client's every byte passes here.
std::optional<CRequestGate::Refusal> CRequestGate::EndOfLine()
{
    QByteArrayView line(m_line);
    if (line.endsWith('\r'))
        line.chop(1);
    std::optional<Refusal> refusal;
    if (m_lines++ == 0)
        refusal = std::nullopt;
    else if (line.isEmpty())
        refusal = EndOfHead();
    else if (m_lines > kMostHeaders + 1)
        refusal = Refused(431, "Request Header Fields Too Large", "The request has too many headers.");
    else
        refusal = Header(line);
    m_line.resize(0);
    return refusal;
}

std::optional<CRequestGate::Refusal> CRequestGate::Header(QByteArrayView line)
{
    const qsizetype colon = line.indexOf(':');
    const QByteArrayView name = (colon < 0 ? line : line.first(colon)).trimmed();
    const QByteArrayView value = line.sliced(colon + 1).trimmed();
    if (name.compare("transfer-encoding", Qt::CaseInsensitive) == 0)
        m_chunked = true;
    if (name.compare("content-length", Qt::CaseInsensitive) != 0)
        return std::nullopt;
    bool number = false;
    const qint64 length = value.toLongLong(&number);
    if (!number || length < 0 || (m_length >= 0 && length != m_length))
        return Refused(400, "Bad Request", "The request's length is not one number.");
    m_length = length;
    return std::nullopt;
}

std::optional<CRequestGate::Refusal> CRequestGate::EndOfHead()
{
    // No page sends its body in chunks; a length not known ahead cannot be
    // bounded before it is read.
    if (m_chunked)
        return Refused(501, "Not Implemented", "A body in chunks is not taken.");
    if (m_length > kLargestBody)
        return Refused(413, "Payload Too Large", "The request's body is too large.");
    m_bodyLeft = std::max<qint64>(m_length, 0);
    m_inHead = false;
    m_headBytes = 0;
    m_lines = 0;
    m_length = -1;
    return std::nullopt;
}

QByteArray RefusalReply(int status, const QByteArray& reason, const QByteArray& text)
{
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason
           + "\r\nContent-Type: text/plain\r\nX-Content-Type-Options: nosniff\r\nConnection: close\r\nContent-Length: "
           + QByteArray::number(text.size()) + "\r\n\r\n" + text;
}
