// The status-report walk: field lengths alone decide where each field starts,
// so one wrong length shifts everything after it. Most cases put a 'K' where
// a field boundary should land: if the walk lands there, Xmit is selected.
#include <QAbstractButton>
#include <QtTest>
#include <cstring>

#include "link/commandchannel.h"
#include "link/reportedstate.h"
#include "panel/tavrinview.h"
#include "res/resource.h"
#include "support/viewharness.h"

namespace {

// How many characters a field of each code takes, code included, as the
// radio's report format lays them out.
int ExpectedFieldLength(int code)
{
    switch (code) {
    case '#': case '$': case '&': case '^':
        return 1;
    case '"': case '\'': case '(': case '*': case ',': case 'I': case 'S':
    case 'A': case 'M': case 'D': case 'H': case 'V': case 'O':
    case '!': case ')': case 'E': case 'R': case 'T': case 'Y': case 'Z':
        return 3;
    case 'G': case 'C': case 'J': case 'P':
        return 4;
    case 'X':
        return 5;
    case 'B':
        return 6;
    case 'F':
        return 9;
    default:
        return 2;
    }
}

QString CodeName(int code)
{
    return code > 32 && code < 127 ? QStringLiteral("'%1'").arg(QChar(code))
                                   : QStringLiteral("0x%1").arg(code, 2, 16, QChar('0'));
}

// Everything the parser may touch, so a test can say "only this changed".
QStringList Snapshot(CTavrinView& v)
{
    return {
        QStringLiteral("TxRx=%1").arg(v.m_nTxRx),
        QStringLiteral("LocalAudio=%1").arg(v.m_bLocalAudio),
        QStringLiteral("ExtPtt=%1").arg(v.m_bExtPtt),
        QStringLiteral("Mute=%1").arg(v.m_bMute),
        QStringLiteral("AmpTuning=%1").arg(v.m_bAmpTuning),
        QStringLiteral("BpfOff=%1").arg(v.m_bBpfOff),
        QStringLiteral("Meter=%1").arg(v.m_nMeter),
        QStringLiteral("AudioInput=%1").arg(v.m_nAudioInput),
        QStringLiteral("Clipping=%1").arg(v.m_bClipping),
        QStringLiteral("SideTone=%1").arg(v.m_bSideTone),
        QStringLiteral("Vox=%1").arg(v.m_nVox),
        QStringLiteral("AmpPower=%1").arg(v.m_bAmpPower),
        QStringLiteral("AmpReady=%1").arg(v.m_bAmpReady),
        QStringLiteral("AmpOperate=%1").arg(v.m_bAmpOperate),
        QStringLiteral("Freq=%1").arg(QString::fromLatin1(v.m_strFreq)),
        QStringLiteral("AgcSel=%1").arg(v.m_cbAgc.GetCurSel()),
        QStringLiteral("ModeSel=%1").arg(v.m_cbMode.GetCurSel()),
        QStringLiteral("g_chAgc=%1").arg(int(g_chAgc)),
        QStringLiteral("g_chMode=%1").arg(int(g_chMode)),
        QStringLiteral("g_chAudioInput=%1").arg(int(g_chAudioInput)),
        QStringLiteral("g_chVox=%1").arg(int(g_chVox)),
        QStringLiteral("g_chMeter=%1").arg(int(g_chMeter)),
        QStringLiteral("g_nAmpState=%1").arg(g_nAmpState),
        QStringLiteral("digits=%1").arg(QString::fromLatin1(QByteArray(g_szReportDigits, 8).toHex())),
        QStringLiteral("stepMode=%1").arg(int(g_bStepMode)),
        QStringLiteral("lastFreq=%1").arg(g_dLastFreq, 0, 'f', 6),
    };
}

int CTavrinView::*MemberNamed(const QByteArray& name)
{
    static const QHash<QByteArray, int CTavrinView::*> members = {
        {"m_nTxRx", &CTavrinView::m_nTxRx},
        {"m_bLocalAudio", &CTavrinView::m_bLocalAudio},
        {"m_bExtPtt", &CTavrinView::m_bExtPtt},
        {"m_bMute", &CTavrinView::m_bMute},
        {"m_bAmpTuning", &CTavrinView::m_bAmpTuning},
        {"m_bBpfOff", &CTavrinView::m_bBpfOff},
        {"m_bClipping", &CTavrinView::m_bClipping},
        {"m_bSideTone", &CTavrinView::m_bSideTone},
        {"m_nMeter", &CTavrinView::m_nMeter},
        {"m_nAudioInput", &CTavrinView::m_nAudioInput},
        {"m_nVox", &CTavrinView::m_nVox},
    };
    return members.value(name);
}

void SetAmp(CTavrinView& v, int power, int ready, int operate)
{
    v.m_bAmpPower = power;
    v.m_bAmpReady = ready;
    v.m_bAmpOperate = operate;
}

} // namespace

