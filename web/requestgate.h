#pragma once
// What the web panel reads of each request before Qt's HTTP server does:
// the request line, the headers and the length the body announces, each
// within bounds, so that a request too large is refused before it has
// been read whole, and never kept. Fed the bytes of one connection as they
// arrive; it says when a request is under way and when one must be
// refused, with the status to answer it with.
#include <QByteArray>
#include <QByteArrayView>
#include <optional>

class CRequestGate {
public:
    static constexpr int kLongestRequestLine = 4096;
    static constexpr int kLargestHead = 16 * 1024;
    static constexpr int kMostHeaders = 64;
    // The panel takes no upload: the largest body is a login form.
    static constexpr qint64 kLargestBody = 4096;

    struct Refusal {
        int status = 0;
        QByteArray reason;  // "Payload Too Large"
        QByteArray text;    // what the answer's body says
    };

    // The next bytes of the connection; a refusal once one is due, and then
    // nothing more is looked at.
    std::optional<Refusal> Take(QByteArrayView bytes);
    // Part of a request has arrived, not yet all of it.
    bool InRequest() const { return m_inHead || m_bodyLeft > 0; }

    struct Broken;

private:
    const Broken* LineBytes(QByteArrayView bytes, qsizetype& at);
    const Broken* EndOfLine();
    const Broken* EndOfHead();
    const Broken* Header(QByteArrayView line);

    QByteArray m_line;
    bool m_inHead = false;
    bool m_refused = false;
    int m_headBytes = 0;
    int m_lines = 0;
    qint64 m_length = -1;
    bool m_chunked = false;
    qint64 m_bodyLeft = 0;
};

// The whole answer to a refused request, closing the connection.
QByteArray RefusalReply(int status, const QByteArray& reason, const QByteArray& text);
