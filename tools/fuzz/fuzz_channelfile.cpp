// libFuzzer entry: any bytes as the channel file, through ReadChannelTable,
// every slot's channel line, and the file written back and read again.
#include <cstdio>
#include <cstdlib>

#include "fuzzentries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString problem = fuzzentry::ReadChannelBytes(bytes);
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "channel file: %s\n", qPrintable(problem));
        std::abort();
    }
    return 0;
}
