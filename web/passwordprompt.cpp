#include "web/passwordprompt.h"

#include <array>
#include <csignal>
#include <iterator>
#include <cstdio>
#include <sodium.h>
#include <termios.h>
#include <unistd.h>

namespace {

// Longer than any password typed or pasted; a longer line is refused
// rather than cut.
constexpr size_t kLongestLine = 1024;

using LineBuffer = std::array<char, kLongestLine>;

// One line from standard input without its end, byte by byte so nothing
// after it is consumed; -1 when the line is too long or input ends first.
long ReadLine(LineBuffer& buffer)
{
    size_t length = 0;
    char c = 0;
    for (;;) {
        const ssize_t got = read(STDIN_FILENO, &c, 1);
        if (got <= 0)
            return length > 0 ? long(length) : -1;
        if (c == '\n')
            break;
        if (length == buffer.size())
            return -1;
        buffer[length++] = c;
    }
    if (length > 0 && buffer[length - 1] == '\r')
        --length;
    return long(length);
}

std::optional<QByteArray> LineAsPassword()
{
    LineBuffer buffer{};
    const long length = ReadLine(buffer);
    std::optional<QByteArray> password;
    if (length >= 0)
        password = QByteArray(buffer.data(), int(length));
    sodium_memzero(buffer.data(), buffer.size());
    return password;
}

// The terminal's echo is off only while a password is typed; Ctrl+C or a
// closed terminal then must not leave the shell typing blind.
termios g_savedTerminal{};
constexpr int kEndingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

void RestoreTerminalAndEnd(int signal)
{
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_savedTerminal);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

class CEchoOff {
public:
    CEchoOff() : m_quiet(tcgetattr(STDIN_FILENO, &g_savedTerminal) == 0)
    {
        if (!m_quiet)
            return;
        struct sigaction restore {};
        restore.sa_handler = RestoreTerminalAndEnd;
        for (size_t i = 0; i < std::size(kEndingSignals); ++i)
            sigaction(kEndingSignals[i], &restore, &m_previous[i]);
        termios silent = g_savedTerminal;
        silent.c_lflag &= tcflag_t(~ECHO);
        silent.c_lflag |= ECHONL;
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &silent);
    }
    ~CEchoOff()
    {
        if (!m_quiet)
            return;
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &g_savedTerminal);
        for (size_t i = 0; i < std::size(kEndingSignals); ++i)
            sigaction(kEndingSignals[i], &m_previous[i], nullptr);
    }
    CEchoOff(const CEchoOff&) = delete;
    CEchoOff& operator=(const CEchoOff&) = delete;

private:
    bool m_quiet;
    struct sigaction m_previous[std::size(kEndingSignals)] {};
};

std::optional<QByteArray> AskWithoutEcho(const QString& prompt)
{
    std::fputs(qPrintable(prompt), stderr);
    std::fflush(stderr);
    const CEchoOff echoOff;
    return LineAsPassword();
}

std::optional<QByteArray> AskTwice(const QString& name, QString& why)
{
    std::optional<QByteArray> first = AskWithoutEcho(QStringLiteral("Password for %1: ").arg(name));
    if (!first || first->isEmpty()) {
        why = QStringLiteral("No password was given; nothing was changed.");
        return std::nullopt;
    }
    std::optional<QByteArray> again = AskWithoutEcho(QStringLiteral("Again: "));
    const bool same = again && *again == *first;
    if (again)
        WipePassword(*again);
    if (!same) {
        WipePassword(*first);
        why = QStringLiteral("The two passwords differ; nothing was changed.");
        return std::nullopt;
    }
    return first;
}

} // namespace

std::optional<QByteArray> ReadNewPassword(const QString& name, QString& why)
{
    if (isatty(STDIN_FILENO))
        return AskTwice(name, why);
    std::optional<QByteArray> password = LineAsPassword();
    if (!password || password->isEmpty()) {
        why = QStringLiteral("No password was read from standard input (one line, at most %1 bytes); nothing was "
                             "changed.").arg(kLongestLine);
        return std::nullopt;
    }
    return password;
}

void WipePassword(QByteArray& password)
{
    if (!password.isEmpty())
        sodium_memzero(password.data(), size_t(password.size()));
    password.clear();
}
