// The radio on another machine, through Debian's own ser2net: the panel on
// socket://, rfc2217:// and rfc2217:// inside TLS (certificates made here
// with openssl), ser2net killed and started again, and the connections a
// careful far end refuses. ser2net publishes the simulated radio's pty on
// free loopback ports, in a configuration this test writes. Last, the real
// program in a process of its own under a flood from a raw far end.
#include <QAbstractButton>
#include <QElapsedTimer>
#include <QProcess>
#include <QFile>
#include <QSslCertificate>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>
#include <csignal>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include "link/commsettings.h"
#include "panel/tavrinview.h"
#include "panelonradio.h"
#include "portwatch/portreopener.h"
#include "programdesk.h"
#include "res/resource.h"
#include "ser2netkit.h"
#include "support/floodingfarend.h"
#include "support/panelkit.h"
#include "support/timelimits.h"

using radiosim::RadioState;
using ser2netkit::Ports;
using ser2netkit::Ser2net;
using ser2netkit::Tool;

namespace {

// The baud rate and stop bits the radio's line is set to now.
QString LineSettings(const QString& pty)
{
    const int fd = ::open(QFile::encodeName(pty).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios t{};
    const bool read = fd >= 0 && tcgetattr(fd, &t) == 0;
    if (fd >= 0)
        ::close(fd);
    const speed_t speed = cfgetospeed(&t);
    const QString baud = speed == B4800 ? QStringLiteral("4800") : speed == B9600 ? QStringLiteral("9600") : QStringLiteral("other");
    return read ? baud + ((t.c_cflag & CSTOPB) ? QStringLiteral(" 2 stop") : QStringLiteral(" 1 stop")) : QStringLiteral("unreadable");
}

// 4800 baud and 2 stop bits, where ser2net starts the line at 9600 and 1.
QByteArray ChannelFileAt4800()
{
    QByteArray file = RadioChannelFile();
    return file.replace(0, file.indexOf('\r'), "1  4800 O 7 2");
}

// The simulated radio, ser2net publishing its line, and the panel, made but
// not started, with COM1 leading to one of ser2net's ways in.
struct RadioBehindSer2net {
    RadioBehindSer2net(const QString& dir, const Ports& ports, const RadioState& state = RadioState(),
                       const QByteArray& channelFile = RadioChannelFile())
        : panel(state, channelFile), daemon(dir, panel.Radio().portName(), ports)
    {
    }
    bool Up(const QString& url)
    {
        SetDeviceForCommPort(1, url);
        return panel.SetupProblem().isEmpty() && daemon.Start();
    }
    PanelOnRadio panel;
    Ser2net daemon;
};

} // namespace

class E2eNetPortTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void eachWayIn_bringsThePanelToTheRadio_data();
    void eachWayIn_bringsThePanelToTheRadio();
    void lastCommandBeforeClosing_reachesTheFarEnd();
    void ser2netRestarted_panelIsBackWithinFiveSeconds();
    void refusedConnections_sayWhyAndReachNothing_data();
    void refusedConnections_sayWhyAndReachNothing();
    void aFloodFromTheFarEnd_leavesTheProgramAnsweringAndEndingOnSignal();

private:
    QString Url(const QString& way) const;
    QTemporaryDir m_profile;
    QTemporaryDir m_dir;
    Ports m_ports;
};

void E2eNetPortTest::initTestCase()
{
    QVERIFY2(!Tool(QStringLiteral("ser2net")).isEmpty(), "ser2net is not installed (apt-get install ser2net)");
    QVERIFY2(!Tool(QStringLiteral("openssl")).isEmpty(), "openssl is not installed (apt-get install openssl)");
    QVERIFY(UseScratchProfileSettings(m_profile));
    QVERIFY(ser2netkit::MakeCertificates(m_dir.path()));
    m_ports = Ports::Free();
}

QString E2eNetPortTest::Url(const QString& way) const
{
    const QString d = m_dir.path();
    const QString tls = QStringLiteral("rfc2217://127.0.0.1:%1?tls=1").arg(m_ports.tls);
    if (way == "raw")
        return QStringLiteral("socket://127.0.0.1:%1").arg(m_ports.raw);
    if (way == "rfc2217")
        return QStringLiteral("rfc2217://127.0.0.1:%1").arg(m_ports.telnet);
    if (way == "tls")
        return tls + QStringLiteral("&ca=%1/server.crt&cert=%1/tavrin.crt&key=%1/tavrin.key").arg(d);
    if (way == "pinned") {
        const QList<QSslCertificate> server = QSslCertificate::fromPath(d + "/server.crt");
        const QString fp = server.isEmpty() ? QString() : QString::fromLatin1(server.first().digest(QCryptographicHash::Sha256).toHex());
        return tls + QStringLiteral("&fp=%1&cert=%2/tavrin.crt&key=%2/tavrin.key").arg(fp, d);
    }
    if (way == "stranger")
        return tls + QStringLiteral("&ca=%1/server.crt&cert=%1/stranger.crt&key=%1/stranger.key").arg(d);
    if (way == "no client certificate")
        return tls + QStringLiteral("&ca=%1/server.crt").arg(d);
    return tls + QStringLiteral("&ca=%1/other.crt&cert=%1/tavrin.crt&key=%1/tavrin.key").arg(d); // wrong CA
}