class TestStatusParser : public QObject {
    Q_OBJECT

    std::unique_ptr<ViewHarness> m_h;

    CTavrinView& View() { return m_h->View(); }
    // One harness at a time: each one owns the working directory and the
    // fake-port factory while it lives.
    void StartWithChannelFile()
    {
        m_h.reset();
        const QByteArray file = ViewHarness::MinimalChannelFile();
        m_h = std::make_unique<ViewHarness>(&file);
        m_h->Start();
    }
    void Parse(const QByteArray& line)
    {
        g_strReceive = line;
        View().ParseStatus();
    }

private slots:
    void init() { m_h = std::make_unique<ViewHarness>(); }
    void cleanup() { m_h.reset(); }

    void fieldOfEachCode_endsWhereItsLengthSays_data();
    void fieldOfEachCode_endsWhereItsLengthSays();
    void skippedCharacters_shiftLaterFields_data();
    void skippedCharacters_shiftLaterFields();
    void exampleLine_isWalkedAsFourFields();
    void fieldCutShortByTheEnd_readsNulNotPastTheBuffer_data();
    void fieldCutShortByTheEnd_readsNulNotPastTheBuffer();
    void switchField_setsOnlyForItsTwoValues_data();
    void switchField_setsOnlyForItsTwoValues();
    void settingField_storesValueAndPosition_data();
    void settingField_storesValueAndPosition();
    void amplifierField_followsItsTable_data();
    void amplifierField_followsItsTable();
    void o2AfterO4_setsPwrClearsRdyLeavesOper();
    void listField_selectsOnlyWhenTheReportedValueChanges_data();
    void listField_selectsOnlyWhenTheReportedValueChanges();
    void gField_switchesToDirectModeForGood_data();
    void gField_switchesToDirectModeForGood();
    void restartAfterG_leavesOutModeAndAgcCycles();
    void decodeFrequency_readsSevenWeightedDigits_data();
    void decodeFrequency_readsSevenWeightedDigits();
    void everyLine_rewritesDisplayAndStatusAndEmptiesBuffer();
    void firstLineWithoutF_showsZero();
    void lineFeedAlone_changesOnlyTheStatusBox();
    void codesWithoutEffect_changeNothingButTheStatus_data();
    void codesWithoutEffect_changeNothingButTheStatus();
};

// A field of length L followed by 'K': the K is reached exactly when the
// field is L long; one character less and the K is swallowed as value.
void TestStatusParser::fieldOfEachCode_endsWhereItsLengthSays_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("wantTxRx");
    for (int code = 0; code < 256; ++code) {
        if (code == 'K' || code == 'U')
            continue;
        const int length = ExpectedFieldLength(code);
        const QByteArray head(1, char(code));
        QTest::addRow("%s then K at its end", qPrintable(CodeName(code)))
            << head + QByteArray(length - 1, '0') + "K\n" << 0;
        if (length >= 2)
            QTest::addRow("%s swallows K inside it", qPrintable(CodeName(code)))
                << head + QByteArray(length - 2, '0') + "K\n" << -1;
    }
    QTest::newRow("U swallows the K after it") << QByteArray("UK\n") << 1;
    QTest::newRow("K swallows the U after it") << QByteArray("KU\n") << 0;
    QTest::newRow("K then U, each its own field") << QByteArray("K U \n") << 1;
}

void TestStatusParser::fieldOfEachCode_endsWhereItsLengthSays()
{
    QFETCH(QByteArray, line);
    QFETCH(int, wantTxRx);
    Parse(line);
    QCOMPARE(View().m_nTxRx, wantTxRx);
}

