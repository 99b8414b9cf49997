// The mouse wheel over the frequency display: a notch steps one Delta F from
// where the radio is, whatever the jog limits, held within the radio's range;
// a quick spin is not lost while the radio has yet to report, fractions of a
// notch add up, and nothing happens while keyed.
#include <QAbstractButton>
#include <QLineEdit>
#include <QWheelEvent>
#include <QtTest>

#include "panel/frequencywheel.h"
#include "panel/tavrinview.h"
#include "panel/tuningstate.h"
#include "res/resource.h"
#include "support/panelkit.h"

namespace {

constexpr const char* kLimits7000To7100 = " 7000.00  7100.00   0   9";

// A started panel with the given jog limits (7000 to 7100 kHz unless
// named), the wheel on its display, and the radio reporting `report` (seven
// digits) before the spin.
class WheelPanel : public ViewHarness {
public:
    explicit WheelPanel(const QByteArray& report = "0705000", const QByteArray& rangeLine = kLimits7000To7100)
        : WheelPanel(report, MinimalChannelFile(rangeLine), 0)
    {
    }

    void Report(const QByteArray& digits) { Feed("F" + digits + " \n"); }

    // One wheel event over the display: `eighths` of a degree, or pixels
    // when the device reports only those.
    void Wheel(int eighths, int pixels = 0, bool inverted = false)
    {
        QWidget* display = View().Form().Item(IDC_FREQ);
        const QPointF at(display->width() / 2.0, display->height() / 2.0);
        QWheelEvent event(at, display->mapToGlobal(at), QPoint(0, pixels), QPoint(0, eighths), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, inverted);
        QCoreApplication::sendEvent(display, &event);
    }

private:
    WheelPanel(const QByteArray& report, const QByteArray& file, int) : ViewHarness(&file)
    {
        new CFrequencyWheel(View());
        Start();
        Report(report);
        TakeWrites();
    }
};

QByteArrayList Commands(std::initializer_list<const char*> digits)
{
    QByteArrayList commands;
    for (const char* d : digits)
        commands << "F" + QByteArray(d) + "\n";
    return commands;
}

} // namespace

class FrequencyWheelTest : public QObject {
    Q_OBJECT
private slots:
    void spin_stepsFromWhereTheRadioIs_data();
    void spin_stepsFromWhereTheRadioIs();
    void pixelDeltas_addUpToWholeNotches();
    void reportArriving_makesTheNextNotchStartFromIt();
    void reportRepeatingTheOldFrequency_endsTheSpinToo();
    void anotherTuningCommand_makesTheNextNotchStartFromTheReport();
    void upButton_stillStartsFromTheReport();
    void notch_stopsJogAndChannelScanAndLeavesTheDisplay();
    void whileKeyed_nothingIsSentNorGathered();
    void notch_ignoresTheJogLimits_data();
    void notch_ignoresTheJogLimits();
    void closedPort_endsTheNotchAndShowsInTheTitle();
};

// Start report, step in kHz, the wheel events (eighths of a degree), and the
// commands that went out, with no report in between.
void FrequencyWheelTest::spin_stepsFromWhereTheRadioIs_data()
{
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<double>("step");
    QTest::addColumn<QList<int>>("wheel");
    QTest::addColumn<QByteArrayList>("sent");
    QTest::newRow("a notch up") << QByteArray("0705000") << 1.0 << QList<int>{120} << Commands({"0705100"});
    QTest::newRow("a notch down") << QByteArray("0705000") << 1.0 << QList<int>{-120} << Commands({"0704900"});
    QTest::newRow("quick spin up") << QByteArray("0705000") << 1.0 << QList<int>{120, 120, 120}
                                   << Commands({"0705100", "0705200", "0705300"});
    QTest::newRow("quick spin down") << QByteArray("0705000") << 0.5 << QList<int>{-120, -120}
                                     << Commands({"0704950", "0704900"});
    QTest::newRow("two notches in one event") << QByteArray("0705000") << 1.0 << QList<int>{240}
                                              << Commands({"0705200"});
    QTest::newRow("thirds of a notch") << QByteArray("0705000") << 1.0 << QList<int>{40, 40, 40, 40, 40}
                                       << Commands({"0705100"});
    QTest::newRow("half a notch is nothing") << QByteArray("0705000") << 1.0 << QList<int>{60} << Commands({});
    QTest::newRow("turning back drops the half") << QByteArray("0705000") << 1.0 << QList<int>{60, -120}
                                                 << Commands({"0704900"});
    QTest::newRow("passes Upper Limit, no wrap") << QByteArray("0709900") << 1.0 << QList<int>{120, 120}
                                                 << Commands({"0710000", "0710100"});
    QTest::newRow("passes Lower Limit, no wrap") << QByteArray("0700100") << 1.0 << QList<int>{-120, -120}
                                                 << Commands({"0700000", "0699900"});
    QTest::newRow("50 kHz past Upper") << QByteArray("0709000") << 50.0 << QList<int>{120, 120}
                                       << Commands({"0714000", "0719000"});
    QTest::newRow("three notches in one event past Upper") << QByteArray("0709900") << 1.0 << QList<int>{360}
                                                           << Commands({"0710200"});
    QTest::newRow("10 Hz steps stay on the grid") << QByteArray("0705550") << 0.01 << QList<int>{120, 120, 120}
                                                  << Commands({"0705551", "0705552", "0705553"});
    QTest::newRow("10 Hz down across a kHz") << QByteArray("0705501") << 0.01 << QList<int>{-120, -120}
                                             << Commands({"0705500", "0705499"});
    QTest::newRow("below Lower Limit steps from there") << QByteArray("0690000") << 1.0 << QList<int>{120}
                                                        << Commands({"0690100"});
    QTest::newRow("far above the limits stays there") << QByteArray("1420000") << 1.0 << QList<int>{120, -120}
                                                      << Commands({"1420100", "1420000"});
    QTest::newRow("held at 29999.99") << QByteArray("2999950") << 1.0 << QList<int>{120, 120}
                                      << Commands({"2999999", "2999999"});
    QTest::newRow("held at 0") << QByteArray("0000050") << 1.0 << QList<int>{-120, 120}
                               << Commands({"0000000", "0000100"});
}

