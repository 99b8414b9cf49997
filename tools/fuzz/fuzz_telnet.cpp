// libFuzzer entry: any bytes as a network radio's telnet stream, fed whole
// and in pieces, its answers checked and its data sent back.
#include <cstdio>
#include <cstdlib>

#include "fuzzentries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString problem = fuzzentry::TelnetBytes(bytes);
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "telnet stream: %s\n", qPrintable(problem));
        std::abort();
    }
    return 0;
}
