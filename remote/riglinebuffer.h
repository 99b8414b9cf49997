#pragma once
// A client's bytes, cut into lines at each line feed. A line of more than
// 1 KiB is not kept: it is announced once as too long, as soon as it passes
// the limit, and the rest of it, up to its line feed, is dropped.
#include <QByteArray>
#include <optional>

class CRigLineBuffer {
public:
    static constexpr qsizetype kMaxLine = 1024;

    struct Line {
        QByteArray text;       // without its line feed
        bool tooLong = false;
    };

    void Append(const QByteArray& bytes);
    // The next whole line, or none until more bytes arrive.
    std::optional<Line> Next();

private:
    QByteArray m_bytes;
    qsizetype m_from = 0;
    bool m_dropping = false;
};
