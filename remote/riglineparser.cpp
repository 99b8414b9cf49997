#include "remote/riglineparser.h"

#include <QVarLengthArray>
#include <array>
#include <cstring>

#include "remote/rigcommands.h"

namespace {

// A blank between words: a space, a tab, a carriage return, a vertical tab
// or a form feed. Looked up, as every byte of every line asks.
bool IsBlank(char c)
{
    static const auto blanks = [] {
        std::array<bool, 256> table{};
        for (char blank : {' ', '\t', '\r', '\v', '\f'})
            table[quint8(blank)] = true;
        return table;
    }();
    return blanks[quint8(c)];
}

// A line's words where they lie; a client's line mostly has a few, held
// without an allocation.
using LineWords = QVarLengthArray<QByteArrayView, 16>;

// The words of a line: a line is cut into words once, and only the
// arguments a command takes are copied out of it.
LineWords Tokens(QByteArrayView line)
{
    LineWords tokens;
    qsizetype i = 0;
    while (i < line.size()) {
        while (i < line.size() && IsBlank(line[i]))
            ++i;
        const qsizetype start = i;
        while (i < line.size() && !IsBlank(line[i]))
            ++i;
        if (i > start)
            tokens.append(line.sliced(start, i - start));
    }
    return tokens;
}

char SeparatorFor(char prefix)
{
    if (prefix == '+')
        return '\n';
    return std::strchr(";|,", prefix) ? prefix : 0;
}

class LineReader {
public:
    explicit LineReader(const QByteArray& line) : m_tokens(Tokens(line)) {}

    QList<RigRequest> Requests()
    {
        QList<RigRequest> requests;
        requests.reserve(m_tokens.size());  // mostly a command a word, or fewer
        while (!AtEnd()) {
            RigRequest request;
            const RigCommand* command = TakeCommand(request);
            if (command)
                TakeArguments(*command, request.args);
            requests << std::move(request);
            if (!command)
                break;
        }
        return requests;
    }

private:
    bool AtEnd() const { return m_next >= m_tokens.size() || m_tokens[m_next].startsWith('#'); }

    // The command's name, and any prefix or packed neighbour taken off the
    // word it came in.
    const RigCommand* TakeCommand(RigRequest& request)
    {
        QByteArrayView& word = m_tokens[m_next];
        if (const char separator = SeparatorFor(word.front())) {
            request.separator = separator;
            word = word.sliced(1);
            if (word.isEmpty() && ++m_next >= m_tokens.size())
                return nullptr;
        }
        QByteArrayView& name = m_tokens[m_next];
        const qsizetype length = name.startsWith('\\') ? name.size() : 1;
        const RigCommand* command = FindRigCommand(name.first(length));
        request.command = command;
        name = name.sliced(length);
        if (name.isEmpty())
            ++m_next;
        if (command && command->maxArgs > 0 && !name.isEmpty()) {
            request.args << name.toByteArray();  // "F14074000"
            ++m_next;
        }
        return command;
    }

    // A "?" asks for a list and takes nothing after it.
    void TakeArguments(const RigCommand& command, QByteArrayList& args)
    {
        qsizetype vfo = 0;
        if ((command.flags & kRigTakesVfo) && args.isEmpty() && !AtEnd() && IsRigVfoName(m_tokens[m_next])) {
            args << m_tokens[m_next++].toByteArray();
            vfo = 1;
        }
        while (!AtEnd() && args.size() - vfo < command.maxArgs && !(args.size() - vfo == 1 && args.last() == "?"))
            args << m_tokens[m_next++].toByteArray();
    }

    LineWords m_tokens;
    qsizetype m_next = 0;
};

} // namespace

QList<RigRequest> ParseRigLine(const QByteArray& line) { return LineReader(line).Requests(); }
