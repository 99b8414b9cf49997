#include "channels/streamscanner.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

namespace {
// The blanks a format skips: space, tab, line feed, vertical tab, form
// feed and carriage return, looked up in one step.
constexpr std::array<bool, 256> kSpaces = [] {
    std::array<bool, 256> spaces{};
    for (const unsigned char c : {' ', '\t', '\n', '\v', '\f', '\r'})
        spaces[c] = true;
    return spaces;
}();
bool IsDigit(int c) { return c >= '0' && c <= '9'; }
} // namespace

void StreamScanner::SkipSpace()
{
    const char* const text = m_text.constData();
    const qsizetype size = m_text.size();
    while (m_pos < size && kSpaces[static_cast<unsigned char>(text[m_pos])])
        ++m_pos;
}

// The length of the longest prefix that reads as a number: sign, digits,
// and for a floating-point field a fraction and an exponent. Measured where
// it lies, so the numbers of a file cost no copy.
qsizetype StreamScanner::NumberLength(bool allowFraction, int width) const
{
    const char* const begin = m_text.constData() + m_pos;
    const qsizetype available = m_text.size() - m_pos;
    const char* const end = begin + (width > 0 ? std::min<qsizetype>(width, available) : available);
    const char* p = begin;
    if (p < end && (*p == '+' || *p == '-'))
        ++p;
    if (allowFraction && p < end && ((*p | 0x20) == 'i' || (*p | 0x20) == 'n')) {
        // What "%f" prints for a value past the float's range, it reads back.
        for (const char* word : {"infinity", "inf", "nan"}) {
            const qsizetype length = qstrlen(word);
            if (end - p >= length && qstrnicmp(p, word, length) == 0)
                return p + length - begin;
        }
    }
    const char* const digits = p;
    while (p < end && IsDigit(*p))
        ++p;
    bool any = p > digits;
    if (allowFraction && p < end && *p == '.') {
        const char* const fraction = ++p;
        while (p < end && IsDigit(*p))
            ++p;
        any = any || p > fraction;
    }
    if (!any)
        return 0;
    if (allowFraction && p < end && (*p == 'e' || *p == 'E')) {
        const char* exponent = p + 1;
        if (exponent < end && (*exponent == '+' || *exponent == '-'))
            ++exponent;
        if (exponent < end && IsDigit(*exponent)) {
            while (exponent < end && IsDigit(*exponent))
                ++exponent;
            p = exponent;
        }
    }
    return p - begin;
}

namespace {

// What strtoll gives for a sign and digits: the value, or the nearest
// limit when it does not fit.
long long DigitsValue(const char* text, qsizetype length)
{
    const bool negative = *text == '-';
    const char* p = text + (*text == '+' || negative ? 1 : 0);
    constexpr unsigned long long kLargest = 1ULL << 63;  // LLONG_MAX + 1, LLONG_MIN's size
    unsigned long long size = 0;
    for (; p < text + length; ++p) {
        const unsigned digit = unsigned(*p - '0');
        size = size > (kLargest - digit) / 10 ? kLargest : size * 10 + digit;
    }
    if (negative)
        return size >= kLargest ? std::numeric_limits<long long>::min() : -static_cast<long long>(size);
    return size >= kLargest ? std::numeric_limits<long long>::max() : static_cast<long long>(size);
}

// strtod and strtof want the number alone, ended by a zero byte.
template <typename Convert>
auto NumberValue(const char* text, qsizetype length, Convert convert)
{
    char buffer[64];
    if (length < qsizetype(sizeof buffer)) {
        std::memcpy(buffer, text, size_t(length));
        buffer[length] = '\0';
        return convert(buffer);
    }
    const std::string number(text, size_t(length));
    return convert(number.c_str());
}

} // namespace

bool StreamScanner::ReadInt(int& value, int width)
{
    SkipSpace();
    const qsizetype length = NumberLength(false, width);
    if (length == 0)
        return false;
    value = static_cast<int>(DigitsValue(m_text.constData() + m_pos, length)); // wraps on overflow, as formatted input does
    m_pos += length;
    return true;
}

bool StreamScanner::ReadDouble(double& value)
{
    SkipSpace();
    const qsizetype length = NumberLength(true, 0);
    if (length == 0)
        return false;
    value = NumberValue(m_text.constData() + m_pos, length, [](const char* number) { return std::strtod(number, nullptr); });
    m_pos += length;
    return true;
}

bool StreamScanner::ReadFloat(float& value)
{
    SkipSpace();
    const qsizetype length = NumberLength(true, 0);
    if (length == 0)
        return false;
    value = NumberValue(m_text.constData() + m_pos, length, [](const char* number) { return std::strtof(number, nullptr); });
    m_pos += length;
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
    const char* const from = m_text.constData() + m_pos;
    const void* lineFeed = std::memchr(from, '\n', size_t(m_text.size() - m_pos));
    m_pos = lineFeed ? m_pos + (static_cast<const char*>(lineFeed) - from) + 1 : m_text.size();
}
