// What one received character costs on the user-interface thread: the
// control's event, the receive handler, a parse at each line feed, and the
// whole-form refresh that follows every event. At 9600 baud with 7 data
// bits, odd parity and one stop bit the line carries 960 characters a second.
#include <QApplication>
#include <benchmark/benchmark.h>

#include "link/commandchannel.h"
#include "panel/tavrinview.h"
#include "support/viewharness.h"

namespace {

constexpr double kCharsPerSecond = 960.0;

const QByteArray kReport("F0703525 M2 A3 H1 V0 D1 S0 I0 (1 '0 \"0 ,0 *0 O1 U \n");
// The same report a step later: new frequency, meter and amplifier state,
// so the refresh really rewrites controls instead of finding them equal.
const QByteArray kNextReport("F0703526 M2 A3 H1 V0 D2 S0 I0 (1 '0 \"0 ,0 *0 O3 U \n");

struct StartedPanel {
    explicit StartedPanel(bool shown)
    {
        harness = std::make_unique<ViewHarness>(&channelFile);
        harness->Start();
        if (shown) {
            harness->View().show();
            QApplication::processEvents();
        }
        harness->Feed(kReport); // the first report moves the lists once
        harness->TakeWrites();
    }
    const QByteArray channelFile = ViewHarness::MinimalChannelFile();
    std::unique_ptr<ViewHarness> harness;
};

void ReportPerCharacter(benchmark::State& state, qint64 chars)
{
    using benchmark::Counter;
    state.SetItemsProcessed(chars);
    state.counters["per_char"] = Counter(double(chars), Counter::kIsRate | Counter::kInvert);
    // CPU time per second of a line full of reports: "1.2ms" is 0.12 % of a core.
    state.counters["cpu_per_s_at_960cps"] = Counter(chars / kCharsPerSecond, Counter::kIsRate | Counter::kInvert);
}

void FeedByCharacter(ViewHarness& harness, const QByteArray& line, bool paint)
{
    for (char c : line) {
        harness.Port().Inject(QByteArray(1, c));
        if (paint)
            QApplication::processEvents();
    }
}

// Hidden form: the handler, the parse and the exchange, no painting.
void BM_ReceiveRepeatedReport(benchmark::State& state)
{
    StartedPanel panel(false);
    qint64 chars = 0;
    for (auto _ : state) {
        FeedByCharacter(*panel.harness, kReport, false);
        chars += kReport.size();
    }
    ReportPerCharacter(state, chars);
}
BENCHMARK(BM_ReceiveRepeatedReport);

void BM_ReceiveChangingReports(benchmark::State& state)
{
    StartedPanel panel(false);
    qint64 chars = 0;
    bool next = false;
    for (auto _ : state) {
        const QByteArray& line = next ? kNextReport : kReport;
        FeedByCharacter(*panel.harness, line, false);
        chars += line.size();
        next = !next;
    }
    ReportPerCharacter(state, chars);
}
BENCHMARK(BM_ReceiveChangingReports);

// Shown form, with the event loop run after every character as the real
// program runs it, so changed controls repaint on the offscreen surface.
void BM_ReceiveChangingReportsPainted(benchmark::State& state)
{
    StartedPanel panel(true);
    qint64 chars = 0;
    bool next = false;
    for (auto _ : state) {
        const QByteArray& line = next ? kNextReport : kReport;
        FeedByCharacter(*panel.harness, line, true);
        chars += line.size();
        next = !next;
    }
    ReportPerCharacter(state, chars);
}
BENCHMARK(BM_ReceiveChangingReportsPainted);

// The two parts of the per-character cost, apart.
void BM_ParseStatusOnly(benchmark::State& state)
{
    StartedPanel panel(false);
    for (auto _ : state) {
        g_strReceive = kReport;
        panel.harness->View().ParseStatus();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParseStatusOnly);

void BM_RefreshFormOnly(benchmark::State& state)
{
    StartedPanel panel(false);
    for (auto _ : state)
        panel.harness->View().UpdateData(false);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RefreshFormOnly);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_LOGGING_RULES", "tavrin.*=false");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
