// RF gain, BFO offset, meter source and amplifier: what each Set or click
// sends, and how the BFO offset switches on and off.
#include <QAbstractButton>
#include <QLineEdit>
#include <QtTest>

#include "link/reportedstate.h"
#include "panel/gainbfostate.h"
#include "panel/tavrinview.h"
#include "res/resource.h"
#include "support/panelkit.h"
#include "support/viewharness.h"

namespace {

const QString kBfoRangeMessage = QStringLiteral("BFO freq must be between +1000 and -1000 Hz");

void SetBfo(CTavrinView& view, const CString& text)
{
    view.m_strBfo = text;
    view.OnSetBfo();
}

using Handler = void (CTavrinView::*)();

const Handler kMeterHandlers[] = {&CTavrinView::OnMeterAudio, &CTavrinView::OnMeterLine,
                                  &CTavrinView::OnMeterPatch, &CTavrinView::OnMeterFwd,
                                  &CTavrinView::OnMeterRev,   &CTavrinView::OnMeterVswr};
const char* const kMeterNames[] = {"Audio", "Line", "Patch", "Fwd", "Rev", "VSWR"};

// Copies of "D\n" from reported (row) to clicked (column) around the
// radio's six-place meter cycle.
const int kMeterSteps[6][6] = {
    {0, 1, 2, 3, 4, 5},
    {5, 0, 1, 2, 3, 4},
    {4, 5, 0, 1, 2, 3},
    {3, 4, 5, 0, 1, 2},
    {2, 3, 4, 5, 0, 1},
    {1, 2, 3, 4, 5, 0},
};

// With no step to make, only VSWR sends anything: a bare "D".
QByteArrayList MeterCommand(int clicked, int steps)
{
    if (steps > 0)
        return {QByteArray("D\n").repeated(steps)};
    return clicked == 5 ? QByteArrayList{"D"} : QByteArrayList{};
}

} // namespace

class GainBfoMeterTest : public QObject {
    Q_OBJECT
private slots:
    void rfGainInStepMode_sendsNothing();
    void rfGainInDirectMode_sendsTwoCharacters_data();
    void rfGainInDirectMode_sendsTwoCharacters();

    void bfoOffset_sendsCodeInTenHertzSteps_data();
    void bfoOffset_sendsCodeInTenHertzSteps();
    void bfoOffWithZero_sendsNothing();
    void bfoOffWithValue_sendsCodeAndTurnsOn();
    void bfoOnWithSameValue_sendsNoOffsetAndEmptiesField();
    void bfoOnWithOtherValue_sendsItsCode();
    void bfoOutOfRange_showsMessageAndChangesNothing_data();
    void bfoOutOfRange_showsMessageAndChangesNothing();
    void bfoSetAfterClearingField_togglesOffsetOff();
    void bfoZeroWhileOn_staysOnUntilSecondZero();
    void typingBfoAndClickingSet_sendsCodeThenTogglesOff();

    void meter_sendsStepsFromReportedToClicked_data();
    void meter_sendsStepsFromReportedToClicked();

    void ampOperate_onlyMovesBetweenReadyAndOperating_data();
    void ampOperate_onlyMovesBetweenReadyAndOperating();
    void ampPower_asksForTheOppositeOfTheBox_data();
    void ampPower_asksForTheOppositeOfTheBox();
};

void GainBfoMeterTest::rfGainInStepMode_sendsNothing()
{
    StartedPanel h;
    CTavrinView& view = h.View();
    view.m_strRfGain = "35";

    view.OnSetRfGain();

    QCOMPARE(Shown(h.TakeWrites()), Shown({}));
    QCOMPARE(h.messages, QStringList());
}

void GainBfoMeterTest::rfGainInDirectMode_sendsTwoCharacters_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<QByteArrayList>("expected");
    QTest::newRow("two digits") << QByteArray("35") << QByteArrayList{"G35\n"};
    QTest::newRow("one digit, padded with a zero") << QByteArray("5") << QByteArrayList{"G05\n"};
    QTest::newRow("empty field") << QByteArray() << QByteArrayList{};
    QTest::newRow("three characters, the first two") << QByteArray("123") << QByteArrayList{"G12\n"};
    QTest::newRow("not digits, sent as typed") << QByteArray("a7") << QByteArrayList{"Ga7\n"};
}

