// Tuning: the seven digits of the frequency command, the jog that wraps
// between the scan limits (and only steps when they make no range), the step and jog buttons, and direct entry.
#include <QAbstractButton>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionButton>
#include <QtTest>
#include <cmath>
#include <cstring>
#include <limits>

#include "panel/tavrinview.h"
#include "panel/tuningstate.h"
#include "res/resource.h"
#include "support/panelkit.h"
#include "support/viewharness.h"

namespace {

// A panel after its first update with the given range line (Lower Limit,
// Upper Limit, channel range), start-up queries already taken off the line.
class TuningPanel : public ViewHarness {
public:
    explicit TuningPanel(const QByteArray& rangeLine = " 7000.00  7100.00   0   9")
        : TuningPanel(MinimalChannelFile(rangeLine), 0)
    {
    }

private:
    TuningPanel(const QByteArray& file, int) : ViewHarness(&file)
    {
        Start();
        TakeWrites();
    }
};

using Handler = void (CTavrinView::*)();

// Button id, m_nStep, g_dStep, handler: the "Delta F" frame top to bottom.
struct StepButton {
    int id;
    int index;
    double step;
    Handler handler;
};
const StepButton kStepButtons[] = {
    {IDC_STEP_500K, 0, 500.0, &CTavrinView::OnStep500kHz},
    {IDC_STEP_100K, 1, 100.0, &CTavrinView::OnStep100kHz},
    {IDC_STEP_50K, 2, 50.0, &CTavrinView::OnStep50kHz},
    {IDC_STEP_10K, 3, 10.0, &CTavrinView::OnStep10kHz},
    {IDC_STEP_5K, 4, 5.0, &CTavrinView::OnStep5kHz},
    {IDC_STEP_1K, 5, 1.0, &CTavrinView::OnStep1kHz},
    {IDC_STEP_500, 6, 0.5, &CTavrinView::OnStep500Hz},
    {IDC_STEP_100, 7, 0.1, &CTavrinView::OnStep100Hz},
    {IDC_STEP_50, 8, 0.05, &CTavrinView::OnStep50Hz},
    {IDC_STEP_10, 9, 0.01, &CTavrinView::OnStep10Hz},
};

// A radio button reacts to a click on its indicator, which need not be the
// middle of a button wider than its label.
void TypeEntry(CTavrinView& view, const QString& text)
{
    QLineEdit* entry = view.Form().Edit(IDC_FREQ_ENTRY);
    entry->setFocus();
    entry->selectAll();
    QTest::keyClick(entry, Qt::Key_Backspace);
    QTest::keyClicks(entry, text);
}

void ClickSet(CTavrinView& view) { QTest::mouseClick(view.Form().Button(IDC_SET_FREQ), Qt::LeftButton); }

QByteArray SendDigits() { return QByteArray(g_szSendDigits, 7); }

// The seven digits of a whole number of 10 Hz steps, worked out from the
// count itself rather than from any frequency arithmetic.
QByteArray DigitsOfTenHzCount(long long count) { return QByteArray::number(count).rightJustified(7, '0'); }

} // namespace

class TuningTest : public QObject {
    Q_OBJECT
private slots:
    void encodeAndSend_giveTheSevenDigitsRoundedHalfUp_data();
    void encodeAndSend_giveTheSevenDigitsRoundedHalfUp();
    void everyTenHzStepNearTheEdges_encodesToItsOwnDigitsAndDecodesBack_data();
    void everyTenHzStepNearTheEdges_encodesToItsOwnDigitsAndDecodesBack();
    void frequencyOutsideTheField_isMarkedAndNotSent_data();
    void frequencyOutsideTheField_isMarkedAndNotSent();
    void jogStepBelowZero_sendsNothing();
    void upAndDown_wrapBetweenTheLimits_data();
    void upAndDown_wrapBetweenTheLimits();
    void fiftyKhzJogFrom7090_passesUpperOnceThenWraps();
    void upDownPushButtons_stopJogAndChannelScan();
    void stepButtonClick_setsStepAndIndexAndSendsNothing_data();
    void stepButtonClick_setsStepAndIndexAndSendsNothing();
    void clickedStepButton_staysSelectedThroughTheNextRefresh();
    void jogRadioClick_changesJogByTheTable_data();
    void jogRadioClick_changesJogByTheTable();
    void whileKeyed_upDownAndJogAreIgnored_data();
    void whileKeyed_upDownAndJogAreIgnored();
    void whileKeyed_stepButtonsAndSetStillAct();
    void setFrequency_sendsTheTypedEntry_data();
    void setFrequency_sendsTheTypedEntry();
    void setWithNoNumber_resendsThePreviousValue();
    void setWithNoNumberBeforeAnyEntry_sendsZero();
    void setFrequency_stopsJogAndChannelScanAndLeavesTheTextAsTyped();
};

