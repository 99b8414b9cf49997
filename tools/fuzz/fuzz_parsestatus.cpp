// libFuzzer entry: any bytes, as a line in the receive buffer, through
// ParseStatus. One offscreen application and one view serve every input.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "fuzzentries.h"

namespace {
CTavrinView* g_view = nullptr;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "tavrin.*=false");
    static QApplication app(*argc, *argv);
    g_view = new CTavrinView;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    const QString problem = fuzzentry::ParseStatusBytes(*g_view, bytes);
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "ParseStatus: %s\n", qPrintable(problem));
        std::abort();
    }
    return 0;
}