void GainBfoMeterTest::rfGainInDirectMode_sendsTwoCharacters()
{
    QFETCH(QByteArray, field);
    QFETCH(QByteArrayList, expected);
    StartedPanel h;
    CTavrinView& view = h.View();
    view.m_strRfGain = field;
    h.Feed("G35 \n");
    QCOMPARE(view.m_strRfGain, field); // the gain report leaves the field alone

    view.OnSetRfGain();

    QCOMPARE(Shown(h.TakeWrites()), Shown(expected));
}

void GainBfoMeterTest::bfoOffset_sendsCodeInTenHertzSteps_data()
{
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("command");
    QTest::newRow("+1000") << QByteArray("+1000") << 1000 << QByteArray("B200\n");
    QTest::newRow("+999") << QByteArray("+999") << 999 << QByteArray("B199\n");
    QTest::newRow("+255") << QByteArray("+255") << 255 << QByteArray("B125\n");
    QTest::newRow("+250") << QByteArray("+250") << 250 << QByteArray("B125\n");
    QTest::newRow("+5") << QByteArray("+5") << 5 << QByteArray("B100\n");
    QTest::newRow("0") << QByteArray("0") << 0 << QByteArray("B100\n");
    QTest::newRow("-1") << QByteArray("-1") << -1 << QByteArray("B100\n");
    QTest::newRow("-2") << QByteArray("-2") << -2 << QByteArray("B099\n");
    QTest::newRow("-11") << QByteArray("-11") << -11 << QByteArray("B099\n");
    QTest::newRow("-15") << QByteArray("-15") << -15 << QByteArray("B098\n");
    QTest::newRow("-500") << QByteArray("-500") << -500 << QByteArray("B050\n");
    QTest::newRow("-990") << QByteArray("-990") << -990 << QByteArray("B001\n");
    QTest::newRow("-1000") << QByteArray("-1000") << -1000 << QByteArray("B000\n");
    QTest::newRow("leading blank") << QByteArray(" -500") << -500 << QByteArray("B050\n");
    QTest::newRow("digits end the number") << QByteArray("42Hz") << 42 << QByteArray("B104\n");
}

// Each value goes in while +700 is in force, so 0 is a change too.
void GainBfoMeterTest::bfoOffset_sendsCodeInTenHertzSteps()
{
    QFETCH(QByteArray, field);
    QFETCH(int, offset);
    QFETCH(QByteArray, command);
    StartedPanel h;
    CTavrinView& view = h.View();
    SetBfo(view, "700");
    QCOMPARE(Shown(h.TakeWrites()), Shown({"B170\n"}));

    SetBfo(view, field);

    QCOMPARE(Shown(h.TakeWrites()), Shown({command}));
    QCOMPARE(g_bBfoOn, BYTE(1));
    QCOMPARE(g_nBfoSent, offset);
}

void GainBfoMeterTest::bfoOffWithZero_sendsNothing()
{
    StartedPanel h;
    CTavrinView& view = h.View();

    SetBfo(view, "0");
    SetBfo(view, "");

    QCOMPARE(Shown(h.TakeWrites()), Shown({}));
    QCOMPARE(g_bBfoOn, BYTE(0));
    QCOMPARE(h.messages, QStringList());
}

void GainBfoMeterTest::bfoOffWithValue_sendsCodeAndTurnsOn()
{
    StartedPanel h;
    CTavrinView& view = h.View();

    SetBfo(view, "250");

    QCOMPARE(Shown(h.TakeWrites()), Shown({"B125\n"}));
    QCOMPARE(g_bBfoOn, BYTE(1));
    QCOMPARE(g_nBfoSent, 250);
    QCOMPARE(view.m_strBfo, CString("250"));
}

void GainBfoMeterTest::bfoOnWithSameValue_sendsNoOffsetAndEmptiesField()
{
    StartedPanel h;
    CTavrinView& view = h.View();
    SetBfo(view, "250");
    h.TakeWrites();

    view.OnSetBfo();

    QCOMPARE(Shown(h.TakeWrites()), Shown({"B100\n"}));
    QCOMPARE(view.m_strBfo, CString());
    QCOMPARE(g_bBfoOn, BYTE(0));
    QCOMPARE(g_nBfoSent, 0);
    QCOMPARE(g_nBfoValue, 0);
    h.Feed("\n");
    QCOMPARE(view.Form().Edit(IDC_BFO)->text(), QString());
}

