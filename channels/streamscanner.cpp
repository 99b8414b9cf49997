#include "channels/streamscanner.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>

namespace {
bool IsSpace(int c) { return c == ' ' || (c >= '\t' && c <= '\r'); }
bool IsDigit(int c) { return c >= '0' && c <= '9'; }
} // namespace

void StreamScanner::SkipSpace()
{
    while (IsSpace(Peek()))
        ++m_pos;
}

// The longest prefix that reads as a number: sign, digits, and for a
// floating-point field a fraction and an exponent. A short string keeps
// its characters in place, so the numbers of a file cost no allocation.
std::string StreamScanner::NumberText(bool allowFraction, int width)
{
    const qsizetype limit = width > 0 ? m_pos + width : m_text.size();
    qsizetype end = m_pos;
    auto peek = [&](qsizetype i) { return i < limit && i < m_text.size() ? static_cast<unsigned char>(m_text[i]) : -1; };
    if (peek(end) == '+' || peek(end) == '-')
        ++end;
    if (allowFraction) {
        // What "%f" prints for a value past the float's range, it reads back.
        for (const char* word : {"infinity", "inf", "nan"}) {
            const qsizetype length = qstrlen(word);
            if (end + length <= limit && qstrnicmp(m_text.constData() + end, word, length) == 0) {
                std::string number(m_text.constData() + m_pos, size_t(end + length - m_pos));
                m_pos = end + length;
                return number;
            }
        }
    }
    const qsizetype digitsStart = end;
    while (IsDigit(peek(end)))
        ++end;
    bool any = end > digitsStart;
    if (allowFraction && peek(end) == '.') {
        const qsizetype fractionStart = ++end;
        while (IsDigit(peek(end)))
            ++end;
        any = any || end > fractionStart;
    }
    if (!any)
        return {};
    if (allowFraction && (peek(end) == 'e' || peek(end) == 'E')) {
        qsizetype exponent = end + 1;
        if (peek(exponent) == '+' || peek(exponent) == '-')
            ++exponent;
        if (IsDigit(peek(exponent))) {
            while (IsDigit(peek(exponent)))
                ++exponent;
            end = exponent;
        }
    }
    std::string number(m_text.constData() + m_pos, size_t(end - m_pos));
    m_pos = end;
    return number;
}

bool StreamScanner::ReadInt(int& value, int width)
{
    SkipSpace();
    const std::string number = NumberText(false, width);
    if (number.empty())
        return false;
    const long long parsed = std::strtoll(number.c_str(), nullptr, 10);
    value = static_cast<int>(parsed); // wraps on overflow, as formatted input does
    return true;
}

bool StreamScanner::ReadDouble(double& value)
{
    SkipSpace();
    const std::string number = NumberText(true, 0);
    if (number.empty())
        return false;
    value = std::strtod(number.c_str(), nullptr);
    return true;
}

bool StreamScanner::ReadFloat(float& value)
{
    SkipSpace();
    const std::string number = NumberText(true, 0);
    if (number.empty())
        return false;
    value = std::strtof(number.c_str(), nullptr);
    return true;
}

bool StreamScanner::ReadChar(char& value)
{
    if (AtEnd())
        return false;
    value = m_text[m_pos++];
    return true;
}

bool StreamScanner::ReadLineEnd()
{
    if (Peek() != '\n')
        return false;
    ++m_pos;
    return true;
}

qsizetype StreamScanner::TakeLine(char* out, qsizetype most)
{
    const char* from = m_text.constData() + m_pos;
    const qsizetype window = std::min(most, m_text.size() - m_pos);
    const void* lineFeed = std::memchr(from, '\n', size_t(window));
    const qsizetype copied = lineFeed ? static_cast<const char*>(lineFeed) - from : window;
    std::memcpy(out, from, size_t(copied));
    m_pos += lineFeed ? copied + 1 : copied;
    return copied;
}

void StreamScanner::SkipLine()
{
    while (!AtEnd() && Get() != '\n') {
    }
}
