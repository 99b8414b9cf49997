// A port that opens after it was asked to (the radio on another machine):
// until it is open the panel is as with a port that did not open, the
// start-up queries go out once it is, a failure shows in the title, and a
// dropped connection is reopened as quietly as a pulled adapter.
#include <QAbstractButton>
#include <QDialog>
#include <QtTest>

#include "panel/tavrinview.h"
#include "portchooser/portchoice.h"
#include "portchooser/portchooserdlg.h"
#include "portwatch/portreopener.h"
#include "res/resource.h"
#include "support/panellog.h"
#include "support/viewharness.h"

namespace {

const QStringList kQueries = {
    "write ?\\n", "write H\\nH\\nH\\n", "write V\\nV\\nV\\n", "write S\\nS\\n", "write I\\nI\\n",
    "write D\\nD\\nD\\nD\\nD\\nD\\n", "write M\\nM\\nM\\nM\\n", "write A\\nA\\nA\\n",
};

// A panel whose port opens later, started; the open is under way.
class LatePanel : public ViewHarness {
public:
    LatePanel() : ViewHarness(&kFile)
    {
        Port().openLater = true;
        Start();
        device = View().Comm().DeviceName();
    }
    QString device;
    static const QByteArray kFile;
};

const QByteArray LatePanel::kFile = ViewHarness::MinimalChannelFile();

} // namespace

class TestLateOpen : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init() { PanelLog::Lines().clear(); }
    void untilOpen_nothingIsSent_thenTheOpenEndsAsTheFarEndSays_data();
    void untilOpen_nothingIsSent_thenTheOpenEndsAsTheFarEndSays();
    void aDroppedConnection_isReopenedQuietlyWithDtrWhereTheBoxSays();
    void aRefusedReconnect_saysWhyOnceForEachNewReason();
};

void TestLateOpen::initTestCase() { PanelLog::Capture(); }

// Opened, the start-up queries go; refused, the title and the log say so
// once and the port dialog is offered.
void TestLateOpen::untilOpen_nothingIsSent_thenTheOpenEndsAsTheFarEndSays_data()
{
    QTest::addColumn<QString>("failure");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<int>("step");
    QTest::addColumn<int>("offers");
    QTest::newRow("opened") << QString() << QStringList{"RTS 1"} + kQueries << 5 << 0;
    QTest::newRow("refused") << QStringLiteral("Port's device already in use") << QStringList() << -1 << 1;
}

void TestLateOpen::untilOpen_nothingIsSent_thenTheOpenEndsAsTheFarEndSays()
{
    QFETCH(QString, failure);
    QFETCH(QStringList, calls);
    QFETCH(int, step);
    QFETCH(int, offers);
    LatePanel h;
    int offered = 0;
    SetPortChooserRunner([&offered](CPortChooserDlg&) {
        ++offered;
        return int(QDialog::Rejected);
    });
    CPortChoice choice(h.View(), nullptr);
    choice.OfferIfPortClosed();
    QCOMPARE(offered, 0);
    QCOMPARE(h.Port().calls, QStringList{"open " + h.device});
    QCOMPARE(h.View().PortProblem(), QStringLiteral("COM1 (%1): connecting").arg(h.device));
    h.View().Dispatch([&h] { h.View().OnTimer(1); }); // the poll meets a port that is not open
    QCOMPARE(h.Port().writes, QByteArrayList());
    QCOMPARE(h.View().m_nStep, -1);
    QCOMPARE(PanelLog::Lines(), QStringList()); // an open under way is no warning

    h.Port().calls.clear();
    h.Port().FinishOpen(failure);
    const QString words = failure.isEmpty() ? QString() : QStringLiteral("COM1 (%1): %2").arg(h.device, failure);
    QCOMPARE(h.Port().calls, calls);
    QCOMPARE(h.View().PortProblem(), words);
    QVERIFY(h.View().window()->windowTitle().contains(words));
    QCOMPARE(PanelLog::Lines(), words.isEmpty() ? QStringList() : QStringList{"port: " + words});
    QCOMPARE(h.View().m_nStep, step);
    QTest::qWait(20);
    SetPortChooserRunner({});
    QCOMPARE(offered, offers);
}

void TestLateOpen::aDroppedConnection_isReopenedQuietlyWithDtrWhereTheBoxSays()
{
    LatePanel h;
    auto* reopener = new CPortReopener(h.View());
    h.Port().FinishOpen();
    h.Port().Vanish();
    const QString lost = h.View().PortProblem();
    QVERIFY(lost.contains(QStringLiteral("lost")));
    h.View().Form().Button(IDC_DTR_POWER)->click(); // Power (DTR) cleared while away
    h.Port().calls.clear();

    reopener->TryReopen();
    reopener->TryReopen(); // the first attempt is still under way
    QCOMPARE(h.Port().calls, QStringList{"open " + h.device});
    h.Port().FinishOpen(QStringLiteral("refused"));
    QCOMPARE(h.View().PortProblem(), lost); // the attempts add nothing to the title
    QVERIFY(reopener->IsRetrying());

    h.Port().calls.clear();
    reopener->TryReopen();
    h.Port().FinishOpen();
    QCOMPARE(h.Port().calls, QStringList({"open " + h.device, "RTS 1", "DTR 0"}) + kQueries);
    QCOMPARE(h.View().PortProblem(), QString());
    QVERIFY(!reopener->IsRetrying());
    QCOMPARE(PanelLog::Lines().size(), 2); // lost, and back
    QVERIFY2(PanelLog::Lines().last().contains(QStringLiteral("is back")), qPrintable(PanelLog::Lines().join('\n')));
}

// The far end is back but turns the panel away (its certificate now fails
// the check): unlike a far end still away, that is news for the title and
// the log, once for each reason.
void TestLateOpen::aRefusedReconnect_saysWhyOnceForEachNewReason()
{
    LatePanel h;
    auto* reopener = new CPortReopener(h.View());
    h.Port().FinishOpen();
    h.Port().Vanish();
    const QStringList reasons = {"the server's certificate failed the check", "the server's certificate failed the check",
                                 "Port's device already in use"};
    QStringList logged = PanelLog::Lines();
    for (const QString& reason : reasons) {
        reopener->TryReopen();
        h.Port().RefuseOpen(reason);
        const QString words = QStringLiteral("COM1 (%1): %2").arg(h.device, reason);
        QCOMPARE(h.View().PortProblem(), words);
        if (logged.last() != "port: " + words)
            logged << "port: " + words;
        QCOMPARE(PanelLog::Lines(), logged);
    }
    QVERIFY(reopener->IsRetrying());
    QCOMPARE(logged.size(), 3); // lost, and two reasons
}

QTEST_MAIN(TestLateOpen)
#include "test_lateopen.moc"
