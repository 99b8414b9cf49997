// A hostile far end on loopback against the network port itself, sending as
// fast as the kernel takes it: data before the serial-port option has
// settled, data nobody reads, and telnet requests whose answers it never
// reads. The memory kept, the bytes queued to the far end and the trace
// written stay small; a closed connection keeps nothing.
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

#if defined(TAVRIN_SANITIZED)
// The sanitizer runtime's count of live heap bytes; GCC ships no header for it.
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

#include "link/serialtrace.h"
#include "netport/netportbackend.h"
#include "support/floodingfarend.h"
#include "support/panellog.h"

namespace {

constexpr qint64 kMiB = 1024 * 1024;
// Time enough for a sanitized build on a busy machine to take the whole
// flood; what is checked is what it keeps, not how fast it reads.
constexpr int kFloodEndsWithinMs = 20000;

// What the process holds. Under AddressSanitizer resident memory says
// nothing of that: freed blocks wait in its quarantine, hundreds of
// megabytes of them, so its own count of live allocations stands in.
qint64 HeldBytes()
{
#if defined(TAVRIN_SANITIZED)
    return qint64(__sanitizer_get_current_allocated_bytes());
#endif
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    return statm.readAll().split(' ').value(1).toLongLong() * sysconf(_SC_PAGESIZE);
}

QByteArray Repeated(const QByteArray& piece, qsizetype size) { return piece.repeated(size / piece.size()); }

// The event loop runs free until `done`, as the program's own does.
// QTest::qWaitFor sleeps 10 ms a round, and a port that takes a piece a
// turn crawls under it: on a slow machine the opening's deadline came first.
template <typename Done>
bool RunUntil(Done done, int timeoutMs)
{
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    check.start(1);
    loop.exec();
    return done();
}

} // namespace

class TestNetFlood : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { PanelLog::Capture(); }
    void aFlood_keepsLittleQueuesLittleAndTracesLittle_data();
    void aFlood_keepsLittleQueuesLittleAndTracesLittle();
};

void TestNetFlood::aFlood_keepsLittleQueuesLittleAndTracesLittle_data()
{
    QTest::addColumn<QString>("scheme");
    QTest::addColumn<QByteArray>("opening");
    QTest::addColumn<QByteArray>("pattern");
    QTest::addColumn<qint64>("total");
    // The far end cannot send it all: the port is open and takes none. Such a
    // flood waits for the port to open, as while opening it reads and drops.
    QTest::addColumn<bool>("heldBack");
    QTest::addColumn<QString>("ending");  // empty: the connection stays
    const QString dropped = QStringLiteral("bytes unread; disconnected");
    // While opening the telnet layer must go on, so the data is read and dropped.
    QTest::newRow("4 MB of data before the serial-port option settles")
        << "rfc2217" << QByteArray() << Repeated("x", 64 * 1024) << 4 * kMiB << false << QString();
    QTest::newRow("32 MB of data on an open raw port the panel does not take")
        << "socket" << QByteArray() << Repeated("x", 64 * 1024) << 32 * kMiB << true << QString();
    // Each DO makes four settings commands: the answers grow fastest.
    QTest::newRow("the serial-port option toggled, answers never read")
        << "rfc2217" << QByteArray() << Repeated(QByteArray("\xff\xfd\x2c\xff\xfe\x2c", 6), 60 * 1024) << 16 * kMiB << false << dropped;
    // The serial-port option agreed first, so the port opens and no opening
    // deadline can end the flood before the answers pile up.
    QTest::newRow("binary toggled, answers never read")
        << "rfc2217" << QByteArray("\xff\xfd\x2c", 3) << Repeated(QByteArray("\xff\xfd\x00\xff\xfe\x00", 6), 60 * 1024) << 32 * kMiB << false << dropped;
}

void TestNetFlood::aFlood_keepsLittleQueuesLittleAndTracesLittle()
{
    QFETCH(QString, scheme);
    QFETCH(QByteArray, opening);
    QFETCH(QByteArray, pattern);
    QFETCH(qint64, total);
    QFETCH(bool, heldBack);
    QFETCH(QString, ending);
    QTemporaryDir dir;
    QString error;
    QVERIFY2(CSerialTrace::OpenFile(dir.filePath(QStringLiteral("trace")), error), qPrintable(error));
    PanelLog::Lines().clear();
    const qint64 before = HeldBytes();
    FloodingFarEnd farEnd(opening, pattern, total, heldBack);
    NetPortBackend port;
    QSignalSpy opened(&port, &CommBackend::OpenFinished);
    QSignalSpy lost(&port, &CommBackend::Lost);
    QSignalSpy refused(&port, &CommBackend::OpenRefused);
    port.Open(QStringLiteral("%1://127.0.0.1:%2").arg(scheme).arg(farEnd.Port()), CommSettings());

    const auto endings = [&] {
        const auto last = [](const QSignalSpy& spy) { return spy.isEmpty() ? QString() : spy.last().value(0).toString(); };
        return QStringList{last(opened), last(lost), last(refused)}.join('|');
    };
    if (heldBack) {
        QVERIFY(RunUntil([&] { return !opened.isEmpty(); }, NetPortBackend::kOpenTimeoutMs));
        QCOMPARE(endings(), QStringLiteral("||"));
        farEnd.Release();
    }
    // A row that ends in a drop waits for the drop itself: the far end is done
    // sending once the kernel has taken its bytes, and our receive buffer can
    // hold tens of megabytes the panel has not read, nor answered, yet.
    const auto over = [&] { return endings() != QLatin1String("||") || (ending.isEmpty() && farEnd.DoneSending()); };
    const bool ended = RunUntil(over, heldBack ? 1000 : kFloodEndsWithinMs);
    const qint64 grown = HeldBytes() - before;
    QVERIFY2(ended == !heldBack, qPrintable(QStringLiteral("%1 bytes sent, %2").arg(farEnd.Sent()).arg(endings())));
    QVERIFY2(!ending.isEmpty() || (farEnd.Sent() == total) == !heldBack, qPrintable(QStringLiteral("%1 bytes sent, %2").arg(farEnd.Sent()).arg(endings())));
    QVERIFY2(endings().contains(ending), qPrintable(endings()));
    QVERIFY2(PanelLog::Lines().join('\n').contains(ending), qPrintable(PanelLog::Lines().join('\n')));
    QVERIFY2(grown < 8 * kMiB, qPrintable(QString::number(grown)));
    port.Close();
    farEnd.Stop();
    QTest::qWait(20); // the socket goes in the next turn
    QVERIFY2(HeldBytes() - before < 8 * kMiB, qPrintable(QString::number(HeldBytes() - before)));
    CSerialTrace::CloseFile();
    const qint64 traced = QFileInfo(dir.filePath(QStringLiteral("trace"))).size();
    QVERIFY2(traced < 16 * 1024, qPrintable(QString::number(traced)));
}

QTEST_MAIN(TestNetFlood)
#include "test_netflood.moc"