void TuningTest::encodeAndSend_giveTheSevenDigitsRoundedHalfUp_data()
{
    QTest::addColumn<double>("kHz");
    QTest::addColumn<QByteArray>("command");
    QTest::newRow("7155.5") << 7155.5 << QByteArray("F0715550\n");
    QTest::newRow("10000.0") << 10000.0 << QByteArray("F1000000\n");
    QTest::newRow("2182.0") << 2182.0 << QByteArray("F0218200\n");
    QTest::newRow("14.07") << 14.07 << QByteArray("F0001407\n");
    QTest::newRow("3.999 rounds up") << 3.999 << QByteArray("F0000400\n");
    QTest::newRow("12345.678 rounds up") << 12345.678 << QByteArray("F1234568\n");
    QTest::newRow("12345.674 rounds down") << 12345.674 << QByteArray("F1234567\n");
    QTest::newRow("29999.99") << 29999.99 << QByteArray("F2999999\n");
    QTest::newRow("0.0") << 0.0 << QByteArray("F0000000\n");
    QTest::newRow("99999.99") << 99999.99 << QByteArray("F9999999\n");
    QTest::newRow("99999.994 still fits") << 99999.994 << QByteArray("F9999999\n");
}

void TuningTest::encodeAndSend_giveTheSevenDigitsRoundedHalfUp()
{
    QFETCH(double, kHz);
    QFETCH(QByteArray, command);
    TuningPanel h;

    h.View().EncodeFrequency(kHz);
    QCOMPARE(SendDigits(), command.mid(1, 7));
    QCOMPARE(g_szSendDigits[7], '\0');
    h.View().SendFrequency();

    QCOMPARE(Shown(h.TakeWrites()), Shown({command}));
    QCOMPARE(h.View().m_strLastCommand, command);
}

void TuningTest::everyTenHzStepNearTheEdges_encodesToItsOwnDigitsAndDecodesBack_data()
{
    QTest::addColumn<long long>("firstCount");
    QTest::addColumn<long long>("lastCount");
    QTest::newRow("0.00 to 5.00") << 0LL << 500LL;
    QTest::newRow("7140.00 to 7160.00") << 714000LL << 716000LL;
    QTest::newRow("9995.00 to 10005.00") << 999500LL << 1000500LL;
    QTest::newRow("29990.00 to 30010.00") << 2999000LL << 3001000LL;
    QTest::newRow("99990.00 to 99999.99") << 9999000LL << 9999999LL;
}

void TuningTest::everyTenHzStepNearTheEdges_encodesToItsOwnDigitsAndDecodesBack()
{
    QFETCH(long long, firstCount);
    QFETCH(long long, lastCount);
    TuningPanel h;
    CTavrinView& view = h.View();
    for (long long count = firstCount; count <= lastCount; ++count) {
        const double kHz = count / 100.0;
        const QByteArray digits = DigitsOfTenHzCount(count);
        view.EncodeFrequency(kHz);
        QVERIFY2(SendDigits() == digits, qPrintable(QStringLiteral("%1 kHz encoded as %2, wanted %3")
                                                        .arg(kHz, 0, 'f', 2)
                                                        .arg(QString::fromLatin1(SendDigits()), QString::fromLatin1(digits))));
        std::memcpy(g_szReportDigits, digits.constData(), 7);
        view.EncodeFrequency(view.DecodeFrequency());
        QVERIFY2(SendDigits() == digits, qPrintable(QStringLiteral("report %1 decoded and encoded again as %2")
                                                        .arg(QString::fromLatin1(digits), QString::fromLatin1(SendDigits()))));
    }
}

