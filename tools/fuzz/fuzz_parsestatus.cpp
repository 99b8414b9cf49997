// libFuzzer entry: any bytes, as a line in the receive buffer, through
// ParseStatus. One offscreen application and one view serve every input,
// and both are torn down, view first, before the exit's leak check: left to
// the end, the fonts the view holds outlive the font database and count as
// leaked, and a clean run would exit 1.
#include <QApplication>
#include <cstdio>
#include <cstdlib>

#include "fuzzentries.h"

namespace {
QApplication* g_app = nullptr;
CTavrinView* g_view = nullptr;

void TearDown()
{
    delete g_view;
    g_view = nullptr;
    delete g_app;
    g_app = nullptr;
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "tavrin.*=false");
    g_app = new QApplication(*argc, *argv);
    g_view = new CTavrinView;
    std::atexit(TearDown);
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