void TestStatusParser::skippedCharacters_shiftLaterFields_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<int>("wantTxRx");
    QTest::addColumn<int>("wantClipping");
    QTest::newRow("digit skips K with it") << QByteArray("1K\n") << -1 << 0;
    QTest::newRow("blank skips K with it") << QByteArray(" K\n") << -1 << 0;
    QTest::newRow("lower case skips K with it") << QByteArray("kK\n") << -1 << 0;
    QTest::newRow("two digits skip together") << QByteArray("12K\n") << 0 << 0;
    QTest::newRow("stray blank skips the I") << QByteArray(" I1 K \n") << 0 << 0;
    QTest::newRow("no stray blank, I1 applies") << QByteArray("I1 K \n") << 0 << 1;
    QTest::newRow("hash is one long, next field right after") << QByteArray("#I1 K \n") << 0 << 1;
    QTest::newRow("capital without a row skips the I") << QByteArray("LI1 K \n") << 0 << 0;
    QTest::newRow("F without its blank swallows K") << QByteArray("F0703525K \n") << -1 << 0;
}

void TestStatusParser::skippedCharacters_shiftLaterFields()
{
    QFETCH(QByteArray, line);
    QFETCH(int, wantTxRx);
    QFETCH(int, wantClipping);
    Parse(line);
    QCOMPARE(View().m_nTxRx, wantTxRx);
    QCOMPARE(View().m_bClipping, wantClipping);
}

void TestStatusParser::exampleLine_isWalkedAsFourFields()
{
    StartWithChannelFile();
    const QByteArray line("F0703525 M2 K \n");
    QCOMPARE(line.size(), 15);
    m_h->Feed(line);
    QCOMPARE(View().m_strFreq, QByteArray("7035.250"));
    QCOMPARE(g_chMode, '2');
    QCOMPARE(View().m_cbMode.GetCurSel(), 1);
    QCOMPARE(View().m_nTxRx, 0);
    QVERIFY(View().Form().Button(IDC_XMIT)->isChecked());
    QVERIFY(!View().Form().Button(IDC_RECEIVE)->isChecked());
    QCOMPARE(View().m_strStatus, line);
}

// The buffers are raw views on longer text: a walk that read past the end
// would pick up the characters that follow instead of NUL.
void TestStatusParser::fieldCutShortByTheEnd_readsNulNotPastTheBuffer_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("wantFreq");
    QTest::addColumn<int>("wantAgcSel");
    QTest::addColumn<int>("wantMute");
    QTest::addColumn<int>("wantReady");
    static const char kF[] = "F0799999";
    static const char kA[] = "A2";
    static const char kMute[] = "(1";
    static const char kAmp[] = "O3";
    static const char kTail[] = "K #A2";
    QTest::newRow("F07 then end") << QByteArray::fromRawData(kF, 3) << "7000.000" << 2 << 1 << 0;
    QTest::newRow("A at the very end") << QByteArray::fromRawData(kA, 1) << "0.000" << -1 << 1 << 0;
    QTest::newRow("( at the very end") << QByteArray::fromRawData(kMute, 1) << "0.000" << 2 << 1 << 0;
    QTest::newRow("O at the very end") << QByteArray::fromRawData(kAmp, 1) << "0.000" << 2 << 1 << 0;
    QTest::newRow("A after other fields") << QByteArray::fromRawData(kTail, 4) << "0.000" << -1 << 1 << 0;
}

void TestStatusParser::fieldCutShortByTheEnd_readsNulNotPastTheBuffer()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, wantFreq);
    QFETCH(int, wantAgcSel);
    QFETCH(int, wantMute);
    QFETCH(int, wantReady);
    g_chAgc = '3';
    View().m_cbAgc.SetCurSel(2);
    View().m_bMute = 1;
    Parse(line);
    QCOMPARE(QString::fromLatin1(View().m_strFreq), wantFreq);
    QCOMPARE(View().m_cbAgc.GetCurSel(), wantAgcSel);
    QCOMPARE(View().m_bMute, wantMute);
    QCOMPARE(View().m_bAmpReady, wantReady);
    QVERIFY(g_strReceive.isEmpty());
}