void TuningTest::frequencyOutsideTheField_isMarkedAndNotSent_data()
{
    QTest::addColumn<double>("kHz");
    QTest::newRow("-0.01") << -0.01;
    QTest::newRow("-1000") << -1000.0;
    QTest::newRow("100000") << 100000.0;
    QTest::newRow("99999.995 would round to 100000.00") << 99999.995;
    QTest::newRow("NaN") << std::numeric_limits<double>::quiet_NaN();
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity();
    QTest::newRow("1e30") << 1e30;
    QTest::newRow("-1e30") << -1e30;
}

void TuningTest::frequencyOutsideTheField_isMarkedAndNotSent()
{
    QFETCH(double, kHz);
    TuningPanel h;
    CTavrinView& view = h.View();
    view.EncodeFrequency(7155.5);
    view.SendFrequency();
    h.TakeWrites();

    view.EncodeFrequency(kHz);
    QCOMPARE(SendDigits(), QByteArray("???????"));
    view.SendFrequency();

    QCOMPARE(Shown(h.TakeWrites()), Shown({}));
    QCOMPARE(view.m_strLastCommand, QByteArray("F0715550\n"));
}

// Lower Limit 0.5 kHz with a 1 kHz step: Down from 0.6 would land at -0.4.
void TuningTest::jogStepBelowZero_sendsNothing()
{
    TuningPanel h("     0.50    10.00   0   9");
    h.Feed("F0000060 \n");

    h.View().OnFreqDown();

    QCOMPARE(Shown(h.TakeWrites()), Shown({}));
}

void TuningTest::upAndDown_wrapBetweenTheLimits_data()
{
    QTest::addColumn<QByteArray>("rangeLine");
    QTest::addColumn<int>("stepIndex");
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<bool>("up");
    QTest::addColumn<QByteArray>("sent");
    const QByteArray l7000u7100 = " 7000.00  7100.00   0   9";
    const QByteArray l7000u7200 = " 7000.00  7200.00   0   9";
    const QByteArray zero = "    0.00     0.00   0   0";
    const QByteArray l7100u7000 = " 7100.00  7000.00   0   9";
    const QByteArray l7000u7000 = " 7000.00  7000.00   0   9";
    const int k1 = 5, k50 = 2, hz10 = 9;
    QTest::newRow("Up at exactly U goes to L") << l7000u7100 << k1 << QByteArray("F0710000 \n") << true << QByteArray("F0700000\n");
    QTest::newRow("Down at exactly L goes to U") << l7000u7100 << k1 << QByteArray("F0700000 \n") << false << QByteArray("F0710000\n");
    QTest::newRow("Up from 6990, below L, goes to L") << l7000u7100 << k1 << QByteArray("F0699000 \n") << true << QByteArray("F0700000\n");
    QTest::newRow("Down from 7200, above U, goes to U") << l7000u7100 << k1 << QByteArray("F0720000 \n") << false << QByteArray("F0710000\n");
    QTest::newRow("Up inside the range adds a step") << l7000u7100 << k1 << QByteArray("F0705000 \n") << true << QByteArray("F0705100\n");
    QTest::newRow("Up at L adds a step") << l7000u7100 << k1 << QByteArray("F0700000 \n") << true << QByteArray("F0700100\n");
    QTest::newRow("Down at U takes a step") << l7000u7100 << k1 << QByteArray("F0710000 \n") << false << QByteArray("F0709900\n");
    QTest::newRow("50 kHz Up from 7090 passes U") << l7000u7100 << k50 << QByteArray("F0709000 \n") << true << QByteArray("F0714000\n");
    QTest::newRow("50 kHz Up from 7140 goes to L") << l7000u7100 << k50 << QByteArray("F0714000 \n") << true << QByteArray("F0700000\n");
    QTest::newRow("1 kHz Down from 7000.5 falls below L") << l7000u7100 << k1 << QByteArray("F0700050 \n") << false << QByteArray("F0699950\n");
    QTest::newRow("limits 0, Up steps") << zero << k1 << QByteArray("F0710000 \n") << true << QByteArray("F0710100\n");
    QTest::newRow("limits 0, Down steps") << zero << k1 << QByteArray("F0710000 \n") << false << QByteArray("F0709900\n");
    QTest::newRow("limits 0, no report, Up") << zero << k1 << QByteArray() << true << QByteArray("F0000100\n");
    QTest::newRow("limits 0, no report, Down held at 0") << zero << k1 << QByteArray() << false << QByteArray("F0000000\n");
    QTest::newRow("limits 0, Up held at 29999.99") << zero << k1 << QByteArray("F2999950 \n") << true << QByteArray("F2999999\n");
    QTest::newRow("limits 0, Up from beyond the radio") << zero << k50 << QByteArray("F3500000 \n") << true << QByteArray("F2999999\n");
    QTest::newRow("no report yet, Up sends L") << l7000u7100 << k1 << QByteArray() << true << QByteArray("F0700000\n");
    QTest::newRow("no report yet, Down sends U") << l7000u7100 << k1 << QByteArray() << false << QByteArray("F0710000\n");
    QTest::newRow("L above U, Up steps") << l7100u7000 << k1 << QByteArray("F0705000 \n") << true << QByteArray("F0705100\n");
    QTest::newRow("L above U, Down steps") << l7100u7000 << k1 << QByteArray("F0705000 \n") << false << QByteArray("F0704900\n");
    QTest::newRow("L above U, Up from above L steps") << l7100u7000 << k1 << QByteArray("F0720000 \n") << true << QByteArray("F0720100\n");
    QTest::newRow("L equal to U, Down steps") << l7000u7000 << k50 << QByteArray("F1420000 \n") << false << QByteArray("F1415000\n");
    QTest::newRow("10 Hz Up from 7155.50") << l7000u7200 << hz10 << QByteArray("F0715550 \n") << true << QByteArray("F0715551\n");
    QTest::newRow("10 Hz Down from 7155.50") << l7000u7200 << hz10 << QByteArray("F0715550 \n") << false << QByteArray("F0715549\n");
    QTest::newRow("100 Hz Up from 7155.50") << l7000u7200 << 7 << QByteArray("F0715550 \n") << true << QByteArray("F0715560\n");
    QTest::newRow("50 Hz Down from 7155.50") << l7000u7200 << 8 << QByteArray("F0715550 \n") << false << QByteArray("F0715545\n");
}

