// libFuzzer entry: any bytes as the body of a call to the flrig server,
// read, answered and checked.
#include <cstdio>
#include <cstdlib>

#include "fuzzentries.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString problem = fuzzentry::XmlRpcBytes(bytes);
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "XML-RPC body: %s\n", qPrintable(problem));
        std::abort();
    }
    return 0;
}
