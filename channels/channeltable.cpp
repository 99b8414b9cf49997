#include "channels/channeltable.h"

#include <algorithm>
#include <charconv>
#include <iterator>

int g_nCommPort = 0;
int g_nBaudRate = 0;
char g_chParity = 0;
int g_nDataBits = 0;
int g_nStopBits = 0;
int g_nChanLower = 0;
int g_nChanUpper = 0;

double g_dChanFreq[kChannelCount] = {};
char g_chChanMode[kChannelCount] = {};
char g_chChanAgc[kChannelCount] = {};
char g_chChanInput[kChannelCount] = {};
char g_chChanRoute[kChannelCount] = {};
char g_chChanDesc[kChannelCount][kDescLength] = {};

namespace {

char* WritePadded(char* out, const char* from, const char* to, std::ptrdiff_t width)
{
    for (std::ptrdiff_t pad = width - (to - from); pad > 0; --pad)
        *out++ = ' ';
    return std::copy(from, to, out);
}

} // namespace

// printf would give the same bytes, rounding and "nan" or "-inf" included,
// but under its own format parsing for every record the file has.
void AppendRecordFields(QByteArray& text, int slot)
{
    char number[400];  // a double's 309 digits before the point, and more
    char fields[sizeof number + 32];
    const char* end = std::to_chars(number, std::end(number), slot).ptr;
    char* out = WritePadded(fields, number, end, 3);
    *out++ = ' ';
    end = std::to_chars(number, std::end(number), g_dChanFreq[slot], std::chars_format::fixed, 2).ptr;
    out = WritePadded(out, number, end, 8);
    for (const char letter : {g_chChanMode[slot], g_chChanAgc[slot], g_chChanInput[slot], g_chChanRoute[slot]}) {
        *out++ = ' ';
        *out++ = letter;
    }
    text.append(fields, out - fields);
}

// The prefix is cut at 23 characters whatever the frequency's width, so the
// description always starts in column 23.
void AppendChannelLine(QByteArray& text, int slot)
{
    const qsizetype start = text.size();
    AppendRecordFields(text, slot);
    text.append(" - ");
    text.truncate(start + 23);
    text.append(g_chChanDesc[slot], kDescLength);
}

CString BuildChannelLine(int slot)
{
    CString line;
    line.reserve(23 + kDescLength);
    AppendChannelLine(line, slot);
    return line;
}
