// Station programs on the panel: Debian's own rigctl client (Hamlib's NET
// rigctl, model 2) talks to the panel's rig-control server on a loopback
// port, the panel talks to the simulated radio on a pty, all in this event
// loop; the test looks at what the radio did, and at what rigctl says when
// the radio falls silent or its port is lost.
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QtTest>

#include "panel/tavrinview.h"
#include "panelonradio.h"
#include "radiowatch/silencewatch.h"
#include "remote/rigserver.h"
#include "remote/viewrigseam.h"

using radiosim::RadioState;

namespace {

constexpr int kClientMs = 10000;

RadioState Radio(char mode, bool direct, double kHz = 7035.25)
{
    RadioState s;
    s.setFrequencyKHz(kHz);
    s.mode = mode;
    s.directMode = direct;
    return s;
}

// The panel on its radio, with the server on a free loopback port.
class StationOnPanel {
public:
    explicit StationOnPanel(const RadioState& radio) : panel(radio)
    {
        if (!panel.SetupProblem().isEmpty())
            return;
        panel.Start();
        panel.Settle();
        server.Listen(QHostAddress::LocalHost, 0);
    }
    QString Problem() const
    {
        if (!panel.SetupProblem().isEmpty())
            return panel.SetupProblem();
        return server.IsListening() ? QString() : server.ErrorString();
    }
    QStringList Address() const { return {QStringLiteral("-m"), QStringLiteral("2"), QStringLiteral("-r"),
                                          QStringLiteral("127.0.0.1:%1").arg(server.Port())}; }

    PanelOnRadio panel;
    CSilenceWatch silence{panel.View()};
    CViewRigSeam seam{panel.View(), silence};
    CRigServer server{seam};
};

QString Rigctl() { return QStandardPaths::findExecutable(QStringLiteral("rigctl")); }

// One run of rigctl with its commands as arguments; the loop turns meanwhile,
// for the server and the radio are in this process.
QByteArray RunRigctl(const StationOnPanel& station, const QStringList& commands, int* exitCode = nullptr,
                     QByteArray* errors = nullptr)
{
    QProcess rigctl;
    rigctl.start(Rigctl(), station.Address() + commands);
    if (!QTest::qWaitFor([&] { return rigctl.state() == QProcess::NotRunning; }, kClientMs))
        rigctl.kill();
    if (exitCode)
        *exitCode = rigctl.exitStatus() == QProcess::NormalExit ? rigctl.exitCode() : -1;
    if (errors)
        *errors = rigctl.readAllStandardError();
    return rigctl.readAllStandardOutput();
}

// rigctl reading its commands from stdin: one connection that stays open.
class InteractiveRigctl {
public:
    explicit InteractiveRigctl(const StationOnPanel& station)
    {
        process.start(Rigctl(), station.Address() << QStringLiteral("-"));
    }
    ~InteractiveRigctl()
    {
        process.closeWriteChannel();
        if (!QTest::qWaitFor([this] { return process.state() == QProcess::NotRunning; }, kClientMs))
            process.kill();
    }
    void Send(const QByteArray& line) { process.write(line + '\n'); }
    QProcess process;
};

bool Keyed(StationOnPanel& station) { return station.panel.Radio().state().keyed; }

} // namespace

class E2eRigctlTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void rigctl_readsWhatTheRadioLastReported();
    void rigctl_tunesTheRadio_data();
    void rigctl_tunesTheRadio();
    void rigctl_setsTheMode_data();
    void rigctl_setsTheMode();
    void rigctl_frequencyThenModeAtOnce_radioKeepsTheNewFrequency_data();
    void rigctl_frequencyThenModeAtOnce_radioKeepsTheNewFrequency();
    void rigctl_keysAndUnkeys();
    void rigctlKilledWhileKeyed_radioGoesBackToReceive();
    void txTimeout_radioGoesBackToReceiveWhileTheClientStays();
    void sixteenClients_areServedAndASeventeenthWaitsForAPlace();
    void overlongLineAndGarbage_areAnsweredAndTheRadioHearsNothing();
    void silentRadio_aSetTimesOutThenReadingsDoUntilItReportsAgain();
    void lostPort_endsRigctlsCommandsWithAnIoError();