// The push buttons and the jog timer move by the same rule from the same
// report, so each row is checked both ways.
void TuningTest::upAndDown_wrapBetweenTheLimits()
{
    QFETCH(QByteArray, rangeLine);
    QFETCH(int, stepIndex);
    QFETCH(QByteArray, report);
    QFETCH(bool, up);
    QFETCH(QByteArray, sent);
    TuningPanel h(rangeLine);
    CTavrinView& view = h.View();
    (view.*kStepButtons[stepIndex].handler)();
    if (!report.isEmpty())
        h.Feed(report);
    h.TakeWrites();

    QTest::mouseClick(view.Form().Button(up ? IDC_FREQ_UP : IDC_FREQ_DOWN), Qt::LeftButton);
    QCOMPARE(Shown(h.TakeWrites()), Shown({sent}));

    view.m_nJog = up ? 0 : 1;
    view.OnTimer(3);
    QCOMPARE(Shown(h.TakeWrites()), Shown({sent}));
}

// Each jog step starts from what the radio last reported, not from what was
// last sent.
void TuningTest::fiftyKhzJogFrom7090_passesUpperOnceThenWraps()
{
    TuningPanel h(" 7000.00  7100.00   0   9");
    CTavrinView& view = h.View();
    view.OnStep50kHz();
    h.Feed("F0709000 \n");
    view.OnJogUp();
    QCOMPARE(view.m_nJog, 0);

    view.OnTimer(3);
    QCOMPARE(Shown(h.TakeWrites()), Shown({"F0714000\n"}));
    view.OnTimer(3);
    QCOMPARE(Shown(h.TakeWrites()), Shown({"F0714000\n"}));
    h.Feed("F0714000 \n");
    h.TakeWrites();
    view.OnTimer(3);
    QCOMPARE(Shown(h.TakeWrites()), Shown({"F0700000\n"}));
}

