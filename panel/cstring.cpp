#include "panel/cstring.h"

#include <cstdarg>
#include <cstdio>

CString FormatText(const char* format, ...)
{
    char buffer[256];
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    CString result;
    if (length < 0) {
        va_end(copy);
        return result;
    }
    if (static_cast<size_t>(length) < sizeof buffer) {
        result = CString(buffer, length);
    } else {
        result.resize(length + 1);
        std::vsnprintf(result.data(), result.size(), format, copy);
        result.resize(length);
    }
    va_end(copy);
    return result;
}