private:
    QTemporaryDir m_profile;
};

void E2eRigctlTest::initTestCase()
{
    QVERIFY(UseScratchProfileSettings(m_profile));
    QVERIFY2(!Rigctl().isEmpty(), "rigctl (Debian package libhamlib-utils) is not installed");
}

void E2eRigctlTest::rigctl_readsWhatTheRadioLastReported()
{
    StationOnPanel station(Radio('2', false));
    QVERIFY2(station.Problem().isEmpty(), qPrintable(station.Problem()));
    int exitCode = -1;
    QCOMPARE(RunRigctl(station, {"f", "m", "t"}, &exitCode), QByteArray("7035250\nLSB\n2400\n0\n"));
    QCOMPARE(exitCode, 0);
    QCOMPARE(station.server.ClientCount(), 0);
}

void E2eRigctlTest::rigctl_tunesTheRadio_data()
{
    QTest::addColumn<bool>("direct");
    QTest::addColumn<QString>("hz");
    QTest::addColumn<int>("radio10Hz");
    QTest::newRow("step mode, 20 m FT8") << false << "14074000" << 1407400;
    QTest::newRow("direct mode, 80 m") << true << "3573000" << 357300;
    QTest::newRow("top of the field") << false << "99999990" << 9999999;
}

void E2eRigctlTest::rigctl_tunesTheRadio()
{
    QFETCH(bool, direct);
    QFETCH(QString, hz);
    QFETCH(int, radio10Hz);
    StationOnPanel station(Radio('1', direct));
    QVERIFY2(station.Problem().isEmpty(), qPrintable(station.Problem()));

    const QByteArray read = RunRigctl(station, {"F", hz, "f"});
    QVERIFY(station.panel.Settle());
    QCOMPARE(station.panel.Radio().state().frequency10Hz, radio10Hz);
    QCOMPARE(read, QByteArray::number(qint64(radio10Hz) * 10) + '\n');
    QCOMPARE(PanelDiffersFromRadio(station.panel.View(), station.panel.Radio().state()), QString());
}

void E2eRigctlTest::rigctl_setsTheMode_data()
{
    QTest::addColumn<bool>("direct");
    QTest::addColumn<char>("from");
    QTest::addColumn<QString>("mode");
    QTest::addColumn<char>("to");
    for (bool direct : {false, true}) {
        const char* how = direct ? "direct" : "step";
        QTest::addRow("%s: USB to CW", how) << direct << '1' << "CW" << '4';
        QTest::addRow("%s: CW to AM", how) << direct << '4' << "AM" << '3';
        QTest::addRow("%s: AM to PKTUSB", how) << direct << '3' << "PKTUSB" << '1';
        QTest::addRow("%s: USB to PKTLSB", how) << direct << '1' << "PKTLSB" << '2';
    }
}

void E2eRigctlTest::rigctl_setsTheMode()
{
    QFETCH(bool, direct);
    QFETCH(char, from);
    QFETCH(QString, mode);
    QFETCH(char, to);
    StationOnPanel station(Radio(from, direct));
    QVERIFY2(station.Problem().isEmpty(), qPrintable(station.Problem()));

    int exitCode = -1;
    RunRigctl(station, {"M", mode, "0"}, &exitCode);
    QCOMPARE(exitCode, 0);
    QVERIFY(station.panel.Settle());
    QCOMPARE(Described(station.panel.Radio().state()), Described(Radio(to, direct)));
    QCOMPARE(PanelDiffersFromRadio(station.panel.View(), station.panel.Radio().state()), QString());
}

// In direct mode a mode change sends the radio's last reported frequency
// again: the server answers the frequency only once the radio reports it,
// so the mode that follows carries the new one, not the old. The radio
// answers as late as a 9600-baud line would let it.
void E2eRigctlTest::rigctl_frequencyThenModeAtOnce_radioKeepsTheNewFrequency_data()
{
    QTest::addColumn<bool>("direct");
    QTest::newRow("step mode") << false;
    QTest::newRow("direct mode") << true;
}