void E2eNetPortTest::eachWayIn_bringsThePanelToTheRadio_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("line");
    QTest::newRow("raw TCP: the line keeps ser2net's settings") << "raw" << "9600 1 stop";
    QTest::newRow("RFC 2217: the channel file's settings travel") << "rfc2217" << "4800 2 stop";
    QTest::newRow("RFC 2217 in TLS, CA and client certificate") << "tls" << "4800 2 stop";
    QTest::newRow("RFC 2217 in TLS, pinned server certificate") << "pinned" << "4800 2 stop";
}

void E2eNetPortTest::eachWayIn_bringsThePanelToTheRadio()
{
    QFETCH(QString, way);
    QFETCH(QString, line);
    RadioState before;
    before.setFrequencyKHz(7155.5);
    before.mode = '2';
    RadioBehindSer2net rig(m_dir.path(), m_ports, before, ChannelFileAt4800());
    QVERIFY(rig.Up(Url(way)));
    PanelOnRadio& panel = rig.panel;
    CTavrinView& view = panel.View();
    panel.Start();
    QTRY_VERIFY2_WITH_TIMEOUT(view.Comm().GetPortOpen(), qPrintable(view.PortProblem()), 5000);
    QVERIFY(panel.Settle());
    QCOMPARE(view.PortProblem(), QString());
    QCOMPARE(PanelDiffersFromRadio(view, panel.Radio().state()), QString());
    QCOMPARE(LineSettings(panel.Radio().portName()), line);

    Click(view.Form().Button(IDC_FREQ_UP)); // 1 kHz, the start-up step
    QVERIFY(panel.Settle());
    QCOMPARE(panel.Radio().state().frequencyKHz(), 7156.5);
    QCOMPARE(PanelDiffersFromRadio(view, panel.Radio().state()), QString());
    QCOMPARE(panel.messages, QStringList());
}

// As the program ends, the unkey is written and the port closed at once,
// with no event loop after it. The far end here is the test's own socket:
// ser2net passes on what it has read, but a radio simulated in this thread
// could not read its pty while the panel waits for ser2net to close.
void E2eNetPortTest::lastCommandBeforeClosing_reachesTheFarEnd()
{
    QTcpServer farEnd;
    QVERIFY(farEnd.listen(QHostAddress::LocalHost, 0));
    PanelOnRadio panel;
    SetDeviceForCommPort(1, QStringLiteral("socket://127.0.0.1:%1").arg(farEnd.serverPort()));
    CTavrinView& view = panel.View();
    panel.Start();
    QTRY_VERIFY_WITH_TIMEOUT(view.Comm().GetPortOpen(), 5000);
    QTcpSocket* radioSide = farEnd.nextPendingConnection();
    QVERIFY(radioSide);
    view.Dispatch([&view] {
        view.SendCommand("U");
        view.Comm().SetPortOpen(false);
    });
    QByteArray heard;
    QTRY_VERIFY_WITH_TIMEOUT((heard += radioSide->readAll()).endsWith("A\nA\nA\nU"), 3000);
}

void E2eNetPortTest::ser2netRestarted_panelIsBackWithinFiveSeconds()
{
    RadioBehindSer2net rig(m_dir.path(), m_ports);
    QVERIFY(rig.Up(Url("rfc2217")));
    PanelOnRadio& panel = rig.panel;
    Ser2net& daemon = rig.daemon;
    CTavrinView& view = panel.View();
    auto* reopener = new CPortReopener(view);
    panel.Start();
    QTRY_VERIFY_WITH_TIMEOUT(view.Comm().GetPortOpen(), 5000);
    QVERIFY(panel.Settle());

    daemon.Stop();
    QTRY_VERIFY_WITH_TIMEOUT(view.PortProblem().contains(QStringLiteral("lost")), 5000);
    QVERIFY(reopener->IsRetrying());
    RadioState changed = panel.Radio().state();
    changed.setFrequencyKHz(14230.0);
    panel.Radio().setState(changed);
    QVERIFY(daemon.Start());
    QElapsedTimer sinceRestart;
    sinceRestart.start();
    QTRY_VERIFY_WITH_TIMEOUT(view.PortProblem().isEmpty(), 5000);
    QVERIFY2(sinceRestart.elapsed() < 5000, qPrintable(QString::number(sinceRestart.elapsed())));
    QVERIFY(panel.Settle());
    QCOMPARE(PanelDiffersFromRadio(view, panel.Radio().state()), QString());
    QVERIFY(!reopener->IsRetrying());
}

