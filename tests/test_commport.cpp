// The communications control over a real device: settings texts, which
// device a port number names, and a pseudo-terminal standing in for the
// radio's serial line.
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <fcntl.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include "link/commsettings.h"
#include "link/mscomm.h"

namespace {

// The radio's end of a pseudo-terminal, driven with plain POSIX calls.
class PtyMaster {
public:
    PtyMaster()
    {
        m_fd = posix_openpt(O_RDWR | O_NOCTTY);
        if (m_fd < 0 || grantpt(m_fd) != 0 || unlockpt(m_fd) != 0)
            return;
        termios raw{};
        tcgetattr(m_fd, &raw);
        cfmakeraw(&raw);
        tcsetattr(m_fd, TCSANOW, &raw);
        fcntl(m_fd, F_SETFL, fcntl(m_fd, F_GETFL) | O_NONBLOCK);
        m_slave = QString::fromLocal8Bit(ptsname(m_fd));
    }
    ~PtyMaster()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    QString SlavePath() const { return m_slave; }
    bool Write(const QByteArray& bytes) { return ::write(m_fd, bytes.constData(), bytes.size()) == bytes.size(); }
    // Everything the panel's side has written so far.
    QByteArray Received()
    {
        char buffer[256];
        ssize_t n;
        while ((n = ::read(m_fd, buffer, sizeof buffer)) > 0)
            m_received.append(buffer, int(n));
        return m_received;
    }

private:
    int m_fd = -1;
    QString m_slave;
    QByteArray m_received;
};

void MapPort(int port, const QString& device)
{
    QSettings profile(QString::fromLatin1(g_szRegistryKey), QString::fromLatin1(g_szProfileName));
    profile.setValue(QStringLiteral("Ports/COM%1").arg(port), device);
    profile.sync();
}

// The control set up as start-up sets it, on the given port.
void ConfigureAsStartup(CMSComm& comm, short port)
{
    comm.SetCommPort(port);
    comm.SetSettings(" 9600,O,7,1");
    comm.SetInputLen(1);
    comm.SetInputMode(0);
    comm.SetRTSEnable(true);
    comm.SetRThreshold(1);
    comm.SetSThreshold(1);
}

} // namespace

class TestCommPort : public QObject {
    Q_OBJECT

    QTemporaryDir m_config;

private slots:
    void initTestCase();

    void parseCommSettings_acceptsWellFormedTexts_data();
    void parseCommSettings_acceptsWellFormedTexts();
    void parseCommSettings_rejectsMalformedTexts_data();
    void parseCommSettings_rejectsMalformedTexts();
    void setSettings_rejectsMalformedTextAndKeepsTheOld();
    void deviceForCommPort_takesTheProfileMapping();
    void deviceForCommPort_fallsBackToTheNthSerialPort_data();
    void deviceForCommPort_fallsBackToTheNthSerialPort();
    void portNumberBelowOne_throws_data();
    void portNumberBelowOne_throws();
    void missingDevice_throwsAndStaysClosed();
    void pseudoTerminal_opensAlthoughItRefusesSomeSettings();
    void pseudoTerminal_carriesCommandsOut();
    void pseudoTerminal_deliversOneEventPerCharacter();
};

// The profile must point at a scratch place before anything reads it.
void TestCommPort::initTestCase()
{
    QVERIFY(m_config.isValid());
    qputenv("XDG_CONFIG_HOME", m_config.path().toLocal8Bit());
}