void E2eRigctlTest::rigctl_frequencyThenModeAtOnce_radioKeepsTheNewFrequency()
{
    QFETCH(bool, direct);
    StationOnPanel station(Radio('2', direct));
    QVERIFY2(station.Problem().isEmpty(), qPrintable(station.Problem()));
    radiosim::FaultSettings lineDelay;
    lineDelay.delayMs = 40;
    station.panel.Radio().setOutgoingFaults(lineDelay);

    RunRigctl(station, {"F", "14074000", "M", "PKTUSB", "3000"});
    QVERIFY(station.panel.Settle());
    QCOMPARE(Described(station.panel.Radio().state()), Described(Radio('1', direct, 14074.0)));
}

void E2eRigctlTest::rigctl_keysAndUnkeys()
{
    StationOnPanel station(Radio('1', false));
    QVERIFY2(station.Problem().isEmpty(), qPrintable(station.Problem()));
    InteractiveRigctl rigctl(station);

    rigctl.Send("T 1");
    QTRY_VERIFY_WITH_TIMEOUT(Keyed(station), kClientMs);
    QVERIFY(station.panel.Settle());
    QCOMPARE(station.panel.View().m_nTxRx, 0);
    rigctl.Send("T 0");
    QTRY_VERIFY_WITH_TIMEOUT(!Keyed(station), kClientMs);
    QVERIFY(station.panel.Settle());
    QCOMPARE(station.panel.View().m_nTxRx, 1);
}

void E2eRigctlTest::rigctlKilledWhileKeyed_radioGoesBackToReceive()
{
    StationOnPanel station(Radio('1', true));
    QVERIFY2(station.Problem().isEmpty(), qPrintable(station.Problem()));
    InteractiveRigctl rigctl(station);
    rigctl.Send("T 1");
    QTRY_VERIFY_WITH_TIMEOUT(Keyed(station), kClientMs);

    rigctl.process.kill();
    QTRY_VERIFY_WITH_TIMEOUT(!Keyed(station), kClientMs);
    QCOMPARE(station.server.ClientCount(), 0);
}

void E2eRigctlTest::txTimeout_radioGoesBackToReceiveWhileTheClientStays()
{
    StationOnPanel station(Radio('1', false));
    QVERIFY2(station.Problem().isEmpty(), qPrintable(station.Problem()));
    station.server.Guard().SetTimeout(std::chrono::milliseconds(700));
    InteractiveRigctl rigctl(station);
    rigctl.Send("T 1");
    QTRY_VERIFY_WITH_TIMEOUT(Keyed(station), kClientMs);

    QTRY_VERIFY_WITH_TIMEOUT(!Keyed(station), 3000);
    QCOMPARE(station.server.ClientCount(), 1);
}

void E2eRigctlTest::sixteenClients_areServedAndASeventeenthWaitsForAPlace()
{
    StationOnPanel station(Radio('2', false));
    QVERIFY2(station.Problem().isEmpty(), qPrintable(station.Problem()));
    std::vector<std::unique_ptr<QTcpSocket>> clients;
    for (int i = 0; i < CRigServer::kMaxClients; ++i) {
        clients.push_back(std::make_unique<QTcpSocket>());
        clients.back()->connectToHost(QHostAddress::LocalHost, station.server.Port());
        clients.back()->write("f\n+m\n");
    }
    const QByteArray replies = "7035250\nget_mode:\nMode: LSB\nPassband: 2400\nRPRT 0\n";
    for (auto& client : clients) {
        QTRY_COMPARE(client->bytesAvailable(), replies.size());
        QCOMPARE(client->readAll(), replies);
    }
    QCOMPARE(station.server.ClientCount(), CRigServer::kMaxClients);

    int exitCode = 0;
    RunRigctl(station, {"f"}, &exitCode);
    QVERIFY(exitCode != 0);
    clients.pop_back();
    QTRY_COMPARE(station.server.ClientCount(), CRigServer::kMaxClients - 1);
    QCOMPARE(RunRigctl(station, {"f"}, &exitCode), QByteArray("7035250\n"));
    QCOMPARE(exitCode, 0);
}

