// The channel scan: which channel each tick of the scan timer recalls, what
// starts and stops the scan, and how the four range edits take their values.
#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QtTest>
#include <map>

#include "channels/channelfile.h"
#include "channels/channellist.h"
#include "channels/channeltable.h"
#include "panel/tavrinview.h"
#include "panel/tuningstate.h"
#include "res/resource.h"
#include "scan/chanscanstate.h"
#include "support/programstate.h"
#include "support/samplefile.h"
#include "support/panelkit.h"

namespace {

// Every slot stored, slot i on 1000 + i kHz, so each recall names its slot
// in the frequency it sends. Channel range 4 to 99, jog limits 7000 to 7300.
QByteArray FullTableFile()
{
    return ChannelFileWith(4, 99, [] {
        for (int slot = 0; slot < kChannelCount; ++slot) {
            const QByteArray desc = "Channel " + QByteArray::number(slot);
            StoreChannel(slot, 1000.0 + slot, "USMR", desc.constData());
        }
    });
}

const QByteArray& ChannelFile()
{
    static const QByteArray file = FullTableFile();
    return file;
}

// The radio has reported nothing, so a recall sends only the Ext PTT and
// local-audio pair of letter 'R' and the frequency.
QByteArrayList RecallOf(int slot)
{
    const QByteArray digits = QByteArray::number((1000 + slot) * 100).rightJustified(7, '0');
    return {"'0\n", "\"0\n", "F" + digits + "\n"};
}



class FullTablePanel : public ViewHarness {
public:
    FullTablePanel() : ViewHarness(&ChannelFile())
    {
        Start();
        TakeWrites();
    }

    QLineEdit* Edit(int id) { return View().Form().Edit(id); }
    QAbstractButton* Button(int id) { return View().Form().Button(id); }
    void Click(int id) { QTest::mouseClick(Button(id), Qt::LeftButton); }

    // Typing goes through the live exchange into the edit's member.
    void TypeInto(int id, const QString& text)
    {
        Edit(id)->clear();
        QTest::keyClicks(Edit(id), text);
        if (text.isEmpty())
            View().OnFormToState();
    }

    void Leave(int id)
    {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QCoreApplication::sendEvent(Edit(id), &out);
    }

    void SetRange(const QString& lower, const QString& upper)
    {
        TypeInto(IDC_CHAN_LOWER, lower);
        Leave(IDC_CHAN_LOWER);
        TypeInto(IDC_CHAN_UPPER, upper);
        Leave(IDC_CHAN_UPPER);
    }

    // Starts a scan on lower..upper and takes one tick, which recalls lower.
    void ScanFrom(const QString& lower, const QString& upper)
    {
        SetRange(lower, upper);
        Click(IDC_CHAN_SCAN);
        View().OnTimer(2);
        TakeWrites();
    }
};

enum class Event {
    DoubleClick,
    Up,
    Down,
    JogUp,
    JogDown,
    SetFreq,
    LeaveChanLower,
    LeaveChanUpper,
    LeaveScanUpper,
    LeaveScanLower,
};

void Perform(FullTablePanel& h, Event event)
{
    switch (event) {
    case Event::DoubleClick:
        h.View().m_cbChannels.SetCurSel(10);
        h.View().OnDblClkChannels();
        break;
    case Event::Up: h.Click(IDC_FREQ_UP); break;
    case Event::Down: h.Click(IDC_FREQ_DOWN); break;
    case Event::JogUp: ClickIndicator(h.Button(IDC_JOG_UP)); break;
    case Event::JogDown: ClickIndicator(h.Button(IDC_JOG_DOWN)); break;
    case Event::SetFreq:
        h.TypeInto(IDC_FREQ_ENTRY, QStringLiteral("7050"));
        h.Click(IDC_SET_FREQ);
        break;
    case Event::LeaveChanLower: h.Leave(IDC_CHAN_LOWER); break;
    case Event::LeaveChanUpper: h.Leave(IDC_CHAN_UPPER); break;
    case Event::LeaveScanUpper: h.Leave(IDC_SCAN_UPPER); break;
    case Event::LeaveScanLower: h.Leave(IDC_SCAN_LOWER); break;
    }
}

} // namespace

Q_DECLARE_METATYPE(Event)

