#include "faultinjector.h"

#include <QTest>

using radiosim::Chunk;
using radiosim::FaultInjector;
using radiosim::FaultSettings;

namespace {

const QByteArray report = "F0703525 M2 A2 H1 V0 D1 S0 I0 (1 '0 \"0 ,0 O1 *0 U B100  \n";

QByteArray longTraffic()
{
    return report.repeated(200);
}

QByteArray joined(const QList<Chunk> &chunks)
{
    QByteArray bytes;
    for (const Chunk &chunk : chunks)
        bytes += chunk.bytes;
    return bytes;
}

FaultSettings everything(quint32 seed)
{
    FaultSettings s;
    s.dropRate = 0.05;
    s.corruptRate = 0.05;
    s.garbageRate = 0.5;
    s.chunked = true;
    s.delayMs = 30;
    s.seed = seed;
    return s;
}

} // namespace

class TestFaultInjector : public QObject
{
    Q_OBJECT

private slots:
    void sameSeed_sameDamage();
    void cleanLine_passesBytesUntouched();
    void drop_losesAboutItsShare();
    void corrupt_flipsOneOfSevenBits();
    void garbage_addsNoLineFeed();
    void chunks_keepOrderAndOnlyTheFirstWaitsForTheDelay();
};

void TestFaultInjector::sameSeed_sameDamage()
{
    FaultInjector first(everything(7)), second(everything(7)), other(everything(8));
    for (int i = 0; i < 20; ++i) {
        const QList<Chunk> a = first.shape(report), b = second.shape(report);
        QCOMPARE(joined(a), joined(b));
        QCOMPARE(a.size(), b.size());
        for (qsizetype c = 0; c < a.size(); ++c)
            QCOMPARE(a.at(c).delayMs, b.at(c).delayMs);
    }
    QVERIFY(FaultInjector(everything(7)).damage(longTraffic())
            != other.damage(longTraffic()));
}

void TestFaultInjector::cleanLine_passesBytesUntouched()
{
    FaultSettings clean;
    QVERIFY(clean.isClean());
    FaultInjector injector(clean);
    const QList<Chunk> chunks = injector.shape(report);
    QCOMPARE(chunks.size(), 1);
    QCOMPARE(chunks.first().bytes, report);
    QCOMPARE(chunks.first().delayMs, 0);
    QVERIFY(injector.shape({}).isEmpty());
}

void TestFaultInjector::drop_losesAboutItsShare()
{
    FaultSettings s;
    s.dropRate = 0.3;
    const QByteArray traffic = longTraffic();
    const qsizetype kept = FaultInjector(s).damage(traffic).size();
    QVERIFY2(kept > traffic.size() * 0.65 && kept < traffic.size() * 0.75,
             QByteArray::number(kept).constData());
    s.dropRate = 1.0;
    QVERIFY(FaultInjector(s).damage(traffic).isEmpty());
}

void TestFaultInjector::corrupt_flipsOneOfSevenBits()
{
    FaultSettings s;
    s.corruptRate = 0.2;
    const QByteArray traffic = longTraffic();
    const QByteArray damaged = FaultInjector(s).damage(traffic);
    QCOMPARE(damaged.size(), traffic.size());
    int changed = 0;
    for (qsizetype i = 0; i < traffic.size(); ++i) {
        const unsigned flipped = unsigned(uchar(traffic.at(i)) ^ uchar(damaged.at(i)));
        if (flipped == 0)
            continue;
        ++changed;
        QVERIFY(flipped < 0x80 && (flipped & (flipped - 1)) == 0);
    }
    QVERIFY(changed > traffic.size() / 10 && changed < traffic.size() * 3 / 10);
}

void TestFaultInjector::garbage_addsNoLineFeed()
{
    FaultSettings s;
    s.garbageRate = 1.0;
    FaultInjector injector(s);
    for (int i = 0; i < 50; ++i) {
        const QByteArray noisy = joined(injector.shape(report));
        QVERIFY(noisy.size() > report.size());
        QCOMPARE(noisy.count('\n'), 1);
    }
}

void TestFaultInjector::chunks_keepOrderAndOnlyTheFirstWaitsForTheDelay()
{
    FaultSettings s;
    s.chunked = true;
    s.delayMs = 250;
    FaultInjector injector(s);
    const QList<Chunk> chunks = injector.shape(report);
    QCOMPARE(joined(chunks), report);
    QVERIFY(chunks.size() > 1);
    QCOMPARE(chunks.first().delayMs, 250);
    for (qsizetype i = 1; i < chunks.size(); ++i)
        QVERIFY(chunks.at(i).delayMs > 0 && chunks.at(i).delayMs < 250);
}

QTEST_APPLESS_MAIN(TestFaultInjector)
#include "tst_faultinjector.moc"
