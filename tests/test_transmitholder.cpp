// One holder of the transmitter: a claim is refused while another holds it,
// and the holding ends whenever the panel's state is back on receive, with
// the reason the unkeying path gave while it was held.
#include <QSignalSpy>
#include <QtTest>

#include "keying/transmitholder.h"
#include "keying/transmitrelease.h"
#include "link/mscomm.h"
#include "panel/tavrinview.h"
#include "portwatch/lostlinkreceive.h"
#include "panel/transmitstate.h"
#include "panel/tuningstate.h"
#include "support/programstate.h"
#include "support/viewharness.h"

namespace {

Keyer Program(const QString& address, const QObject* client)
{
    Keyer who;
    who.kind = Keyer::Kind::StationProgram;
    who.name = address;
    who.how = QStringLiteral("rig-control T");
    who.client = client;
    return who;
}

} // namespace

class TestTransmitHolder : public QObject {
    Q_OBJECT
private slots:
    void init() { ResetProgramGlobals(); }

    void secondKeyerIsRefusedUntilTheFirstUnkeys()
    {
        CTransmitHolder holder;
        QObject first, second;
        QVERIFY(holder.Claim(Program(QStringLiteral("127.0.0.1:40000"), &first)));
        g_chTxState = 'K';
        QVERIFY(holder.Claim(Program(QStringLiteral("127.0.0.1:40000"), &first)));
        QVERIFY(!holder.Claim(Program(QStringLiteral("127.0.0.1:40001"), &second)));
        QCOMPARE(holder.Holder()->Who(), QStringLiteral("station program 127.0.0.1:40000"));

        QSignalSpy ended(&holder, &CTransmitHolder::Ended);
        holder.NoteUnkeyReason(QStringLiteral("rig-control T 0"));
        g_chTxState = 'U';
        QVERIFY(holder.Claim(Program(QStringLiteral("127.0.0.1:40001"), &second)));
        QCOMPARE(ended.count(), 1);
        QCOMPARE(ended.at(0).at(1).toString(), QStringLiteral("rig-control T 0"));
    }

    void panelKeyingIsHeldByThePanel_data()
    {
        QTest::addColumn<BYTE>("tuning");
        QTest::addColumn<QString>("how");
        QTest::newRow("Xmit") << BYTE(0) << QStringLiteral("Xmit");
        QTest::newRow("Tune") << BYTE(1) << QStringLiteral("Tune");
    }
    void panelKeyingIsHeldByThePanel()
    {
        QFETCH(BYTE, tuning);
        QFETCH(QString, how);
        CTransmitHolder holder;
        QObject client;
        // A station program's unkey while nothing was keyed ends nothing later.
        holder.NoteUnkeyReason(QStringLiteral("rig-control T 0"));
        g_bTuning = tuning;
        g_chTxState = 'K';
        QVERIFY(!holder.Claim(Program(QStringLiteral("127.0.0.1:40000"), &client)));
        QCOMPARE(holder.Holder()->Who(), QStringLiteral("the panel"));
        QCOMPARE(holder.Holder()->how, how);
        QSignalSpy ended(&holder, &CTransmitHolder::Ended);
        g_chTxState = 'U';
        QVERIFY(!holder.Holder());
        QCOMPARE(ended.at(0).at(1).toString(), QStringLiteral("Receive"));
    }

    // A holder that follows the panel, driven a step at a time:
    // what each path leaves on record (who, how it began, how it ended).
    void eachPathLeavesItsRecord_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("records");
        QTest::newRow("the radio keyed by itself")
            << QStringList{"report K", "report U"} << QStringList{"the radio|report|the radio reported receive"};
        QTest::newRow("Xmit during the radio's own transmission is one transmission")
            << QStringList{"report K", "Xmit", "report U"} << QStringList{"the radio|report|the radio reported receive"};
        QTest::newRow("the panel's key reported back is the panel's")
            << QStringList{"Xmit", "report K", "Receive", "report U"} << QStringList{"the panel|Xmit|Receive"};
        QTest::newRow("the panel's key reported after its Receive is still the panel's")
            << QStringList{"Xmit", "Receive", "report M2", "report K", "report U"}
            << QStringList{"the panel|Xmit|Receive"};
        QTest::newRow("once the radio has reported receive, its key is its own")
            << QStringList{"Xmit", "Receive", "report U", "report K", "report U"}
            << QStringList{"the panel|Xmit|Receive", "the radio|report|the radio reported receive"};
        QTest::newRow("a claim whose key never came lapses unrecorded")
            << QStringList{"claim", "Xmit", "Receive"} << QStringList{"the panel|Xmit|Receive"};
        QTest::newRow("a claimed key") << QStringList{"claim and key", "Receive"}
                                       << QStringList{"station program 127.0.0.1:40000|rig-control T|Receive"};
        QTest::newRow("the link lost under the panel's key")
            << QStringList{"Xmit", "lost"} << QStringList{"the panel|Xmit|the link was lost"};
        QTest::newRow("the link lost under the radio's own key")
            << QStringList{"report K", "lost"} << QStringList{"the radio|report|the link was lost"};
        QTest::newRow("Tune, then the panel closes")
            << QStringList{"Tune", "close"} << QStringList{"the panel|Tune|the session ended"};
    }
    void eachPathLeavesItsRecord()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, records);
        const QByteArray file = ViewHarness::MinimalChannelFile();
        ViewHarness h(&file);
        h.Start();
        CTransmitHolder holder;
        holder.Follow(h.View());
        CTransmitRelease release(h.View(), holder);
        new CLostLinkReceive(h.View());
        QStringList written;
        QString began;
        connect(&holder, &CTransmitHolder::Began, this, [&](const Keyer& who) { began = who.Who() + '|' + who.how; });
        connect(&holder, &CTransmitHolder::Ended, this, [&](const Keyer&, const QString& why) { written << began + '|' + why; });
        QObject client;
        for (const QString& step : steps) {
            if (step.startsWith(QLatin1String("report ")))
                h.Feed(step.mid(7).toLatin1() + QByteArray(" \n"));
            else if (step == QLatin1String("Xmit"))
                h.View().OnXmit();
            else if (step == QLatin1String("Receive"))
                h.View().OnReceive();
            else if (step == QLatin1String("Tune"))
                h.View().OnTune();
            else if (step.startsWith(QLatin1String("claim")))
                QVERIFY(holder.Claim(Program(QStringLiteral("127.0.0.1:40000"), &client)));
            if (step == QLatin1String("claim and key"))
                h.View().OnXmit(); // as a station program's key reaches the panel
            else if (step == QLatin1String("lost"))
                emit h.View().Comm().PortLost(CommError{});
            else if (step == QLatin1String("close"))
                h.View().DestroyWindow();
            QCoreApplication::processEvents(); // a claim without its key lapses at the next turn
            QTest::qWait(1);
        }
        QCOMPARE(written, records);
    }
};

QTEST_MAIN(TestTransmitHolder)
#include "test_transmitholder.moc"