void E2eRigctlTest::overlongLineAndGarbage_areAnsweredAndTheRadioHearsNothing()
{
    StationOnPanel station(Radio('2', false));
    QVERIFY2(station.Problem().isEmpty(), qPrintable(station.Problem()));
    const int commands = station.panel.Radio().commandsHandled();
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, station.server.Port());
    QByteArray noise;
    QRandomGenerator random(1212);
    for (int i = 0; i < 20000; ++i) {
        // Control characters and 8-bit bytes, in lines of any length.
        const char c = char(random.bounded(2) ? random.bounded(0, 32) : random.bounded(128, 256));
        noise += random.bounded(40) == 0 ? '\n' : c;
    }
    client.write(QByteArray(5000, 'F') + "\n" + noise + "\nf\n");

    QByteArray replies;
    QTRY_VERIFY_WITH_TIMEOUT((replies += client.readAll()).endsWith("7035250\n"), kClientMs);
    QByteArrayList lines = replies.chopped(1).split('\n');
    QCOMPARE(lines.takeFirst(), QByteArray("RPRT -1"));
    QCOMPARE(lines.takeLast(), QByteArray("7035250"));
    QVERIFY(lines.size() > 100);
    for (const QByteArray& line : lines)
        QVERIFY2(line == "RPRT -4" || line == "RPRT -1", line.constData());

    QVERIFY(station.panel.Settle());
    QCOMPARE(station.panel.Radio().commandsHandled(), commands);
    QCOMPARE(RunRigctl(station, {"m"}), QByteArray("LSB\n2400\n"));
}

// Switched off, or its cable cut behind the adapter: the radio still hears
// the panel but sends nothing. rigctl's exit status stays 0 whatever a
// command got; it prints "<command>: error = ..." and the reason.
void E2eRigctlTest::silentRadio_aSetTimesOutThenReadingsDoUntilItReportsAgain()
{
    StationOnPanel station(Radio('2', false));
    QVERIFY2(station.Problem().isEmpty(), qPrintable(station.Problem()));
    station.silence.SetSpan(std::chrono::milliseconds(3000));
    radiosim::FaultSettings silent;
    silent.dropRate = 1.0;
    station.panel.Radio().setOutgoingFaults(silent);

    QByteArray said = RunRigctl(station, {"F", "14074000", "f"});
    QVERIFY2(said.startsWith("set_freq: error") && said.contains("Communication timed out"), said.constData());
    QVERIFY2(said.endsWith("\n7035250\n"), said.constData());
    QTRY_VERIFY_WITH_TIMEOUT(station.silence.IsSilent(), 4000);
    QVERIFY(station.panel.View().window()->windowTitle().endsWith(QStringLiteral("no report from the radio for 3 s")));
    said = RunRigctl(station, {"f", "m", "t"});
    for (const char* failed : {"get_freq: error", "get_mode: error", "get_ptt: error", "Communication timed out"})
        QVERIFY2(said.contains(failed), said.constData());
    QVERIFY(!said.contains("7035250") && !said.contains("LSB"));

    station.panel.Radio().setOutgoingFaults({});
    station.panel.View().OnTimer(1);
    QTRY_VERIFY(!station.silence.IsSilent());
    // It heard the set it could not confirm.
    QCOMPARE(RunRigctl(station, {"f"}), QByteArray("14074000\n"));
}

// rigctl takes the I/O error for the loss of its own connection: it stops
// at the first one, and says so only when asked to be verbose.
void E2eRigctlTest::lostPort_endsRigctlsCommandsWithAnIoError()
{
    StationOnPanel station(Radio('2', false));
    QVERIFY2(station.Problem().isEmpty(), qPrintable(station.Problem()));
    station.panel.Radio().disconnectLink();
    QTRY_VERIFY_WITH_TIMEOUT(!station.panel.View().PortProblem().isEmpty(), 2000);

    QByteArray errors;
    QCOMPARE(RunRigctl(station, {"-vv", "f", "m"}, nullptr, &errors), QByteArray("Opened rig model 2, 'NET rigctl'\n"));
    QVERIFY2(errors.contains("main: i/o error"), errors.constData());
}

QTEST_MAIN(E2eRigctlTest)
#include "e2e_rigctl.moc"