void TestStatusParser::switchField_setsOnlyForItsTwoValues_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("member");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    const struct { const char* code; const char* member; bool inverted; } switches[] = {
        {"\"", "m_bLocalAudio", false}, {"'", "m_bExtPtt", false}, {"(", "m_bMute", true},
        {"*", "m_bAmpTuning", false},   {",", "m_bBpfOff", false}, {"I", "m_bClipping", false},
        {"S", "m_bSideTone", false},
    };
    for (const auto& s : switches) {
        const QByteArray code(s.code);
        const int on = s.inverted ? 0 : 1;
        QTest::addRow("%s1 from %d", s.code, 1 - on) << code + "1\n" << QByteArray(s.member) << 1 - on << on;
        QTest::addRow("%s0 from %d", s.code, on) << code + "0\n" << QByteArray(s.member) << on << 1 - on;
        QTest::addRow("%s1 repeated", s.code) << code + "1\n" << QByteArray(s.member) << on << on;
        QTest::addRow("%s2 keeps 1", s.code) << code + "2\n" << QByteArray(s.member) << 1 << 1;
        QTest::addRow("%s2 keeps 0", s.code) << code + "2\n" << QByteArray(s.member) << 0 << 0;
        QTest::addRow("%s blank keeps 1", s.code) << code + " \n" << QByteArray(s.member) << 1 << 1;
    }
}

void TestStatusParser::switchField_setsOnlyForItsTwoValues()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, member);
    QFETCH(int, before);
    QFETCH(int, after);
    int CTavrinView::*field = MemberNamed(member);
    QVERIFY(field);
    View().*field = before;
    Parse(line);
    QCOMPARE(View().*field, after);
}

void TestStatusParser::settingField_storesValueAndPosition_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("member");
    QTest::addColumn<int>("wantPosition");
    QTest::addColumn<int>("wantReported");
    QTest::newRow("D1 Audio") << QByteArray("D1\n") << QByteArray("m_nMeter") << 0 << int('1');
    QTest::newRow("D6 VSWR") << QByteArray("D6\n") << QByteArray("m_nMeter") << 5 << int('6');
    QTest::newRow("D0 no button") << QByteArray("D0\n") << QByteArray("m_nMeter") << -1 << int('0');
    QTest::newRow("H1 Mic") << QByteArray("H1\n") << QByteArray("m_nAudioInput") << 0 << int('1');
    QTest::newRow("H3 Patch") << QByteArray("H3\n") << QByteArray("m_nAudioInput") << 2 << int('3');
    QTest::newRow("V0 Off") << QByteArray("V0\n") << QByteArray("m_nVox") << 0 << int('0');
    QTest::newRow("V2 Data") << QByteArray("V2\n") << QByteArray("m_nVox") << 2 << int('2');
}

void TestStatusParser::settingField_storesValueAndPosition()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, member);
    QFETCH(int, wantPosition);
    QFETCH(int, wantReported);
    Parse(line);
    QCOMPARE(View().*MemberNamed(member), wantPosition);
    const char reported = line[0] == 'D' ? g_chMeter : line[0] == 'H' ? g_chAudioInput : g_chVox;
    QCOMPARE(int(reported), wantReported);
}

void TestStatusParser::amplifierField_followsItsTable_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QList<int>>("before");  // Pwr, Rdy, Oper
    QTest::addColumn<QList<int>>("after");
    QTest::newRow("O0 all off") << QByteArray("O0\n") << QList<int>{1, 1, 1} << QList<int>{0, 0, 0};
    QTest::newRow("O1 all off") << QByteArray("O1\n") << QList<int>{1, 1, 1} << QList<int>{0, 0, 0};
    QTest::newRow("O2 keeps Oper 1") << QByteArray("O2\n") << QList<int>{0, 1, 1} << QList<int>{1, 0, 1};
    QTest::newRow("O2 keeps Oper 0") << QByteArray("O2\n") << QList<int>{0, 1, 0} << QList<int>{1, 0, 0};
    QTest::newRow("O3 ready") << QByteArray("O3\n") << QList<int>{0, 0, 1} << QList<int>{1, 1, 0};
    QTest::newRow("O4 operating") << QByteArray("O4\n") << QList<int>{0, 1, 0} << QList<int>{1, 0, 1};
    QTest::newRow("O9 keeps Rdy Oper 1 0") << QByteArray("O9\n") << QList<int>{0, 1, 0} << QList<int>{1, 1, 0};
    QTest::newRow("O9 keeps Rdy Oper 0 1") << QByteArray("O9\n") << QList<int>{0, 0, 1} << QList<int>{1, 0, 1};
}