void E2eNetPortTest::refusedConnections_sayWhyAndReachNothing_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("words");
    QTest::newRow("another client holds the radio") << "busy" << "Port's device already in use";
    QTest::newRow("a client certificate the server does not trust") << "stranger" << "did not accept the client certificate";
    QTest::newRow("no client certificate") << "no client certificate" << "may want a client certificate";
    QTest::newRow("the wrong CA") << "wrong CA" << "failed the check against the CA in";
}

void E2eNetPortTest::refusedConnections_sayWhyAndReachNothing()
{
    QFETCH(QString, way);
    QFETCH(QString, words);
    RadioBehindSer2net rig(m_dir.path(), m_ports);
    QVERIFY(rig.Up(Url(way == "busy" ? QStringLiteral("raw") : way)));
    QTcpSocket holder;
    if (way == "busy") {
        holder.connectToHost(QHostAddress::LocalHost, m_ports.telnet);
        QVERIFY(holder.waitForConnected(3000) && holder.waitForReadyRead(3000)); // ser2net has the line for it
    }
    PanelOnRadio& panel = rig.panel;
    CTavrinView& view = panel.View();
    panel.Start();
    QTRY_VERIFY2_WITH_TIMEOUT(view.PortProblem().contains(words), qPrintable(view.PortProblem()), 5000);
    // The title names the far end alone, so the reason has room; the
    // whole address stays in the words the dialog and the log get.
    const QString title = view.window()->windowTitle();
    QVERIFY2(title.contains(words) && !title.contains(QStringLiteral("://")), qPrintable(title));
    QVERIFY(title.contains(QStringLiteral("(127.0.0.1:")));
    QVERIFY(view.PortProblem().contains(view.Comm().DeviceName()));
    QVERIFY(!view.Comm().GetPortOpen());
    QTest::qWait(300);
    QCOMPARE(panel.Radio().commandsHandled(), 0);
}

// Characters without a line feed, as fast as the kernel takes them: the
// program goes on answering a station program within 100 ms and ends within
// 2 s of SIGTERM, as it does on a quiet line.
void E2eNetPortTest::aFloodFromTheFarEnd_leavesTheProgramAnsweringAndEndingOnSignal()
{
    constexpr int kAnswerMs = 100 * kSanitizedSlowdown;
    constexpr int kExitMs = 2000;
    FloodingFarEnd farEnd({}, QByteArray(64 * 1024, 'x'), -1);
    const quint16 rigctl = FreePort();
    ProgramDesk desk;
    QVERIFY(desk.PutChannelFileIn(QStringLiteral("<root>/start")));
    QProcess tavrin;
    desk.Start(tavrin, {"--port", QStringLiteral("socket://127.0.0.1:%1").arg(farEnd.Port()), "--rigctl-port", QString::number(rigctl)}, {});
    QTcpSocket station;
    QVERIFY2(QTest::qWaitFor([&] {
                 if (station.state() == QAbstractSocket::UnconnectedState)
                     station.connectToHost(QHostAddress::LocalHost, rigctl);
                 return farEnd.Connected() && station.waitForConnected(50);
             }, 15000),
             tavrin.readAllStandardError().constData());
    QTest::qWait(300); // the flood is under way
    const qint64 sentBefore = farEnd.Sent();
    for (int probe = 0; probe < 10; ++probe) {
        QElapsedTimer took;
        took.start();
        station.write("f\n");
        QVERIFY(QTest::qWaitFor([&] { return station.canReadLine(); }, 5 * kAnswerMs));
        QVERIFY2(took.elapsed() < kAnswerMs, qPrintable(QStringLiteral("probe %1: %2 ms").arg(probe).arg(took.elapsed())));
        station.readAll();
        QTest::qWait(50);
    }
    QVERIFY2(farEnd.Sent() - sentBefore > 64 * 1024, qPrintable(QString::number(farEnd.Sent() - sentBefore)));

    QElapsedTimer ending;
    ending.start();
    ::kill(pid_t(tavrin.processId()), SIGTERM);
    QVERIFY(tavrin.waitForFinished(3 * kExitMs));
    QVERIFY2(ending.elapsed() < kExitMs, qPrintable(QString::number(ending.elapsed())));
    QCOMPARE(tavrin.exitStatus(), QProcess::NormalExit);
    QCOMPARE(tavrin.exitCode(), 0);
}

QTEST_MAIN(E2eNetPortTest)
#include "e2e_netport.moc"
