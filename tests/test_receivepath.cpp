// The receive path from the fake serial device through the control's OnComm
// events: one character per event, a parse when the buffer ends in a line
// feed, and a whole-form refresh after every event.
#include <QAbstractButton>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionButton>
#include <QtTest>

#include "link/commandchannel.h"
#include "panel/tavrinview.h"
#include "res/resource.h"
#include "support/panelkit.h"
#include "support/viewharness.h"

namespace {

// What one OnComm event left behind, taken right after the view's handler.
struct AfterEvent {
    short commEvent;
    QByteArray receive;
    QByteArray status;
    int txRx;
    QString statusBox;
};

// Clicks a check box or radio button on its indicator, where a click is
// sure to land whatever the button's width.
} // namespace

class TestReceivePath : public QObject {
    Q_OBJECT

    std::unique_ptr<ViewHarness> m_h;
    QList<AfterEvent> m_events;

    CTavrinView& View() { return m_h->View(); }
    QString Text(int id) { return View().Form().Edit(id)->text(); }

private slots:
    void init();
    void cleanup();

    void lineInPieces_isParsedOnceWhenItsLineFeedArrives();
    void twoLinesInOneChunk_parseAsTwoEachAtItsOwnLineFeed();
    void eventWithoutCharacters_refreshesButParsesNothing_data();
    void eventWithoutCharacters_refreshesButParsesNothing();
    void refreshAfterEvent_showsLastCommandWithItsLineFeeds();
    void refreshAfterEvent_showsStartupStepAndParsedMembers();
    void silentRadio_startupShowsEchoStepAndRangesOnceTheQueriesLeave();
    void silentRadio_clickShowsItsEcho();
    void writesDrainingTogether_raiseOneSendEvent();
    void dtrPower_actsOnTheMember_data();
    void dtrPower_actsOnTheMember();
    void dtrPowerClicks_writeFalseThenTrue();
};

void TestReceivePath::init()
{
    const QByteArray file = ViewHarness::MinimalChannelFile();
    m_h = std::make_unique<ViewHarness>(&file);
    m_h->Start();
    m_h->TakeWrites();
    m_events.clear();
    // Connected after the view's own handler, so it sees the outcome.
    connect(&View().Comm(), &CMSComm::OnComm, this, [this] {
        m_events.append({View().Comm().GetCommEvent(), g_strReceive, View().m_strStatus, View().m_nTxRx,
                         Text(IDC_STATUS)});
    });
}

void TestReceivePath::cleanup() { m_h.reset(); }

void TestReceivePath::lineInPieces_isParsedOnceWhenItsLineFeedArrives()
{
    m_h->Feed("F0703");
    m_h->Feed("525 M2 K");
    QCOMPARE(g_strReceive, QByteArray("F0703525 M2 K"));
    QVERIFY(View().m_strStatus.isEmpty());
    QCOMPARE(View().m_nTxRx, -1);
    m_h->Feed(" \n");
    const QByteArray line("F0703525 M2 K \n");
    QCOMPARE(m_events.size(), line.size());
    for (int i = 0; i < line.size() - 1; ++i) {
        QCOMPARE(m_events[i].receive, line.left(i + 1));
        QVERIFY(m_events[i].status.isEmpty());
    }
    QVERIFY(m_events.last().receive.isEmpty());
    QCOMPARE(m_events.last().status, line);
    QCOMPARE(m_events.last().statusBox, QString::fromLatin1(line));
    QCOMPARE(View().m_strFreq, QByteArray("7035.250"));
    QCOMPARE(View().m_nTxRx, 0);
}

