#include "radiosimulator.h"
#include "statusreport.h"

#include <QDeadlineTimer>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

using radiosim::FaultSettings;
using radiosim::RadioSimulator;

namespace {

// Plays the panel's end with plain POSIX calls, so the test does not lean
// on the serial-port code it is meant to serve.
class SlaveEnd
{
public:
    explicit SlaveEnd(const QString &path)
        : m_fd(::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK))
    {
    }
    ~SlaveEnd() { close(); }

    bool isOpen() const { return m_fd >= 0; }
    void close()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }
    bool write(const QByteArray &bytes)
    {
        return ::write(m_fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    }
    // Reads until `lines` line feeds have come or the time is up, keeping
    // the event loop going so the simulator can answer.
    QByteArray readLines(int lines, int timeoutMs = 2000)
    {
        QByteArray got;
        QDeadlineTimer deadline(timeoutMs);
        while (got.count('\n') < lines && !deadline.hasExpired()) {
            QTest::qWait(5);
            got += readAvailable();
        }
        return got;
    }
    QByteArray readAvailable()
    {
        char buffer[256];
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        m_hungUp = n == 0 || (n < 0 && errno == EIO);
        return n > 0 ? QByteArray(buffer, int(n)) : QByteArray();
    }
    // The last read found the other end gone rather than merely quiet.
    bool hungUp() const { return m_hungUp; }

private:
    int m_fd;
    bool m_hungUp = false;
};

} // namespace

class TestPtyLink : public QObject
{
    Q_OBJECT

private slots:
    void slaveWrite_changesTheModelAndGetsItsReply();
    void commandSplitAcrossWrites_isHandledOnce();
    void panelReopeningThePort_findsTheLineStillUp();
    void delayedChunkedReplies_arriveLateButWhole();
    void disconnect_takesTheLineAwayOnce();
    void reconnect_comesBackOnANewLineUnderTheSameStableName();
};

void TestPtyLink::slaveWrite_changesTheModelAndGetsItsReply()
{
    RadioSimulator sim;
    QVERIFY2(sim.start(), qPrintable(sim.errorString()));
    QVERIFY(sim.portName().startsWith("/dev/"));
    SlaveEnd panel(sim.portName());
    QVERIFY(panel.isOpen());
    QVERIFY(panel.write("?\n"));
    QCOMPARE(panel.readLines(1), radiosim::StatusReport::full(sim.state()));
    QVERIFY(panel.write("F1425000\n"));
    QCOMPARE(panel.readLines(1), QByteArray("F1425000 \n"));
    QCOMPARE(sim.state().frequency10Hz, 1425000);
}

void TestPtyLink::commandSplitAcrossWrites_isHandledOnce()
{
    RadioSimulator sim;
    QVERIFY(sim.start());
    SlaveEnd panel(sim.portName());
    QSignalSpy handled(&sim, &RadioSimulator::inputHandled);
    QVERIFY(panel.write("M"));
    QVERIFY(handled.wait(1000));
    QCOMPARE(sim.state().mode, '1');
    QVERIFY(panel.write("\nM\n"));
    QCOMPARE(panel.readLines(2), QByteArray("M2 \nM3 \n"));
    QCOMPARE(sim.commandsHandled(), 2);
}

void TestPtyLink::panelReopeningThePort_findsTheLineStillUp()
{
    RadioSimulator sim;
    QVERIFY(sim.start());
    {
        SlaveEnd first(sim.portName());
        QVERIFY(first.write("K"));
        QCOMPARE(first.readLines(1), QByteArray("K \n"));
    }
    QTest::qWait(50);
    SlaveEnd second(sim.portName());
    QVERIFY(second.write("U"));
    QCOMPARE(second.readLines(1), QByteArray("U \n"));
}

void TestPtyLink::delayedChunkedReplies_arriveLateButWhole()
{
    RadioSimulator sim;
    FaultSettings faults;
    faults.delayMs = 300;
    faults.chunked = true;
    sim.setOutgoingFaults(faults);
    QVERIFY(sim.start());
    SlaveEnd panel(sim.portName());
    const QByteArray expected = radiosim::StatusReport::full(sim.state()) + "S1 \n";
    QVERIFY(panel.write("?\nS\n"));
    QVERIFY(panel.readLines(1, 150).isEmpty());
    QCOMPARE(panel.readLines(2, 3000), expected);
}

void TestPtyLink::disconnect_takesTheLineAwayOnce()
{
    RadioSimulator sim;
    QVERIFY(sim.start());
    SlaveEnd panel(sim.portName());
    QVERIFY(panel.readAvailable().isEmpty());
    QVERIFY(!panel.hungUp());
    QSignalSpy closed(&sim, &RadioSimulator::linkClosed);
    sim.disconnectLink();
    sim.disconnectLink();
    QCOMPARE(closed.count(), 1);
    QVERIFY(!sim.isConnected());
    QVERIFY(panel.readAvailable().isEmpty());
    QVERIFY(panel.hungUp());
    QVERIFY(!panel.write("?\n"));
}

// As udev does with /dev/serial/by-id: the name is there while the device
// is, and leads to whatever device comes back.
void TestPtyLink::reconnect_comesBackOnANewLineUnderTheSameStableName()
{
    QTemporaryDir dir;
    const QString stable = dir.filePath(QStringLiteral("usb-Harris_RF-350-if00"));
    {
        RadioSimulator sim;
        sim.setStablePath(stable);
        QVERIFY2(sim.start(), qPrintable(sim.errorString()));
        QCOMPARE(QFileInfo(stable).symLinkTarget(), sim.portName());
        SlaveEnd first(stable);
        QVERIFY(first.write("F1425000\n"));
        QCOMPARE(first.readLines(1), QByteArray("F1425000 \n"));
        const QString firstLine = sim.portName();

        sim.disconnectLink();
        QVERIFY(!QFileInfo(stable).isSymLink());
        QVERIFY(sim.reconnectLink());

        QVERIFY(sim.isConnected());
        QVERIFY(sim.portName() != firstLine); // the first line is still held open above
        QCOMPARE(QFileInfo(stable).symLinkTarget(), sim.portName());
        SlaveEnd second(stable);
        QVERIFY(second.write("?\n"));
        QCOMPARE(second.readLines(1), radiosim::StatusReport::full(sim.state()));
        QCOMPARE(sim.state().frequency10Hz, 1425000);
    }
    QVERIFY(!QFileInfo(stable).isSymLink()); // gone with the simulator
}

QTEST_GUILESS_MAIN(TestPtyLink)
#include "tst_ptylink.moc"
