#include "commandtokenizer.h"

namespace radiosim {

namespace {

// What may stand between a command letter and its line feed.
struct Shape
{
    char letter;
    int minValue;
    int maxValue;
    bool digitsOnly;
};

// "M" and "A" are stepping commands bare and direct commands with a digit.
// 'G' carries whatever the user typed into the gain field, so it is the one
// command whose value is not restricted to digits.
constexpr Shape shapes[] = {
    {'?', 0, 0, true}, {'M', 0, 1, true}, {'A', 0, 1, true}, {'H', 0, 0, true},
    {'V', 0, 0, true}, {'D', 0, 0, true}, {'S', 0, 0, true}, {'I', 0, 0, true},
    {'(', 1, 1, true}, {'\'', 1, 1, true}, {'"', 1, 1, true}, {',', 1, 1, true},
    {'O', 1, 1, true}, {'F', 7, 7, true}, {'B', 3, 3, true}, {'G', 2, 2, false},
};

const Shape *shapeOf(char letter)
{
    for (const Shape &shape : shapes) {
        if (shape.letter == letter)
            return &shape;
    }
    return nullptr;
}

bool acceptsMore(const Shape &shape, int valueLength, char byte)
{
    if (valueLength >= shape.maxValue)
        return false;
    return shape.digitsOnly ? (byte >= '0' && byte <= '9') : true;
}

// Keying must act the moment the letter arrives: the panel sends "K" and "U"
// without a line feed and expects the transmitter to follow at once.
bool isImmediate(char byte)
{
    return byte == 'K' || byte == 'U';
}

} // namespace

QList<Command> CommandTokenizer::feed(const QByteArray &bytes)
{
    QList<Command> out;
    for (char byte : bytes)
        take(byte, out);
    return out;
}

void CommandTokenizer::take(char byte, QList<Command> &out)
{
    if (m_pending.isEmpty()) {
        start(byte, out);
        return;
    }
    if (byte == '\n') {
        finishLine(out);
        return;
    }
    const Shape &shape = *shapeOf(m_pending.at(0));
    if (acceptsMore(shape, int(m_pending.size()) - 1, byte)) {
        m_pending.append(byte);
        return;
    }
    // The command cannot go on: drop it and let the byte begin a new one.
    // A bare "D" followed by anything but a line feed ends up here too,
    // which is how the radio treats it: a no-op.
    m_pending.clear();
    start(byte, out);
}

void CommandTokenizer::start(char byte, QList<Command> &out)
{
    if (isImmediate(byte))
        out.append(Command{byte, {}});
    else if (shapeOf(byte))
        m_pending.append(byte);
    // Anything else, a stray line feed included, is line noise.
}

void CommandTokenizer::finishLine(QList<Command> &out)
{
    const Shape &shape = *shapeOf(m_pending.at(0));
    const int valueLength = int(m_pending.size()) - 1;
    if (valueLength >= shape.minValue)
        out.append(Command{m_pending.at(0), m_pending.mid(1)});
    m_pending.clear();
}

} // namespace radiosim