class ChanScanTest : public QObject {
    Q_OBJECT
private slots:
    void scanTicks_recallEachChannelOfTheRangeInTurn_data();
    void scanTicks_recallEachChannelOfTheRangeInTurn();
    void chanScanButton_startsWithBpfOnAndStopsWithBpfOff();
    void eventsThatStopTheScan_leaveTheButtonPushedAndSendNoStop_data();
    void eventsThatStopTheScan_leaveTheButtonPushedAndSendNoStop();
    void eventsThatLeaveTheScanRunning_data();
    void eventsThatLeaveTheScanRunning();
    void changingUpperDuringAScan_takesEffectAtOnce_data();
    void changingUpperDuringAScan_takesEffectAtOnce();
    void clickAfterAStopByAnotherControl_startsAgainFromLower();
    void startingAScan_endsARunningJog();
    void leavingARangeEdit_takesItsValueAndShowsItFormatted_data();
    void leavingARangeEdit_takesItsValueAndShowsItFormatted();
    void contextMenuOnARangeEdit_isNotLeavingIt_data();
    void contextMenuOnARangeEdit_isNotLeavingIt();
};

void ChanScanTest::scanTicks_recallEachChannelOfTheRangeInTurn_data()
{
    QTest::addColumn<QString>("lower");
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QList<int>>("recalled"); // per tick; -1 for a tick that recalls nothing

    QTest::newRow("3 to 5") << "3" << "5" << QList<int>{3, 4, 5, 3, 4, 5, 3};
    QTest::newRow("lower equals upper") << "7" << "7" << QList<int>{7, 7, 7, 7};
    QTest::newRow("upper below lower") << "6" << "2" << QList<int>{6, 6, 6, 6};
    QTest::newRow("bottom of the table") << "0" << "1" << QList<int>{0, 1, 0, 1};
    QTest::newRow("top of the table") << "298" << "299" << QList<int>{298, 299, 298, 299};
    QTest::newRow("lower below the table") << "-2" << "1" << QList<int>{0, 1, 0, 1, 0, 1};
    QTest::newRow("upper beyond the table") << "297" << "305" << QList<int>{297, 298, 299, 297};
    QTest::newRow("range above the table") << "300" << "310" << QList<int>{-1, -1, -1, -1};
    QTest::newRow("range below the table") << "-5" << "-1" << QList<int>{-1, -1, -1, -1};
}

void ChanScanTest::scanTicks_recallEachChannelOfTheRangeInTurn()
{
    QFETCH(QString, lower);
    QFETCH(QString, upper);
    QFETCH(QList<int>, recalled);
    FullTablePanel h;
    CTavrinView& view = h.View();
    h.SetRange(lower, upper);
    g_nSelChannel = 42;
    view.m_cbChannels.SetCurSel(42);

    h.Click(IDC_CHAN_SCAN);
    QCOMPARE(Shown(h.TakeWrites()), Shown({",1\n"})); // the first recall waits for a tick

    int expectedSel = 42;
    for (int tick = 0; tick < recalled.size(); ++tick) {
        view.OnTimer(2);
        const int slot = recalled[tick];
        if (slot >= 0)
            expectedSel = slot;
        QCOMPARE(g_nSelChannel, expectedSel);
        QCOMPARE(view.m_cbChannels.GetCurSel(), expectedSel);
        QCOMPARE(Shown(h.TakeWrites()), Shown(slot >= 0 ? RecallOf(slot) : QByteArrayList()));
    }
    QCOMPARE(g_bChanScan, BYTE(1));
}

void ChanScanTest::chanScanButton_startsWithBpfOnAndStopsWithBpfOff()
{
    FullTablePanel h;
    CTavrinView& view = h.View();
    h.SetRange(QStringLiteral("3"), QStringLiteral("5"));

    h.Click(IDC_CHAN_SCAN);
    QCOMPARE(g_bChanScan, BYTE(1));
    QVERIFY(view.m_btnChanScan.GetState());
    QCOMPARE(Shown(h.TakeWrites()), Shown({",1\n"}));
    view.OnTimer(2);
    view.OnTimer(2);
    QCOMPARE(Shown(h.TakeWrites()), Shown(RecallOf(3) + RecallOf(4)));

    h.Click(IDC_CHAN_SCAN);
    QCOMPARE(g_bChanScan, BYTE(0));
    QVERIFY(!view.m_btnChanScan.GetState());
    QCOMPARE(Shown(h.TakeWrites()), Shown({",0\n"}));
    view.OnTimer(2);
    QCOMPARE(Shown(h.TakeWrites()), Shown({}));

    // The scan borrows the BPF Off commands but leaves that check box alone.
    QCOMPARE(view.m_bBpfOff, 0);
    QVERIFY(!h.Button(IDC_BPF_OFF)->isChecked());

    h.Click(IDC_CHAN_SCAN);
    view.OnTimer(2);
    QCOMPARE(Shown(h.TakeWrites()), Shown(QByteArrayList{",1\n"} + RecallOf(3)));
}

