#pragma once

#include <QByteArray>
#include <QList>

namespace radiosim {

// One command as the radio understood it: its letter and the characters
// between the letter and the line feed ("F0703525\n" gives 'F', "0703525").
struct Command
{
    char letter = 0;
    QByteArray value;
};

// Cuts the byte stream from the panel into commands. A serial line delivers
// writes in arbitrary pieces and several commands share one write, so the
// tokenizer keeps the unfinished command between calls and never relies on
// where one write ends.
class CommandTokenizer
{
public:
    QList<Command> feed(const QByteArray &bytes);
    bool hasPartialCommand() const { return !m_pending.isEmpty(); }

private:
    void take(char byte, QList<Command> &out);
    void start(char byte, QList<Command> &out);
    void finishLine(QList<Command> &out);

    QByteArray m_pending;
};

} // namespace radiosim