void TestCommPort::parseCommSettings_acceptsWellFormedTexts_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("baud");
    QTest::addColumn<char>("parity");
    QTest::addColumn<int>("dataBits");
    QTest::addColumn<int>("stopBits");
    QTest::addColumn<bool>("oneAndHalf");
    QTest::newRow("panel default") << QByteArray(" 9600,O,7,1") << 9600 << 'O' << 7 << 1 << false;
    QTest::newRow("control default") << QByteArray("9600,N,8,1") << 9600 << 'N' << 8 << 1 << false;
    QTest::newRow("even, two stop bits") << QByteArray("19200,E,8,2") << 19200 << 'E' << 8 << 2 << false;
    QTest::newRow("mark, one and a half") << QByteArray("  300,M,5,1.5") << 300 << 'M' << 5 << 1 << true;
    QTest::newRow("space, four bits") << QByteArray(" 1200,S,4,1") << 1200 << 'S' << 4 << 1 << false;
    QTest::newRow("lower-case parity") << QByteArray("4800,o,7,1") << 4800 << 'O' << 7 << 1 << false;
}

void TestCommPort::parseCommSettings_acceptsWellFormedTexts()
{
    QFETCH(QByteArray, text);
    QFETCH(int, baud);
    QFETCH(char, parity);
    QFETCH(int, dataBits);
    QFETCH(int, stopBits);
    QFETCH(bool, oneAndHalf);
    const auto settings = ParseCommSettings(text);
    QVERIFY(settings);
    QCOMPARE(settings->baudRate, baud);
    QCOMPARE(settings->parity, parity);
    QCOMPARE(settings->dataBits, dataBits);
    QCOMPARE(settings->stopBits, stopBits);
    QCOMPARE(settings->oneAndHalfStopBits, oneAndHalf);
}

void TestCommPort::parseCommSettings_rejectsMalformedTexts_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::newRow("empty") << QByteArray("");
    QTest::newRow("baud only") << QByteArray("9600");
    QTest::newRow("three fields") << QByteArray("9600,O,7");
    QTest::newRow("five fields") << QByteArray("9600,O,7,1,1");
    QTest::newRow("channel-file spacing") << QByteArray(" 9600 O 7 1");
    QTest::newRow("baud not a number") << QByteArray("fast,O,7,1");
    QTest::newRow("baud zero") << QByteArray("0,O,7,1");
    QTest::newRow("baud negative") << QByteArray("-9600,O,7,1");
    QTest::newRow("parity unknown") << QByteArray("9600,X,7,1");
    QTest::newRow("parity two letters") << QByteArray("9600,OE,7,1");
    QTest::newRow("parity missing") << QByteArray("9600,,7,1");
    QTest::newRow("nine data bits") << QByteArray("9600,O,9,1");
    QTest::newRow("three data bits") << QByteArray("9600,O,3,1");
    QTest::newRow("three stop bits") << QByteArray("9600,O,7,3");
    QTest::newRow("zero stop bits") << QByteArray("9600,O,7,0");
    QTest::newRow("stop bits missing") << QByteArray("9600,O,7,");
}

void TestCommPort::parseCommSettings_rejectsMalformedTexts()
{
    QFETCH(QByteArray, text);
    QVERIFY(!ParseCommSettings(text));
}

void TestCommPort::setSettings_rejectsMalformedTextAndKeepsTheOld()
{
    CMSComm comm;
    comm.SetSettings(" 9600,O,7,1");
    try {
        comm.SetSettings("9600,O,7");
        QFAIL("a malformed settings text was taken");
    } catch (const CommError& error) {
        QCOMPARE(error.kind, CommErrorKind::BadSettings);
    }
    QCOMPARE(comm.GetSettings(), QByteArray(" 9600,O,7,1"));
}

void TestCommPort::deviceForCommPort_takesTheProfileMapping()
{
    MapPort(3, QStringLiteral("/dev/ttyUSB7"));
    QCOMPARE(DeviceForCommPort(3), QStringLiteral("/dev/ttyUSB7"));
    const QString file = m_config.filePath(QStringLiteral("Local AppWizard-Generated Applications/Tavrin.conf"));
    QVERIFY2(QFile::exists(file), qPrintable(file));
}

void TestCommPort::deviceForCommPort_fallsBackToTheNthSerialPort_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("device");
    QTest::newRow("COM1") << 1 << "/dev/ttyS0";
    QTest::newRow("COM2") << 2 << "/dev/ttyS1";
    QTest::newRow("COM4 beside a mapped COM3") << 4 << "/dev/ttyS3";
    QTest::newRow("COM16") << 16 << "/dev/ttyS15";
}