void ChanScanTest::eventsThatStopTheScan_leaveTheButtonPushedAndSendNoStop_data()
{
    QTest::addColumn<Event>("event");
    QTest::addColumn<bool>("keyed");
    QTest::newRow("double-click on a channel") << Event::DoubleClick << false;
    QTest::newRow("Up 1012") << Event::Up << false;
    QTest::newRow("Down 1014") << Event::Down << false;
    QTest::newRow("jog Up 1061") << Event::JogUp << false;
    QTest::newRow("jog Down 1062") << Event::JogDown << false;
    QTest::newRow("frequency Set 1078") << Event::SetFreq << false;
    QTest::newRow("frequency Set 1078 while keyed") << Event::SetFreq << true;
    QTest::newRow("leaving Chan Scan Lower 1075") << Event::LeaveChanLower << false;
    QTest::newRow("leaving Upper Limit 1073") << Event::LeaveScanUpper << false;
}

void ChanScanTest::eventsThatStopTheScan_leaveTheButtonPushedAndSendNoStop()
{
    QFETCH(Event, event);
    QFETCH(bool, keyed);
    FullTablePanel h;
    h.ScanFrom(QStringLiteral("3"), QStringLiteral("5"));
    if (keyed)
        h.Click(IDC_XMIT);
    h.TakeWrites();

    Perform(h, event);

    QCOMPARE(g_bChanScan, BYTE(0));
    QVERIFY(h.View().m_btnChanScan.GetState());
    const QByteArrayList sent = h.TakeWrites();
    QVERIFY2(!sent.contains(",0\n") && !sent.contains(",1\n"), Shown(sent).constData());
    h.View().OnTimer(2);
    QCOMPARE(Shown(h.TakeWrites()), Shown({}));
}

void ChanScanTest::eventsThatLeaveTheScanRunning_data()
{
    QTest::addColumn<Event>("event");
    QTest::addColumn<bool>("keyed");
    QTest::newRow("leaving Lower Limit 1074") << Event::LeaveScanLower << false;
    QTest::newRow("leaving Chan Scan Upper 1076") << Event::LeaveChanUpper << false;
    QTest::newRow("Up 1012 while keyed") << Event::Up << true;
    QTest::newRow("Down 1014 while keyed") << Event::Down << true;
    QTest::newRow("jog Up 1061 while keyed") << Event::JogUp << true;
    QTest::newRow("jog Down 1062 while keyed") << Event::JogDown << true;
}

void ChanScanTest::eventsThatLeaveTheScanRunning()
{
    QFETCH(Event, event);
    QFETCH(bool, keyed);
    FullTablePanel h;
    h.ScanFrom(QStringLiteral("3"), QStringLiteral("5"));
    if (keyed) {
        h.Click(IDC_XMIT);
        QCOMPARE(Shown(h.TakeWrites()), Shown({"K"}));
    }
    // The edit handlers run: each takes a new value on the way.
    if (event == Event::LeaveScanLower)
        h.TypeInto(IDC_SCAN_LOWER, QStringLiteral("7100"));
    if (event == Event::LeaveChanUpper)
        h.TypeInto(IDC_CHAN_UPPER, QStringLiteral("6"));

    Perform(h, event);

    if (event == Event::LeaveScanLower)
        QCOMPARE(g_fScanLower, 7100.0f);
    if (event == Event::LeaveChanUpper)
        QCOMPARE(g_nChanUpper, 6);
    QCOMPARE(g_bChanScan, BYTE(1));
    QVERIFY(h.View().m_btnChanScan.GetState());
    QCOMPARE(Shown(h.TakeWrites()), Shown({}));
    h.View().OnTimer(2);
    QCOMPARE(g_nSelChannel, 4);
    QCOMPARE(Shown(h.TakeWrites()), Shown(RecallOf(4)));
}

void ChanScanTest::changingUpperDuringAScan_takesEffectAtOnce_data()
{
    QTest::addColumn<QString>("upper");
    QTest::addColumn<QString>("newUpper");
    QTest::addColumn<QList<int>>("recalled"); // after the change

    // The change comes after the ticks that recalled 3 and 4.
    QTest::newRow("lowered from 8 to 5") << "8" << "5" << QList<int>{5, 3, 4, 5, 3};
    QTest::newRow("raised from 5 to 7") << "5" << "7" << QList<int>{5, 6, 7, 3};
    // The wrap is tested at the tick that reaches a channel, so a bound lowered
    // to or below the channel already reached lets the next channel through once.
    QTest::newRow("lowered to the channel reached") << "8" << "4" << QList<int>{5, 3, 4, 3};
    QTest::newRow("lowered below the channel reached") << "8" << "3" << QList<int>{5, 3, 3};
}

