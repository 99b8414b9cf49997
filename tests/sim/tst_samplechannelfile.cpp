#include "samplechannelfile.h"

#include <QRegularExpression>
#include <QTest>

using radiosim::SampleChannelFile::contents;
using radiosim::SampleChannelFile::slotCount;

class TestSampleChannelFile : public QObject
{
    Q_OBJECT

private slots:
    void file_hasPortLineRangesAndEveryRecordInOrder();
};

// Walks the file as the panel's reader would: two header lines, then for
// each slot either a stored record of two lines or an empty one of fixed
// bytes, until exactly the end of the file.
void TestSampleChannelFile::file_hasPortLineRangesAndEveryRecordInOrder()
{
    const QByteArray file = contents(4);
    QVERIFY(file.startsWith("4  9600 O 7 1\r\n"));
    const QRegularExpression ranges(R"(^[ \d]{5}\.\d\d [ \d]{5}\.\d\d [ \d]{3} [ \d]{3}\r\n)");
    qsizetype at = file.indexOf('\n') + 1;
    QVERIFY(ranges.match(QString::fromLatin1(file.mid(at, 27))).hasMatch());
    at += 27;
    const QRegularExpression stored(R"(^([ \d]{3}) [ \d]{5}\.\d\d [ULAC] [OSMF] [MAP] [RTL]\r\n[ -~]{29}\r\n$)");
    const QByteArray emptyTail = QByteArray("\0 \0 \0 \0\r\n", 9) + QByteArray(30, '\0');
    int storedCount = 0;
    for (int slot = 0; slot < slotCount; ++slot) {
        const QByteArray number = QByteArray::number(slot).rightJustified(3, ' ') + ' ';
        QVERIFY2(file.mid(at, 4) == number, number.constData());
        if (file.mid(at + 13, emptyTail.size()) == emptyTail) {
            QCOMPARE(file.mid(at + 4, 9), QByteArray("    0.00 "));
            at += 13 + emptyTail.size();
            continue;
        }
        QVERIFY(stored.match(QString::fromLatin1(file.mid(at, 53))).hasMatch());
        at += 53;
        ++storedCount;
    }
    QCOMPARE(at, file.size());
    QVERIFY(storedCount >= 3);
}

QTEST_APPLESS_MAIN(TestSampleChannelFile)
#include "tst_samplechannelfile.moc"
