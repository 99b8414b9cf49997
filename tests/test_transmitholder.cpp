// One holder of the transmitter: a claim is refused while another holds it,
// and the holding ends whenever the panel's state is back on receive, with
// the reason the unkeying path gave while it was held.
#include <QSignalSpy>
#include <QtTest>

#include "keying/transmitholder.h"
#include "panel/transmitstate.h"
#include "panel/tuningstate.h"
#include "support/programstate.h"

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
};

QTEST_MAIN(TestTransmitHolder)
#include "test_transmitholder.moc"