void GainBfoMeterTest::bfoOnWithOtherValue_sendsItsCode()
{
    StartedPanel h;
    CTavrinView& view = h.View();
    SetBfo(view, "250");
    h.TakeWrites();

    SetBfo(view, "-15");

    QCOMPARE(Shown(h.TakeWrites()), Shown({"B098\n"}));
    QCOMPARE(g_bBfoOn, BYTE(1));
    QCOMPARE(g_nBfoSent, -15);
    QCOMPARE(view.m_strBfo, CString("-15"));
}

void GainBfoMeterTest::bfoOutOfRange_showsMessageAndChangesNothing_data()
{
    QTest::addColumn<QByteArray>("inForce");
    QTest::addColumn<QByteArray>("field");
    QTest::addColumn<int>("value");
    QTest::newRow("off, 1001") << QByteArray() << QByteArray("1001") << 1001;
    QTest::newRow("off, -1001") << QByteArray() << QByteArray("-1001") << -1001;
    QTest::newRow("on at +300, 1001") << QByteArray("300") << QByteArray("1001") << 1001;
    QTest::newRow("on at +300, -1001") << QByteArray("300") << QByteArray("-1001") << -1001;
}

void GainBfoMeterTest::bfoOutOfRange_showsMessageAndChangesNothing()
{
    QFETCH(QByteArray, inForce);
    QFETCH(QByteArray, field);
    QFETCH(int, value);
    StartedPanel h;
    CTavrinView& view = h.View();
    if (!inForce.isEmpty())
        SetBfo(view, inForce);
    h.TakeWrites();
    const BYTE onBefore = g_bBfoOn;
    const int32_t sentBefore = g_nBfoSent;

    SetBfo(view, field);

    QCOMPARE(h.messages, QStringList{kBfoRangeMessage});
    QCOMPARE(Shown(h.TakeWrites()), Shown({}));
    QCOMPARE(g_bBfoOn, onBefore);
    QCOMPARE(g_nBfoSent, sentBefore);
    QCOMPARE(g_nBfoValue, value);
    QCOMPARE(view.m_strBfo, field);
}

// An empty field keeps the number last read, which equals the offset in force.
void GainBfoMeterTest::bfoSetAfterClearingField_togglesOffsetOff()
{
    StartedPanel h;
    CTavrinView& view = h.View();
    SetBfo(view, "300");
    QCOMPARE(Shown(h.TakeWrites()), Shown({"B130\n"}));

    SetBfo(view, "");

    QCOMPARE(Shown(h.TakeWrites()), Shown({"B100\n"}));
    QCOMPARE(g_bBfoOn, BYTE(0));
    QCOMPARE(g_nBfoSent, 0);
}

void GainBfoMeterTest::bfoZeroWhileOn_staysOnUntilSecondZero()
{
    StartedPanel h;
    CTavrinView& view = h.View();
    SetBfo(view, "300");
    h.TakeWrites();

    SetBfo(view, "0");
    QCOMPARE(Shown(h.TakeWrites()), Shown({"B100\n"}));
    QCOMPARE(g_bBfoOn, BYTE(1));
    QCOMPARE(g_nBfoSent, 0);
    QCOMPARE(view.m_strBfo, CString("0"));

    view.OnSetBfo();
    QCOMPARE(Shown(h.TakeWrites()), Shown({"B100\n"}));
    QCOMPARE(g_bBfoOn, BYTE(0));
    QCOMPARE(view.m_strBfo, CString());
}

// Typing is live: the member follows each keystroke, up to the field's five
// characters.
void GainBfoMeterTest::typingBfoAndClickingSet_sendsCodeThenTogglesOff()
{
    StartedPanel h;
    CTavrinView& view = h.View();
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QLineEdit* field = view.Form().Edit(IDC_BFO);
    QAbstractButton* set = view.Form().Button(IDC_SET_BFO);

    QTest::keyClicks(field, "-1000");
    QCOMPARE(view.m_strBfo, CString("-1000"));
    QTest::mouseClick(set, Qt::LeftButton);
    QCOMPARE(Shown(h.TakeWrites()), Shown({"B000\n"}));

    QTest::mouseClick(set, Qt::LeftButton);
    QCOMPARE(Shown(h.TakeWrites()), Shown({"B100\n"}));
    h.Feed("\n");
    QCOMPARE(field->text(), QString());
}

