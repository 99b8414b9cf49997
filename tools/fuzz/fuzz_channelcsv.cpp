// libFuzzer entry: any bytes as a CSV channel list to import, through the
// reader and the rows' checks, exported again and kept by the channel file.
#include <cstdio>
#include <cstdlib>

#include "fuzzentries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString problem = fuzzentry::ImportCsvBytes(bytes);
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "channel CSV: %s\n", qPrintable(problem));
        std::abort();
    }
    return 0;
}