void TestReceivePath::twoLinesInOneChunk_parseAsTwoEachAtItsOwnLineFeed()
{
    const QByteArray first("I1 O4 K \n");
    const QByteArray second("O2 U \n");
    m_h->Feed(first + second);
    QCOMPARE(m_events.size(), first.size() + second.size());
    const AfterEvent& atFirst = m_events[first.size() - 1];
    QCOMPARE(atFirst.status, first);
    QCOMPARE(atFirst.statusBox, QString::fromLatin1(first));
    QVERIFY(atFirst.receive.isEmpty());
    QCOMPARE(atFirst.txRx, 0);
    QCOMPARE(m_events[first.size()].receive, QByteArray("O"));
    QCOMPARE(m_events[first.size()].status, first);
    QCOMPARE(View().m_strStatus, second);
    QCOMPARE(View().m_nTxRx, 1);
    QCOMPARE(View().m_bClipping, 1);  // only the first line carried it
    QCOMPARE(View().m_bAmpOperate, 1); // set by O4, left by O2
    QCOMPARE(View().m_bAmpReady, 0);
    QVERIFY(g_strReceive.isEmpty());
}

// An event can come with nothing to read: before any character (not a
// receive event) or once the characters are taken. It must still refresh.
void TestReceivePath::eventWithoutCharacters_refreshesButParsesNothing_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::newRow("nothing received yet") << QByteArray();
    QTest::newRow("half a line waiting") << QByteArray("F07035");
    QTest::newRow("after a whole line") << QByteArray("U \n");
}

void TestReceivePath::eventWithoutCharacters_refreshesButParsesNothing()
{
    QFETCH(QByteArray, before);
    m_h->Feed(before);
    const QByteArray receive = g_strReceive;
    const QByteArray status = View().m_strStatus;
    const QByteArray freq = View().m_strFreq;
    View().m_bClipping = 1;
    View().m_strBfo = "123";
    QVERIFY(!View().Form().Button(IDC_CLIPPING)->isChecked());
    emit View().Comm().OnComm();
    QCOMPARE(g_strReceive, receive);
    QCOMPARE(View().m_strStatus, status);
    QCOMPARE(View().m_strFreq, freq); // a parse would have written "0.000"
    QVERIFY(View().Form().Button(IDC_CLIPPING)->isChecked());
    QCOMPARE(Text(IDC_BFO), QStringLiteral("123"));
}

void TestReceivePath::refreshAfterEvent_showsLastCommandWithItsLineFeeds()
{
    View().SendCommand("A\nA\n");
    QCOMPARE(View().m_strLastCommand, QByteArray("A\nA\n"));
    QCOMPARE(m_h->TakeWrites(), QByteArrayList{"A\nA\n"});
    QVERIFY(Text(IDC_LAST_COMMAND) != QStringLiteral("A\nA\n")); // no refresh of its own
    m_h->Feed("#");
    QCOMPARE(Text(IDC_LAST_COMMAND), QStringLiteral("A\nA\n"));
}

void TestReceivePath::refreshAfterEvent_showsStartupStepAndParsedMembers()
{
    QCOMPARE(View().m_nStep, 5);
    QVERIFY(!View().Form().Button(IDC_STEP_1K)->isChecked());
    m_h->Feed("F1425000 D4 H2 V1 ,1 U \n");
    QVERIFY(View().Form().Button(IDC_STEP_1K)->isChecked());
    QCOMPARE(Text(IDC_FREQ), QStringLiteral("14250.000"));
    QVERIFY(View().Form().Button(IDC_METER_FWD)->isChecked());
    QVERIFY(View().Form().Button(IDC_INPUT_AUDIO2)->isChecked());
    QVERIFY(View().Form().Button(IDC_VOX_VOICE)->isChecked());
    QVERIFY(View().Form().Button(IDC_BPF_OFF)->isChecked());
    QVERIFY(View().Form().Button(IDC_RECEIVE)->isChecked());
}

// The radio is off, or at another baud rate: nothing comes back, yet the
// panel shows what it did, refreshed by the control's send event.
void TestReceivePath::silentRadio_startupShowsEchoStepAndRangesOnceTheQueriesLeave()
{
    QVERIFY(Text(IDC_LAST_COMMAND).isEmpty()); // start-up itself does not refresh
    QVERIFY(!View().Form().Button(IDC_STEP_1K)->isChecked());

    QTRY_COMPARE(Text(IDC_LAST_COMMAND), QStringLiteral("A\nA\nA\n"));
    QVERIFY(View().Form().Button(IDC_STEP_1K)->isChecked());
    QCOMPARE(Text(IDC_SCAN_LOWER), QStringLiteral(" 7000.00"));
    QCOMPARE(Text(IDC_SCAN_UPPER), QStringLiteral(" 7300.00"));
    QCOMPARE(Text(IDC_CHAN_LOWER), QStringLiteral("  0"));
    QCOMPARE(Text(IDC_CHAN_UPPER), QStringLiteral("  9 "));
    QVERIFY(g_strReceive.isEmpty());
    QVERIFY(View().m_strStatus.isEmpty());
}