void FrequencyWheelTest::spin_stepsFromWhereTheRadioIs()
{
    QFETCH(QByteArray, report);
    QFETCH(double, step);
    QFETCH(QList<int>, wheel);
    QFETCH(QByteArrayList, sent);
    WheelPanel panel(report);
    g_dStep = step;
    for (int eighths : wheel)
        panel.Wheel(eighths);
    QCOMPARE(Shown(panel.TakeWrites()), Shown(sent));
}

void FrequencyWheelTest::pixelDeltas_addUpToWholeNotches()
{
    WheelPanel panel;
    panel.Wheel(0, 5);
    panel.Wheel(0, 5);
    QCOMPARE(panel.TakeWrites().size(), 0);
    panel.Wheel(0, 5);
    QCOMPARE(Shown(panel.TakeWrites()), Shown(Commands({"0705100"})));
    // With "natural" scrolling the delta comes inverted; the frequency
    // follows the fingers.
    panel.Wheel(120, 0, true);
    QCOMPARE(Shown(panel.TakeWrites()), Shown(Commands({"0705000"})));
}

void FrequencyWheelTest::reportArriving_makesTheNextNotchStartFromIt()
{
    WheelPanel panel;
    panel.Wheel(120);
    panel.Report("0706000");
    panel.Wheel(120);
    QCOMPARE(Shown(panel.TakeWrites()), Shown(Commands({"0705100", "0706100"})));
}

// A radio that refuses a frequency reports the old one again: the spin
// goes on from what it reports, not from what it refused.
void FrequencyWheelTest::reportRepeatingTheOldFrequency_endsTheSpinToo()
{
    WheelPanel panel;
    panel.Wheel(120);
    panel.Report("0705000");
    panel.Wheel(120);
    QCOMPARE(Shown(panel.TakeWrites()), Shown(Commands({"0705100", "0705100"})));
}

void FrequencyWheelTest::anotherTuningCommand_makesTheNextNotchStartFromTheReport()
{
    WheelPanel panel;
    panel.Wheel(120);
    panel.View().m_strFreqEntry = "7200";
    panel.View().OnSetFreq();
    panel.Wheel(120);
    QCOMPARE(Shown(panel.TakeWrites()), Shown(Commands({"0705100", "0720000", "0705100"})));
}

// The push buttons and the jog keep starting from the last report.
void FrequencyWheelTest::upButton_stillStartsFromTheReport()
{
    WheelPanel panel;
    panel.Wheel(120);
    QTest::mouseClick(panel.View().Form().Button(IDC_FREQ_UP), Qt::LeftButton);
    QCOMPARE(Shown(panel.TakeWrites()), Shown(Commands({"0705100", "0705100"})));
}

void FrequencyWheelTest::notch_stopsJogAndChannelScanAndLeavesTheDisplay()
{
    WheelPanel panel;
    panel.View().m_nJog = 0;
    g_bChanScan = 1;
    panel.Wheel(-120);
    QCOMPARE(panel.View().m_nJog, -1);
    QCOMPARE(g_bChanScan, BYTE(0));
    panel.View().OnStateToForm();
    QCOMPARE(panel.View().Form().Edit(IDC_FREQ)->text(), QStringLiteral("7050.000"));
}

void FrequencyWheelTest::whileKeyed_nothingIsSentNorGathered()
{
    WheelPanel panel;
    panel.View().m_nJog = 0;
    g_chTxState = 'K';
    panel.Wheel(120);
    panel.Wheel(60);
    QCOMPARE(panel.TakeWrites().size(), 0);
    QCOMPARE(panel.View().m_nJog, 0);
    g_chTxState = 'U';
    panel.Wheel(60);
    QCOMPARE(panel.TakeWrites().size(), 0);
}

// The limits play no part, whether they make a range, are unset or are the
// wrong way round.
void FrequencyWheelTest::notch_ignoresTheJogLimits_data()
{
    QTest::addColumn<QByteArray>("rangeLine");
    QTest::newRow("real limits") << QByteArray(kLimits7000To7100);
    QTest::newRow("unset limits") << QByteArray("    0.00     0.00   0   0");
    QTest::newRow("Lower above Upper") << QByteArray(" 7300.00  7000.00   0   9");
}

void FrequencyWheelTest::notch_ignoresTheJogLimits()
{
    QFETCH(QByteArray, rangeLine);
    WheelPanel panel("1420000", rangeLine);
    panel.Wheel(120);
    panel.Report("1420100");
    panel.Wheel(-240);
    QCOMPARE(Shown(panel.TakeWrites()), Shown(Commands({"1420100", "1419900"})));
}

void FrequencyWheelTest::closedPort_endsTheNotchAndShowsInTheTitle()
{
    WheelPanel panel;
    panel.Port().Close();
    QVERIFY(panel.View().PortProblem().isEmpty());
    panel.Wheel(120);
    QVERIFY(!panel.View().PortProblem().isEmpty());
}

QTEST_MAIN(FrequencyWheelTest)
#include "test_frequencywheel.moc"