void ChanScanTest::changingUpperDuringAScan_takesEffectAtOnce()
{
    QFETCH(QString, upper);
    QFETCH(QString, newUpper);
    QFETCH(QList<int>, recalled);
    FullTablePanel h;
    CTavrinView& view = h.View();
    h.ScanFrom(QStringLiteral("3"), upper);
    view.OnTimer(2);
    QCOMPARE(g_nSelChannel, 4);
    h.TakeWrites();

    h.TypeInto(IDC_CHAN_UPPER, newUpper);
    h.Leave(IDC_CHAN_UPPER);

    QCOMPARE(g_bChanScan, BYTE(1));
    QList<int> seen;
    for (int tick = 0; tick < recalled.size(); ++tick) {
        view.OnTimer(2);
        seen << g_nSelChannel;
    }
    QCOMPARE(seen, recalled);
}

void ChanScanTest::clickAfterAStopByAnotherControl_startsAgainFromLower()
{
    FullTablePanel h;
    CTavrinView& view = h.View();
    h.ScanFrom(QStringLiteral("3"), QStringLiteral("12"));
    view.OnTimer(2);
    h.TypeInto(IDC_CHAN_LOWER, QStringLiteral("10"));
    h.Leave(IDC_CHAN_LOWER);
    QCOMPARE(g_bChanScan, BYTE(0));
    h.TakeWrites();

    h.Click(IDC_CHAN_SCAN);

    QCOMPARE(g_bChanScan, BYTE(1));
    QVERIFY(view.m_btnChanScan.GetState());
    QCOMPARE(Shown(h.TakeWrites()), Shown({",1\n"}));
    view.OnTimer(2);
    QCOMPARE(g_nSelChannel, 10);
    QCOMPARE(Shown(h.TakeWrites()), Shown(RecallOf(10)));
}

void ChanScanTest::startingAScan_endsARunningJog()
{
    FullTablePanel h;
    CTavrinView& view = h.View();
    h.SetRange(QStringLiteral("3"), QStringLiteral("5"));
    ClickIndicator(h.Button(IDC_JOG_UP));
    QCOMPARE(view.m_nJog, 0);
    view.OnTimer(3);
    QCOMPARE(h.TakeWrites().size(), 1); // the jog is running

    h.Click(IDC_CHAN_SCAN);

    QCOMPARE(view.m_nJog, -1);
    QCOMPARE(Shown(h.TakeWrites()), Shown({",1\n"}));
    view.OnTimer(3);
    QCOMPARE(Shown(h.TakeWrites()), Shown({}));
}

void ChanScanTest::leavingARangeEdit_takesItsValueAndShowsItFormatted_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("shown");
    QTest::addColumn<double>("value");

    // The file gives Lower 4, Upper 99, Lower Limit 7000 and Upper Limit 7300.
    QTest::newRow("chan lower 7") << IDC_CHAN_LOWER << "7" << QByteArray("  7") << 7.0;
    QTest::newRow("chan lower 123") << IDC_CHAN_LOWER << "123" << QByteArray("123") << 123.0;
    QTest::newRow("chan lower number then text") << IDC_CHAN_LOWER << " 12xyz" << QByteArray(" 12") << 12.0;
    QTest::newRow("chan lower not a number") << IDC_CHAN_LOWER << "abc" << QByteArray("  4") << 4.0;
    QTest::newRow("chan lower emptied") << IDC_CHAN_LOWER << "" << QByteArray("  4") << 4.0;
    QTest::newRow("chan upper 12") << IDC_CHAN_UPPER << "12" << QByteArray(" 12") << 12.0;
    QTest::newRow("chan upper not a number") << IDC_CHAN_UPPER << "x" << QByteArray(" 99") << 99.0;
    QTest::newRow("upper limit 14250") << IDC_SCAN_UPPER << "14250" << QByteArray("14250.00") << 14250.0;
    QTest::newRow("upper limit 7150.5") << IDC_SCAN_UPPER << "7150.5" << QByteArray(" 7150.50") << 7150.5;
    QTest::newRow("upper limit not a number") << IDC_SCAN_UPPER << "?" << QByteArray(" 7300.00") << 7300.0;
    QTest::newRow("lower limit 7000.5") << IDC_SCAN_LOWER << "7000.5" << QByteArray(" 7000.50") << 7000.5;
    QTest::newRow("lower limit not a number") << IDC_SCAN_LOWER << "abc" << QByteArray(" 7000.00") << 7000.0;
    QTest::newRow("lower limit emptied") << IDC_SCAN_LOWER << "" << QByteArray(" 7000.00") << 7000.0;
}