void TestStatusParser::amplifierField_followsItsTable()
{
    QFETCH(QByteArray, line);
    QFETCH(QList<int>, before);
    QFETCH(QList<int>, after);
    SetAmp(View(), before[0], before[1], before[2]);
    Parse(line);
    const QList<int> got{View().m_bAmpPower, View().m_bAmpReady, View().m_bAmpOperate};
    QCOMPARE(got, after);
    QCOMPARE(g_nAmpState, int(line[1]));
}

void TestStatusParser::o2AfterO4_setsPwrClearsRdyLeavesOper()
{
    Parse("O3\n");
    Parse("O4\n");
    Parse("O2\n");
    QCOMPARE(View().m_bAmpPower, 1);
    QCOMPARE(View().m_bAmpReady, 0);
    QCOMPARE(View().m_bAmpOperate, 1);
    QCOMPARE(g_nAmpState, int('2'));
}

void TestStatusParser::listField_selectsOnlyWhenTheReportedValueChanges_data()
{
    QTest::addColumn<char>("code");
    QTest::newRow("AGC") << 'A';
    QTest::newRow("mode") << 'M';
}

void TestStatusParser::listField_selectsOnlyWhenTheReportedValueChanges()
{
    QFETCH(char, code);
    CComboBox& list = code == 'A' ? View().m_cbAgc : View().m_cbMode;
    const char& reported = code == 'A' ? g_chAgc : g_chMode;
    const QByteArray c(1, code);
    Parse(c + "3\n");
    QCOMPARE(list.GetCurSel(), 2);
    QCOMPARE(reported, '3');
    list.SetCurSel(0); // the user picks another item, not yet sent
    Parse(c + "3\n");
    QCOMPARE(list.GetCurSel(), 0);
    Parse(c + "4\n");
    QCOMPARE(list.GetCurSel(), 3);
    QCOMPARE(reported, '4');
    Parse(c + "0\n");
    QCOMPARE(list.GetCurSel(), -1);
    QCOMPARE(reported, '0');
}

void TestStatusParser::gField_switchesToDirectModeForGood_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("G with digits") << QByteArray("G12\n");
    QTest::newRow("G with letters") << QByteArray("Gxy\n");
    QTest::newRow("G cut short") << QByteArray("G\n");
    QTest::newRow("G inside a report") << QByteArray("F0703525 G99 K \n");
}

void TestStatusParser::gField_switchesToDirectModeForGood()
{
    QFETCH(QByteArray, line);
    Parse("F0703525 M2 K \n");
    QCOMPARE(g_bStepMode, BYTE(1));
    Parse(line);
    QCOMPARE(g_bStepMode, BYTE(0));
    Parse("F0703525 M2 A3 U \n");
    QCOMPARE(g_bStepMode, BYTE(0));
}

void TestStatusParser::restartAfterG_leavesOutModeAndAgcCycles()
{
    StartWithChannelFile();
    const QByteArrayList stepModeStart = m_h->TakeWrites();
    QVERIFY(stepModeStart.contains("M\nM\nM\nM\n"));
    QVERIFY(stepModeStart.contains("A\nA\nA\n"));
    m_h->Feed("G50\n");
    m_h->Start();
    const QByteArrayList directStart = m_h->TakeWrites();
    QVERIFY(!directStart.isEmpty());
    QVERIFY(!directStart.contains("M\nM\nM\nM\n"));
    QVERIFY(!directStart.contains("A\nA\nA\n"));
    QCOMPARE(directStart.size(), stepModeStart.size() - 2);
}