void TestCommPort::deviceForCommPort_fallsBackToTheNthSerialPort()
{
    QFETCH(int, port);
    QFETCH(QString, device);
    MapPort(3, QStringLiteral("/dev/ttyUSB7"));
    QCOMPARE(DeviceForCommPort(port), device);
}

void TestCommPort::portNumberBelowOne_throws_data()
{
    QTest::addColumn<int>("port");
    QTest::newRow("0") << 0;
    QTest::newRow("-1") << -1;
}

void TestCommPort::portNumberBelowOne_throws()
{
    QFETCH(int, port);
    CMSComm comm;
    comm.SetCommPort(2);
    QVERIFY_THROWS_EXCEPTION(CommError, comm.SetCommPort(short(port)));
    QCOMPARE(comm.GetCommPort(), short(2));
}

void TestCommPort::missingDevice_throwsAndStaysClosed()
{
    const QString missing = m_config.filePath(QStringLiteral("no-such-tty"));
    MapPort(9, missing);
    CMSComm comm;
    ConfigureAsStartup(comm, 9);
    try {
        comm.SetPortOpen(true);
        QFAIL("a missing device opened");
    } catch (const CommError& error) {
        QCOMPARE(error.kind, CommErrorKind::OpenFailed);
        QVERIFY2(error.text.contains(missing), qPrintable(error.text));
    }
    QVERIFY(!comm.GetPortOpen());
    QVERIFY_THROWS_EXCEPTION(CommError, comm.SetOutput(QVariant(QByteArray("?\n"))));
    comm.SetDTREnable(false); // nothing to write it to, and no harm done
}

void TestCommPort::pseudoTerminal_opensAlthoughItRefusesSomeSettings()
{
    PtyMaster radio;
    QVERIFY(!radio.SlavePath().isEmpty());
    MapPort(5, radio.SlavePath());
    CMSComm comm;
    ConfigureAsStartup(comm, 5);
    comm.SetPortOpen(true);
    QVERIFY(comm.GetPortOpen());
    QCOMPARE(comm.DeviceName(), radio.SlavePath());
    comm.SetDTREnable(false);
    comm.SetDTREnable(true);
    comm.SetSettings("19200,N,8,1"); // applied to the open port
    QCOMPARE(comm.GetSettings(), QByteArray("19200,N,8,1"));
}

void TestCommPort::pseudoTerminal_carriesCommandsOut()
{
    PtyMaster radio;
    MapPort(5, radio.SlavePath());
    CMSComm comm;
    ConfigureAsStartup(comm, 5);
    comm.SetPortOpen(true);
    comm.SetOutput(QVariant(QByteArray("?\n")));
    comm.SetOutput(QVariant(QByteArray("F0703525\n")));
    QTRY_COMPARE_WITH_TIMEOUT(radio.Received(), QByteArray("?\nF0703525\n"), 2000);
}

void TestCommPort::pseudoTerminal_deliversOneEventPerCharacter()
{
    PtyMaster radio;
    MapPort(5, radio.SlavePath());
    CMSComm comm;
    ConfigureAsStartup(comm, 5);
    comm.SetPortOpen(true);
    QByteArrayList inputs;
    connect(&comm, &CMSComm::OnComm, this, [&] {
        QCOMPARE(comm.GetCommEvent(), short(CMSComm::comEvReceive));
        inputs << comm.GetInput().toByteArray();
    });
    const QByteArray report("F0703525 M2 K \n");
    QVERIFY(radio.Write(report));
    QTRY_COMPARE_WITH_TIMEOUT(inputs.join(), report, 2000);
    QCOMPARE(inputs.size(), report.size());
    for (const QByteArray& input : inputs)
        QCOMPARE(input.size(), 1);
}

QTEST_MAIN(TestCommPort)
#include "test_commport.moc"
