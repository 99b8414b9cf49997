#pragma once
// What the flrig server reads of a station program's HTTP: requests one
// after another on a kept connection, each a head of at most 8 KB and a
// body its Content-Length announces, within the server's limit. A body too
// large is known from its head and refused before a byte of it is kept;
// a chunked body, which no station program sends, is not read at all.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <optional>

struct FlrigRequest {
    bool posted = false;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    bool keepAlive = true;  // HTTP/1.1 unless it says close; 1.0 only if it asks
};

class CFlrigRequestReader {
public:
    static constexpr qsizetype kMaxHead = 8 * 1024;

    enum class Problem { None, TooLarge, Malformed };

    explicit CFlrigRequestReader(qsizetype maxBody) : m_maxBody(maxBody) {}

    void Feed(const QByteArray& bytes) { m_buffer += bytes; }
    // The next whole request, or none yet; once Error() is not None, none
    // ever again.
    std::optional<FlrigRequest> Next();
    Problem Error() const { return m_problem; }

private:
    // A head read whole whose body has not all arrived: it is read once,
    // not again with every piece of the body.
    struct Pending {
        FlrigRequest request;
        qsizetype bodyAt = 0;
        qsizetype bodySize = 0;
    };

    std::optional<Pending> ReadPending();
    std::nullopt_t Fail(Problem problem);

    QByteArray m_buffer;
    qsizetype m_maxBody;
    Problem m_problem = Problem::None;
    std::optional<Pending> m_pending;
    // Where the search for the head's end goes on: the bytes before it
    // hold no blank line.
    qsizetype m_searchFrom = 0;
};