void TestStatusParser::decodeFrequency_readsSevenWeightedDigits_data()
{
    QTest::addColumn<QByteArray>("digits");
    QTest::addColumn<double>("wantKHz");
    QTest::addColumn<QByteArray>("wantDisplay");
    QTest::newRow("no F yet") << QByteArray(7, '\0') << 0.0 << QByteArray("0.000");
    QTest::newRow("seven 0s") << QByteArray("0000000") << 0.0 << QByteArray("0.000");
    QTest::newRow("seven 9s") << QByteArray("9999999") << 99999.99 << QByteArray("99999.990");
    QTest::newRow("7035.25") << QByteArray("0703525") << 7035.25 << QByteArray("7035.250");
    QTest::newRow("10 Hz digit") << QByteArray("0000001") << 0.01 << QByteArray("0.010");
    QTest::newRow("tens of MHz") << QByteArray("2999999") << 29999.99 << QByteArray("29999.990");
    QTest::newRow("low four bits count") << QByteArray("0A00000") << 1000.0 << QByteArray("1000.000");
}

void TestStatusParser::decodeFrequency_readsSevenWeightedDigits()
{
    QFETCH(QByteArray, digits);
    QFETCH(double, wantKHz);
    QFETCH(QByteArray, wantDisplay);
    std::memcpy(g_szReportDigits, digits.constData(), 7);
    QCOMPARE(View().DecodeFrequency(), wantKHz);
    Parse("\n");
    QCOMPARE(View().m_strFreq, wantDisplay);
    QCOMPARE(g_dLastFreq, wantKHz);
}

void TestStatusParser::everyLine_rewritesDisplayAndStatusAndEmptiesBuffer()
{
    Parse("F1425000 U \n");
    QCOMPARE(View().m_strFreq, QByteArray("14250.000"));
    QCOMPARE(QByteArray(g_szReportDigits), QByteArray("1425000"));
    View().m_strFreq = "stale";
    Parse("K \n");
    QCOMPARE(View().m_strFreq, QByteArray("14250.000"));
    QCOMPARE(View().m_strStatus, QByteArray("K \n"));
    QVERIFY(g_strReceive.isEmpty());
    Parse("F0703525 \n");
    QCOMPARE(View().m_strFreq, QByteArray("7035.250"));
    QCOMPARE(View().m_strStatus, QByteArray("F0703525 \n"));
}

void TestStatusParser::firstLineWithoutF_showsZero()
{
    QVERIFY(View().m_strFreq.isEmpty());
    Parse("U \n");
    QCOMPARE(View().m_strFreq, QByteArray("0.000"));
    QCOMPARE(g_dLastFreq, 0.0);
}

void TestStatusParser::lineFeedAlone_changesOnlyTheStatusBox()
{
    Parse("F0703525 M2 A3 H2 V1 D4 S1 I1 (0 '1 \"1 ,1 *1 O4 K \n");
    const QStringList before = Snapshot(View());
    Parse("\n");
    QCOMPARE(Snapshot(View()), before);
    QCOMPARE(View().m_strStatus, QByteArray("\n"));
    QVERIFY(g_strReceive.isEmpty());
}

void TestStatusParser::codesWithoutEffect_changeNothingButTheStatus_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("one-character codes") << QByteArray("#$&^\n");
    QTest::newRow("three-character codes") << QByteArray("!1 )1 E1 R1 T1 Y1 Z1 \n");
    QTest::newRow("four-character codes") << QByteArray("C12 J12 P12 \n");
    QTest::newRow("X and B") << QByteArray("X123 B1234 \n");
    QTest::newRow("codes without a row") << QByteArray("L1N1Q1W1?1@1[1]1\\1%1+1-1.1/1:1;1<1=1>1_1a1\r1\n");
}

void TestStatusParser::codesWithoutEffect_changeNothingButTheStatus()
{
    QFETCH(QByteArray, line);
    Parse("F0703525 M2 A3 H2 V1 D4 S1 I1 (0 '1 \"1 ,1 *1 O4 K \n");
    const QStringList before = Snapshot(View());
    Parse(line);
    QCOMPARE(Snapshot(View()), before);
    QCOMPARE(View().m_strStatus, line);
}

QTEST_MAIN(TestStatusParser)
#include "test_statusparser.moc"
