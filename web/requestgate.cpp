#include "web/requestgate.h"

#include <limits>

// What broke a limit: the answer is made from it only once a request is
// refused, not checked for at every byte.
struct CRequestGate::Broken {
    int status;
    const char* reason;
    const char* text;
};

namespace {

constexpr CRequestGate::Broken kHeadTooLarge{431, "Request Header Fields Too Large", "The request's headers are too large."};
constexpr CRequestGate::Broken kTooManyHeaders{431, "Request Header Fields Too Large", "The request has too many headers."};
constexpr CRequestGate::Broken kLineTooLong{414, "URI Too Long", "The request's address is too long."};
constexpr CRequestGate::Broken kBadLength{400, "Bad Request", "The request's length is not one number."};
constexpr CRequestGate::Broken kChunked{501, "Not Implemented", "A body in chunks is not taken."};
constexpr CRequestGate::Broken kBodyTooLarge{413, "Payload Too Large", "The request's body is too large."};

} // namespace

std::optional<CRequestGate::Refusal> CRequestGate::Take(QByteArrayView bytes)
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
        const char c = bytes[at];
        // Blank lines between requests are allowed before a request line.
        if (!m_inHead && (c == '\r' || c == '\n')) {
            ++at;
            continue;
        }
        m_inHead = true;
        const Broken* broken = nullptr;
        if (c == '\n') {
            ++at;
            ++m_headBytes;
            broken = EndOfLine();
        } else {
            broken = LineBytes(bytes, at);
        }
        if (broken) {
            m_refused = true;
            return Refusal{broken->status, broken->reason, broken->text};
        }
    }
    return std::nullopt;
}

// The bytes of a line up to its line feed or the end of what came, taken
// in one piece: a client's every byte passes here. A limit is broken by
// the first byte past it, the head's size before the request line's.
const CRequestGate::Broken* CRequestGate::LineBytes(QByteArrayView bytes, qsizetype& at)
{
    // The last byte of a piece needs no search: it is not a line feed.
    const qsizetype lineFeed = at + 1 == bytes.size() ? -1 : bytes.indexOf('\n', at);
    const qsizetype run = (lineFeed < 0 ? bytes.size() : lineFeed) - at;
    const qsizetype headRoom = std::max<qsizetype>(0, kLargestHead - m_headBytes);
    const qsizetype lineRoom =
        m_lines == 0 ? std::max<qsizetype>(0, kLongestRequestLine - m_line.size()) : std::numeric_limits<qsizetype>::max();
    if (run > headRoom || run > lineRoom) {
        return headRoom <= lineRoom ? &kHeadTooLarge : &kLineTooLong;
    }
    if (run == 1)
        m_line.append(bytes[at]);
    else
        m_line.append(bytes.sliced(at, run));
    m_headBytes += int(run);
    at += run;
    return nullptr;
}

// The line is read where it lies and its room kept for the next one: a
// client's every byte passes here.
const CRequestGate::Broken* CRequestGate::EndOfLine()
{
    QByteArrayView line(m_line);
    if (line.endsWith('\r'))
        line.chop(1);
    const Broken* broken = nullptr;
    if (m_lines++ == 0)
        broken = nullptr;
    else if (line.isEmpty())
        broken = EndOfHead();
    else if (m_lines > kMostHeaders + 1)
        broken = &kTooManyHeaders;
    else
        broken = Header(line);
    m_line.resize(0);
    return broken;
}

const CRequestGate::Broken* CRequestGate::Header(QByteArrayView line)
{
    const qsizetype colon = line.indexOf(':');
    const QByteArrayView name = (colon < 0 ? line : line.first(colon)).trimmed();
    const QByteArrayView value = line.sliced(colon + 1).trimmed();
    if (name.compare("transfer-encoding", Qt::CaseInsensitive) == 0)
        m_chunked = true;
    if (name.compare("content-length", Qt::CaseInsensitive) != 0)
        return nullptr;
    bool number = false;
    const qint64 length = value.toLongLong(&number);
    if (!number || length < 0 || (m_length >= 0 && length != m_length))
        return &kBadLength;
    m_length = length;
    return nullptr;
}

const CRequestGate::Broken* CRequestGate::EndOfHead()
{
    // No page sends its body in chunks; a length not known ahead cannot be
    // bounded before it is read.
    if (m_chunked)
        return &kChunked;
    if (m_length > kLargestBody)
        return &kBodyTooLarge;
    m_bodyLeft = std::max<qint64>(m_length, 0);
    m_inHead = false;
    m_headBytes = 0;
    m_lines = 0;
    m_length = -1;
    return nullptr;
}

QByteArray RefusalReply(int status, const QByteArray& reason, const QByteArray& text)
{
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason
           + "\r\nContent-Type: text/plain\r\nX-Content-Type-Options: nosniff\r\nConnection: close\r\nContent-Length: "
           + QByteArray::number(text.size()) + "\r\n\r\n" + text;
}