void GainBfoMeterTest::meter_sendsStepsFromReportedToClicked_data()
{
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<int>("clicked");
    QTest::addColumn<QByteArrayList>("expected");
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 6; ++c)
            QTest::addRow("%s reported, %s clicked", kMeterNames[r], kMeterNames[c])
                << QByteArray("D") + char('1' + r) + " \n" << c << MeterCommand(c, kMeterSteps[r][c]);
    for (int c = 0; c < 6; ++c)
        QTest::addRow("no meter report yet, %s clicked", kMeterNames[c]) << QByteArray() << c << MeterCommand(c, 0);
    QTest::newRow("'7' reported, VSWR clicked") << QByteArray("D7 \n") << 5 << QByteArrayList{"D"};
    QTest::newRow("'0' reported, Audio clicked") << QByteArray("D0 \n") << 0 << QByteArrayList{};
}

// The radio's next 'D' report moves the buttons, not the click.
void GainBfoMeterTest::meter_sendsStepsFromReportedToClicked()
{
    QFETCH(QByteArray, report);
    QFETCH(int, clicked);
    QFETCH(QByteArrayList, expected);
    StartedPanel h;
    CTavrinView& view = h.View();
    h.Feed(report);
    const char reported = g_chMeter;
    const int shown = view.m_nMeter;

    (view.*kMeterHandlers[clicked])();

    QCOMPARE(Shown(h.TakeWrites()), Shown(expected));
    QCOMPARE(g_chMeter, reported);
    QCOMPARE(view.m_nMeter, shown);
}

void GainBfoMeterTest::ampOperate_onlyMovesBetweenReadyAndOperating_data()
{
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<QByteArrayList>("expected");
    QTest::newRow("ready, Oper unticked") << QByteArray("O3 \n") << QByteArrayList{"O4\n"};
    QTest::newRow("operating, Oper ticked") << QByteArray("O4 \n") << QByteArrayList{"O3\n"};
    QTest::newRow("back to ready after operating") << QByteArray("O4 O3 \n") << QByteArrayList{"O4\n"};
    QTest::newRow("powered, not ready") << QByteArray("O2 \n") << QByteArrayList{};
    QTest::newRow("powered, not ready, Oper still ticked") << QByteArray("O4 O2 \n") << QByteArrayList{};
    QTest::newRow("off ('0')") << QByteArray("O0 \n") << QByteArrayList{};
    QTest::newRow("off ('1')") << QByteArray("O1 \n") << QByteArrayList{};
    QTest::newRow("no amplifier report yet") << QByteArray() << QByteArrayList{};
}

void GainBfoMeterTest::ampOperate_onlyMovesBetweenReadyAndOperating()
{
    QFETCH(QByteArray, report);
    QFETCH(QByteArrayList, expected);
    StartedPanel h;
    CTavrinView& view = h.View();
    h.Feed(report);
    const int operate = view.m_bAmpOperate;

    view.OnAmpOperate();

    QCOMPARE(Shown(h.TakeWrites()), Shown(expected));
    QCOMPARE(view.m_bAmpOperate, operate);
}

void GainBfoMeterTest::ampPower_asksForTheOppositeOfTheBox_data()
{
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<QByteArrayList>("expected");
    QTest::newRow("no amplifier report yet") << QByteArray() << QByteArrayList{"O2\n"};
    QTest::newRow("powered") << QByteArray("O2 \n") << QByteArrayList{"O1\n"};
    QTest::newRow("operating") << QByteArray("O4 \n") << QByteArrayList{"O1\n"};
    QTest::newRow("switched off after ready") << QByteArray("O3 O0 \n") << QByteArrayList{"O2\n"};
}

void GainBfoMeterTest::ampPower_asksForTheOppositeOfTheBox()
{
    QFETCH(QByteArray, report);
    QFETCH(QByteArrayList, expected);
    StartedPanel h;
    CTavrinView& view = h.View();
    h.Feed(report);
    const int power = view.m_bAmpPower;

    view.OnAmpPower();

    QCOMPARE(Shown(h.TakeWrites()), Shown(expected));
    QCOMPARE(view.m_bAmpPower, power);
}

QTEST_MAIN(GainBfoMeterTest)
#include "test_gainbfometer.moc"
