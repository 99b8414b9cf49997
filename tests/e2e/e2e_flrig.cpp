// Station programs through flrig's interface: Debian's rigctl with Hamlib's
// FLRig backend (model 4) talks XML-RPC to the panel's flrig server on a
// loopback port, the panel talks to the simulated radio on a pty, all in
// this event loop; the test looks at what the radio did.
#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include "keying/transmitholder.h"
#include "panel/tavrinview.h"
#include "panelonradio.h"
#include "radiowatch/silencewatch.h"
#include "remote/flrigserver.h"
#include "remote/rigserver.h"
#include "remote/viewrigseam.h"

using radiosim::RadioState;

namespace {

constexpr int kClientMs = 10000;

RadioState FlrigRadio(char mode, bool direct, double kHz = 7035.25)
{
    RadioState s;
    s.setFrequencyKHz(kHz);
    s.mode = mode;
    s.directMode = direct;
    return s;
}

class FlrigStation {
public:
    explicit FlrigStation(const RadioState& radio) : panel(radio)
    {
        if (!panel.SetupProblem().isEmpty())
            return;
        panel.Start();
        panel.Settle();
        server.Listen(QHostAddress::LocalHost, 0);
        rigctlServer.Listen(QHostAddress::LocalHost, 0);
    }
    QString Problem() const
    {
        if (!panel.SetupProblem().isEmpty())
            return panel.SetupProblem();
        return server.IsListening() ? QString() : server.ErrorString();
    }
    QStringList Address() const
    {
        return {QStringLiteral("-m"), QStringLiteral("4"), QStringLiteral("-r"), QStringLiteral("127.0.0.1:%1").arg(server.Port())};
    }
    bool Keyed() { return panel.Radio().state().keyed; }

    PanelOnRadio panel;
    CSilenceWatch silence{panel.View()};
    CViewRigSeam seam{panel.View(), silence};
    CTransmitHolder holder;
    CFlrigServer server{seam, &holder};
    CRigServer rigctlServer{seam, &holder};
};

QString HamlibRigctl() { return QStandardPaths::findExecutable(QStringLiteral("rigctl")); }

QByteArray RunFlrigRigctl(const FlrigStation& station, const QStringList& commands, const QStringList& address = {})
{
    QProcess rigctl;
    rigctl.setProcessChannelMode(QProcess::MergedChannels);
    rigctl.start(HamlibRigctl(), (address.isEmpty() ? station.Address() : address) + commands);
    if (!QTest::qWaitFor([&] { return rigctl.state() == QProcess::NotRunning; }, kClientMs))
        rigctl.kill();
    return rigctl.readAllStandardOutput();
}

} // namespace

class E2eFlrigTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void rigctl_readsWhatTheRadioLastReported();
    void rigctl_setsFrequencyAndMode_data();
    void rigctl_setsFrequencyAndMode();
    void rigctl_keysAndUnkeys_andALeavingClientUnkeys();

private:
    QTemporaryDir m_profile;
};

void E2eFlrigTest::initTestCase()
{
    QVERIFY(UseScratchProfileSettings(m_profile));
    QVERIFY2(!HamlibRigctl().isEmpty(), "rigctl (Debian package libhamlib-utils) is not installed");
}

void E2eFlrigTest::rigctl_readsWhatTheRadioLastReported()
{
    FlrigStation station(FlrigRadio('2', false));
    QVERIFY2(station.Problem().isEmpty(), qPrintable(station.Problem()));
    QCOMPARE(RunFlrigRigctl(station, {"f", "m", "t"}), QByteArray("7035250\nLSB\n2400\n0\n"));
    QTRY_COMPARE(station.server.ClientCount(), 0);
}

void E2eFlrigTest::rigctl_setsFrequencyAndMode_data()
{
    QTest::addColumn<bool>("direct");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<char>("to");
    QTest::addColumn<QByteArray>("readBack");
    QTest::newRow("step mode, USB") << false << "USB" << '1' << QByteArray("USB");
    QTest::newRow("direct mode, CW") << true << "CW" << '4' << QByteArray("CW");
    QTest::newRow("step mode, data on LSB") << false << "PKTLSB" << '2' << QByteArray("PKTLSB");
}

void E2eFlrigTest::rigctl_setsFrequencyAndMode()
{
    QFETCH(bool, direct);
    QFETCH(QString, mode);
    QFETCH(char, to);
    QFETCH(QByteArray, readBack);
    FlrigStation station(FlrigRadio('3', direct));
    QVERIFY2(station.Problem().isEmpty(), qPrintable(station.Problem()));

    const QByteArray said = RunFlrigRigctl(station, {"F", "14074000", "M", mode, "0", "f", "m"});
    QVERIFY(station.panel.Settle());
    QCOMPARE(station.panel.Radio().state().frequency10Hz, 1407400);
    QCOMPARE(station.panel.Radio().state().mode, to);
    QVERIFY2(said.startsWith("14074000\n" + readBack + '\n'), said.constData());
    QCOMPARE(PanelDiffersFromRadio(station.panel.View(), station.panel.Radio().state()), QString());
}

// Keyed through the one holder, named as the program's address, so a
// rig-control client meanwhile is refused; killed while keyed, the
// transmitter goes back to receive.
void E2eFlrigTest::rigctl_keysAndUnkeys_andALeavingClientUnkeys()
{
    FlrigStation station(FlrigRadio('1', false));
    QVERIFY2(station.Problem().isEmpty(), qPrintable(station.Problem()));
    QProcess rigctl;
    rigctl.start(HamlibRigctl(), station.Address() << QStringLiteral("-"));
    rigctl.write("T 1\n");
    QTRY_VERIFY_WITH_TIMEOUT(station.Keyed(), kClientMs);
    QVERIFY(station.holder.Holder().has_value());
    QVERIFY(station.holder.Holder()->Who().startsWith(QStringLiteral("station program 127.0.0.1:")));
    QCOMPARE(station.holder.Holder()->how, QStringLiteral("flrig set_ptt"));
    const QStringList rigctlAddress{"-m", "2", "-r", QStringLiteral("127.0.0.1:%1").arg(station.rigctlServer.Port())};
    const QByteArray refused = RunFlrigRigctl(station, {"T", "1"}, rigctlAddress);
    QVERIFY2(refused.contains("set_ptt: error"), refused.constData());
    QCOMPARE(station.holder.Holder()->how, QStringLiteral("flrig set_ptt"));
    rigctl.write("T 0\n");
    QTRY_VERIFY_WITH_TIMEOUT(!station.Keyed(), kClientMs);

    QSignalSpy ended(&station.holder, &CTransmitHolder::Ended);
    rigctl.write("T 1\n");
    QTRY_VERIFY_WITH_TIMEOUT(station.Keyed(), kClientMs);
    rigctl.kill();
    QTRY_VERIFY_WITH_TIMEOUT(!station.Keyed(), kClientMs);
    QVERIFY(!station.holder.Holder());
    QCOMPARE(ended.last().at(1).toString(), QStringLiteral("the client went away"));
    rigctl.waitForFinished(3000);
}

QTEST_MAIN(E2eFlrigTest)
#include "e2e_flrig.moc"