void TuningTest::upDownPushButtons_stopJogAndChannelScan()
{
    for (int id : {IDC_FREQ_UP, IDC_FREQ_DOWN}) {
        TuningPanel h;
        h.View().m_nJog = 1;
        g_bChanScan = 1;

        QTest::mouseClick(h.View().Form().Button(id), Qt::LeftButton);

        QCOMPARE(h.View().m_nJog, -1);
        QCOMPARE(g_bChanScan, BYTE(0));
        QCOMPARE(h.TakeWrites().size(), 1);
    }
}

void TuningTest::stepButtonClick_setsStepAndIndexAndSendsNothing_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("index");
    QTest::addColumn<double>("step");
    for (const StepButton& button : kStepButtons)
        QTest::addRow("button %d", button.id) << button.id << button.index << button.step;
}

void TuningTest::stepButtonClick_setsStepAndIndexAndSendsNothing()
{
    QFETCH(int, id);
    QFETCH(int, index);
    QFETCH(double, step);
    TuningPanel h;
    CTavrinView& view = h.View();
    // Start from a step that no row wants, so every row has to change it.
    g_dStep = 2.0;
    view.m_nStep = -1;

    ClickIndicator(view.Form().Button(id));

    QCOMPARE(view.m_nStep, index);
    QVERIFY2(g_dStep == step, qPrintable(QString::number(g_dStep, 'g', 17)));
    QCOMPARE(Shown(h.TakeWrites()), Shown({}));
}

void TuningTest::clickedStepButton_staysSelectedThroughTheNextRefresh()
{
    TuningPanel h;
    CTavrinView& view = h.View();
    h.Feed("F0710000 \n");
    QVERIFY(view.Form().Button(IDC_STEP_1K)->isChecked());

    ClickIndicator(view.Form().Button(IDC_STEP_10K));
    h.Feed("F0710000 \n");

    QVERIFY(view.Form().Button(IDC_STEP_10K)->isChecked());
    QVERIFY(!view.Form().Button(IDC_STEP_1K)->isChecked());
    QCOMPARE(view.m_nStep, 3);
    QCOMPARE(g_dStep, 10.0);
}

void TuningTest::jogRadioClick_changesJogByTheTable_data()
{
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("after");
    QTest::newRow("stopped, Up") << -1 << IDC_JOG_UP << 0;
    QTest::newRow("stopped, Down") << -1 << IDC_JOG_DOWN << 1;
    QTest::newRow("jogging up, Up stops") << 0 << IDC_JOG_UP << -1;
    QTest::newRow("jogging up, Down") << 0 << IDC_JOG_DOWN << 1;
    QTest::newRow("jogging down, Up") << 1 << IDC_JOG_UP << 0;
    QTest::newRow("jogging down, Down stops") << 1 << IDC_JOG_DOWN << -1;
}

void TuningTest::jogRadioClick_changesJogByTheTable()
{
    QFETCH(int, before);
    QFETCH(int, id);
    QFETCH(int, after);
    TuningPanel h;
    CTavrinView& view = h.View();
    view.m_nJog = before;
    view.UpdateData(false);
    g_bChanScan = 1;

    ClickIndicator(view.Form().Button(id));

    QCOMPARE(view.m_nJog, after);
    QCOMPARE(g_bChanScan, BYTE(0));
    QCOMPARE(Shown(h.TakeWrites()), Shown({}));
}

void TuningTest::whileKeyed_upDownAndJogAreIgnored_data()
{
    QTest::addColumn<int>("id");
    QTest::newRow("Up push button") << IDC_FREQ_UP;
    QTest::newRow("Down push button") << IDC_FREQ_DOWN;
    QTest::newRow("jog Up radio") << IDC_JOG_UP;
    QTest::newRow("jog Down radio") << IDC_JOG_DOWN;
}

void TuningTest::whileKeyed_upDownAndJogAreIgnored()
{
    QFETCH(int, id);
    TuningPanel h;
    CTavrinView& view = h.View();
    h.Feed("F0705000 \n");
    view.OnXmit();
    h.TakeWrites();
    // Xmit stopped the jog; a jog direction set afterwards shows that the
    // buttons leave it alone rather than stopping it once more.
    view.m_nJog = 1;
    view.UpdateData(false);
    g_bChanScan = 1;

    QAbstractButton* button = view.Form().Button(id);
    const auto click = [&] {
        if (id == IDC_JOG_UP || id == IDC_JOG_DOWN)
            ClickIndicator(button);
        else
            QTest::mouseClick(button, Qt::LeftButton);
    };
    click();

    QCOMPARE(Shown(h.TakeWrites()), Shown({}));
    QCOMPARE(view.m_nJog, 1);
    QCOMPARE(g_bChanScan, BYTE(1));

    // The same click in receive does act, so the click above did arrive.
    view.OnReceive();
    h.TakeWrites();
    click();
    QVERIFY(view.m_nJog != 1);
    QCOMPARE(g_bChanScan, BYTE(0));
}

