// libFuzzer entry: any bytes as what a rig-control client sends, cut into
// lines and answered command by command, whole and in pieces.
#include <cstdio>
#include <cstdlib>

#include "fuzzentries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString problem = fuzzentry::RigClientBytes(bytes);
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "rig-control client: %s\n", qPrintable(problem));
        std::abort();
    }
    return 0;
}
