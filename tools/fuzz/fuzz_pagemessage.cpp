// libFuzzer entry: any bytes as a page's WebSocket message, its first byte
// the operator's role: read as the feed reads it, routed through the
// command table for every role and carried out on a started panel for the
// chosen one. One offscreen application and one panel serve every input,
// and are torn down, panel first, before the exit's leak check.
#include <QApplication>

#include "fuzzmain.h"
#include "webentries.h"

namespace {
QApplication* g_app = nullptr;
fuzzentry::WebPagePanel* g_panel = nullptr;

void TearDown()
{
    delete g_panel;
    g_panel = nullptr;
    delete g_app;
    g_app = nullptr;
}

QString OnThePanel(const QByteArray& bytes) { return fuzzentry::PageMessageBytes(*g_panel, bytes); }
} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    g_app = new QApplication(*argc, *argv);
    g_panel = new fuzzentry::WebPagePanel;
    std::atexit(TearDown);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return fuzzentry::CheckInput("page message", &OnThePanel, data, size);
}