void TestReceivePath::silentRadio_clickShowsItsEcho()
{
    View().show();
    QVERIFY(QTest::qWaitForWindowExposed(&View()));
    QTRY_COMPARE(Text(IDC_LAST_COMMAND), QStringLiteral("A\nA\nA\n"));

    ClickIndicator(View().Form().Button(IDC_SIDE_TONE));

    QCOMPARE(m_h->TakeWrites(), QByteArrayList{"S\n"});
    QTRY_COMPARE(Text(IDC_LAST_COMMAND), QStringLiteral("S\n"));
}

// The control reports an empty output buffer, not each write: what one
// handler writes leaves together and is reported once.
void TestReceivePath::writesDrainingTogether_raiseOneSendEvent()
{
    QTRY_COMPARE(m_events.size(), 1); // the start-up queries
    m_events.clear();

    View().SendCommand("A3\n");
    View().SendCommand("M2\n");
    QVERIFY(m_events.isEmpty());
    QTRY_COMPARE(m_events.size(), 1);
    QCoreApplication::processEvents();

    QCOMPARE(m_events.size(), 1);
    QCOMPARE(m_events[0].commEvent, short(CMSComm::comEvSend));
    QVERIFY(m_events[0].receive.isEmpty());
    QCOMPARE(Text(IDC_LAST_COMMAND), QStringLiteral("M2\n"));
}

void TestReceivePath::dtrPower_actsOnTheMember_data()
{
    QTest::addColumn<int>("member");
    QTest::addColumn<QList<bool>>("wantWrites");
    QTest::addColumn<int>("wantMember");
    QTest::newRow("on turns off") << 1 << QList<bool>{false} << 0;
    QTest::newRow("off turns on") << 0 << QList<bool>{true} << 1;
    QTest::newRow("2 does nothing") << 2 << QList<bool>{} << 2;
    QTest::newRow("-1 does nothing") << -1 << QList<bool>{} << -1;
}

void TestReceivePath::dtrPower_actsOnTheMember()
{
    QFETCH(int, member);
    QFETCH(QList<bool>, wantWrites);
    QFETCH(int, wantMember);
    QVERIFY(m_h->Port().dtrWrites.isEmpty()); // start-up never writes DTR
    View().m_bDtrPower = member;
    View().OnDtrPower();
    QCOMPARE(m_h->Port().dtrWrites, wantWrites);
    QCOMPARE(View().m_bDtrPower, wantMember);
    if (!wantWrites.isEmpty())
        QCOMPARE(View().Comm().GetDTREnable(), wantWrites.last());
    QVERIFY(m_h->TakeWrites().isEmpty());
}

void TestReceivePath::dtrPowerClicks_writeFalseThenTrue()
{
    View().show();
    QVERIFY(QTest::qWaitForWindowExposed(&View()));
    QAbstractButton* box = View().Form().Button(IDC_DTR_POWER);
    m_h->Feed("#"); // the first refresh shows the member's 1
    QVERIFY(box->isChecked());
    ClickIndicator(box);
    QVERIFY(!box->isChecked());
    QCOMPARE(m_h->Port().dtrWrites, QList<bool>{false});
    QCOMPARE(View().m_bDtrPower, 0);
    ClickIndicator(box);
    QCOMPARE(m_h->Port().dtrWrites, (QList<bool>{false, true}));
    QCOMPARE(View().m_bDtrPower, 1);
    QVERIFY(box->isChecked());
}

QTEST_MAIN(TestReceivePath)
#include "test_receivepath.moc"