void ChanScanTest::leavingARangeEdit_takesItsValueAndShowsItFormatted()
{
    QFETCH(int, id);
    QFETCH(QString, typed);
    QFETCH(QByteArray, shown);
    QFETCH(double, value);
    FullTablePanel h;
    CTavrinView& view = h.View();

    h.TypeInto(id, typed);
    h.Leave(id);

    const std::map<int, std::pair<CString*, double>> fields = {
        {IDC_CHAN_LOWER, {&view.m_strChanLower, double(g_nChanLower)}},
        {IDC_CHAN_UPPER, {&view.m_strChanUpper, double(g_nChanUpper)}},
        {IDC_SCAN_UPPER, {&view.m_strScanUpper, double(g_fScanUpper)}},
        {IDC_SCAN_LOWER, {&view.m_strScanLower, double(g_fScanLower)}},
    };
    QCOMPARE(*fields.at(id).first, shown);
    QCOMPARE(fields.at(id).second, value);
    view.OnStateToForm();
    QCOMPARE(h.Edit(id)->text(), ToWidgetText(shown));
    QCOMPARE(Shown(h.TakeWrites()), Shown({}));
}

void ChanScanTest::contextMenuOnARangeEdit_isNotLeavingIt_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("shownOnLeaving");
    QTest::addColumn<bool>("leavingStopsTheScan");
    QTest::newRow("upper limit") << IDC_SCAN_UPPER << "7250" << QByteArray(" 7250.00") << true;
    QTest::newRow("lower limit") << IDC_SCAN_LOWER << "7050" << QByteArray(" 7050.00") << false;
    QTest::newRow("chan lower") << IDC_CHAN_LOWER << "7" << QByteArray("  7") << true;
    QTest::newRow("chan upper") << IDC_CHAN_UPPER << "8" << QByteArray("  8") << false;
}

// A right-click opens the edit's menu, which holds the focus only while it
// is open: the value is not taken, nor the scan stopped, until the focus
// really goes elsewhere.
void ChanScanTest::contextMenuOnARangeEdit_isNotLeavingIt()
{
    QFETCH(int, id);
    QFETCH(QString, typed);
    QFETCH(QByteArray, shownOnLeaving);
    QFETCH(bool, leavingStopsTheScan);
    FullTablePanel h;
    CTavrinView& view = h.View();
    const std::map<int, CString CTavrinView::*> members = {
        {IDC_SCAN_UPPER, &CTavrinView::m_strScanUpper}, {IDC_SCAN_LOWER, &CTavrinView::m_strScanLower},
        {IDC_CHAN_LOWER, &CTavrinView::m_strChanLower}, {IDC_CHAN_UPPER, &CTavrinView::m_strChanUpper}};
    CString& member = view.*members.at(id);
    QVERIFY(ShowActive(view));
    h.Click(IDC_CHAN_SCAN);
    h.Edit(id)->setFocus();
    h.TypeInto(id, typed);
    bool menuSeen = false;
    QTimer::singleShot(50, this, [&menuSeen] {
        menuSeen = QApplication::activePopupWidget() != nullptr;
        if (menuSeen)
            QApplication::activePopupWidget()->close();
    });

    // What a right-click on the edit brings: its menu, open until the timer
    // closes it.
    const QPoint inside = h.Edit(id)->rect().center();
    QContextMenuEvent rightClick(QContextMenuEvent::Mouse, inside, h.Edit(id)->mapToGlobal(inside));
    QApplication::sendEvent(h.Edit(id), &rightClick);
    QTRY_VERIFY(menuSeen);
    QTRY_VERIFY(!QApplication::activePopupWidget());

    QVERIFY(h.Edit(id)->hasFocus());
    QCOMPARE(g_bChanScan, BYTE(1));
    QCOMPARE(member, typed.toLatin1());
    QTest::mouseClick(h.Edit(IDC_FREQ_ENTRY), Qt::LeftButton);
    QCOMPARE(member, shownOnLeaving);
    QCOMPARE(g_bChanScan, BYTE(leavingStopsTheScan ? 0 : 1));
}

QTEST_MAIN(ChanScanTest)
#include "test_chanscan.moc"