void TuningTest::whileKeyed_stepButtonsAndSetStillAct()
{
    TuningPanel h;
    CTavrinView& view = h.View();
    view.OnXmit();
    h.TakeWrites();

    ClickIndicator(view.Form().Button(IDC_STEP_100));
    TypeEntry(view, QStringLiteral("7155.5"));
    ClickSet(view);

    QCOMPARE(view.m_nStep, 7);
    QCOMPARE(g_dStep, 0.1);
    QCOMPARE(Shown(h.TakeWrites()), Shown({"F0715550\n"}));
}

void TuningTest::setFrequency_sendsTheTypedEntry_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("sent");
    QTest::newRow("7155.5") << QStringLiteral("7155.5") << QByteArray("F0715550\n");
    QTest::newRow("7155.505 in single precision is 7155.5049") << QStringLiteral("7155.505") << QByteArray("F0715550\n");
    QTest::newRow("3.999 rounds half-up") << QStringLiteral("3.999") << QByteArray("F0000400\n");
    QTest::newRow("leading blanks are skipped") << QStringLiteral("   14.07") << QByteArray("F0001407\n");
    QTest::newRow("the numeric prefix is taken") << QStringLiteral("2182kHz") << QByteArray("F0218200\n");
    QTest::newRow("whole kHz") << QStringLiteral("10000") << QByteArray("F1000000\n");
    QTest::newRow("negative entry is refused") << QStringLiteral("-5") << QByteArray();
    QTest::newRow("entry past the field is refused") << QStringLiteral("100000") << QByteArray();
}

void TuningTest::setFrequency_sendsTheTypedEntry()
{
    QFETCH(QString, typed);
    QFETCH(QByteArray, sent);
    TuningPanel h;

    TypeEntry(h.View(), typed);
    ClickSet(h.View());

    QCOMPARE(Shown(h.TakeWrites()), Shown(OneWriteOrNone(sent)));
}

void TuningTest::setWithNoNumber_resendsThePreviousValue()
{
    TuningPanel h;
    CTavrinView& view = h.View();
    TypeEntry(view, QStringLiteral("7155.5"));
    ClickSet(view);
    h.TakeWrites();

    for (const QString& text : {QStringLiteral("abc"), QString(), QStringLiteral("  .")}) {
        TypeEntry(view, text);
        ClickSet(view);
        QCOMPARE(Shown(h.TakeWrites()), Shown({"F0715550\n"}));
    }
}

void TuningTest::setWithNoNumberBeforeAnyEntry_sendsZero()
{
    TuningPanel h;

    TypeEntry(h.View(), QStringLiteral("none"));
    ClickSet(h.View());

    QCOMPARE(Shown(h.TakeWrites()), Shown({"F0000000\n"}));
}

void TuningTest::setFrequency_stopsJogAndChannelScanAndLeavesTheTextAsTyped()
{
    TuningPanel h;
    CTavrinView& view = h.View();
    TypeEntry(view, QStringLiteral(" 7155.50 kHz"));
    // Typing reads the whole form into the state, so the jog is set after it.
    view.m_nJog = 0;
    view.UpdateData(false);
    g_bChanScan = 1;

    ClickSet(view);

    QCOMPARE(view.m_nJog, -1);
    QCOMPARE(g_bChanScan, BYTE(0));
    QCOMPARE(view.m_strFreqEntry, QByteArray(" 7155.50 kHz"));
    QCOMPARE(view.Form().Edit(IDC_FREQ_ENTRY)->text(), QStringLiteral(" 7155.50 kHz"));
    QCOMPARE(Shown(h.TakeWrites()), Shown({"F0715550\n"}));
}

QTEST_MAIN(TuningTest)
#include "test_tuning.moc"
