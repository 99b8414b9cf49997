// The real program's --export-channels and --import-channels, with no
// window: what they write, their exit status, and a bad file changing
// nothing.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include "panelonradio.h"
#include "support/samplefile.h"

namespace {

struct Run {
    int status;
    QByteArray out;
    QByteArray err;
};

Run Tavrin(const QString& folder, const QStringList& arguments, const QByteArray& input = QByteArray())
{
    QProcess tavrin;
    tavrin.setWorkingDirectory(folder);
    tavrin.start(QStringLiteral(TAVRIN_BINARY), arguments);
    tavrin.write(input);
    tavrin.closeWriteChannel();
    if (!tavrin.waitForFinished(20000))
        return {-1, {}, "did not end"};
    return {tavrin.exitStatus() == QProcess::NormalExit ? tavrin.exitCode() : -1, tavrin.readAllStandardOutput(),
            tavrin.readAllStandardError()};
}

QByteArray Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

bool Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

} // namespace

class E2eChannelsCli : public QObject {
    Q_OBJECT
private slots:
    void exportThenImport_leavesTheChannelFileByteForByte()
    {
        QTemporaryDir dir;
        const QByteArray file = SteadyChannelFile(RadioChannelFile());
        QVERIFY(Write(dir.filePath("h350save.dat"), file));
        const Run exported = Tavrin(dir.path(), {"--export-channels", "list.csv"});
        QCOMPARE(exported.status, 0);
        QVERIFY(Read(dir.filePath("list.csv")).startsWith("Slot,Frequency kHz,Mode,AGC,Input,Route,Description\r\n"));
        const Run imported = Tavrin(dir.path(), {"--import-channels", "list.csv"});
        QVERIFY2(imported.status == 0, imported.err.constData());
        QCOMPARE(Read(dir.filePath("h350save.dat")), file);
        QCOMPARE(Read(dir.filePath("h350save.bak")), file);
    }

    void allSlots_toStandardOutput_fromAnotherDataFolder()
    {
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir("data"));
        QVERIFY(Write(dir.filePath("data/h350save.dat"), SteadyChannelFile(RadioChannelFile())));
        const Run run = Tavrin(dir.path(), {"--data-dir", "data", "--export-channels", "-", "--all-slots"});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out.count("\r\n"), 301);
        QVERIFY(run.out.contains("\r\n299,,,,,,\r\n"));
    }

    // A spreadsheet's file (semicolons, a byte order mark, CR LF, empty rows
    // below) into a folder with no channel file: line 1 is text the next
    // run reads without a word.
    void spreadsheetImportIntoANewFolder_writesATextPortLineThatReadsBack()
    {
        QTemporaryDir dir;
        QVERIFY(Write(dir.filePath("sheet.csv"), "\xef\xbb\xbfslot;mode;Frequency kHz;AGC;Input;Route;Description\r\n"
                                                 "3;USB;14250;Fast;Mic;L;Net control\r\n;;;;;;\r\n;;;;;;\r\n"));
        const Run imported = Tavrin(dir.path(), {"--import-channels", "sheet.csv"});
        QVERIFY2(imported.status == 0, imported.err.constData());
        const QByteArray file = Read(dir.filePath("h350save.dat"));
        QVERIFY2(file.startsWith("1  9600 O 7 1\r\n    0.00     0.00   0   0\r\n"), file.left(40).toHex(' ').constData());
        QVERIFY(file.contains("  3 14250.00 U F M L\r\nNet control"));
        const Run exported = Tavrin(dir.path(), {"--export-channels", "-"});
        QCOMPARE(exported.status, 0);
        QCOMPARE(exported.err, QByteArray());
        QCOMPARE(exported.out, QByteArray("Slot,Frequency kHz,Mode,AGC,Input,Route,Description\r\n"
                                          "3,14250.00,USB,Fast,Mic,L,Net control\r\n"));
    }

    void aBadRow_changesNothingAndEveryBadRowIsListed()
    {
        QTemporaryDir dir;
        const QByteArray file = SteadyChannelFile(RadioChannelFile());
        QVERIFY(Write(dir.filePath("h350save.dat"), file));
        const Run run = Tavrin(dir.path(), {"--import-channels", "-"},
                               "Slot,Frequency kHz,Mode,AGC,Input,Route,Description\n"
                               "20,7100,LSB,Slow,Mic,R,fine\n21,7100,FM,Slow,Mic,R,\n22,123456,,,,,\n");
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains("-: line 3: mode \"FM\"") && run.err.contains("-: line 4: 123456 kHz")
                     && run.err.contains("nothing was imported"),
                 run.err.constData());
        QCOMPARE(Read(dir.filePath("h350save.dat")), file);
        QVERIFY(!QFile::exists(dir.filePath("h350save.bak")));
    }

    void whatCannotWork_endsWithItsStatus_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("said");
        QTest::newRow("no channel file") << QStringList{"--export-channels", "x.csv"} << 1 << QByteArray("cannot be read");
        QTest::newRow("no CSV file") << QStringList{"--import-channels", "none.csv"} << 1 << QByteArray("none.csv cannot be read");
        QTest::newRow("both at once") << QStringList{"--export-channels", "a", "--import-channels", "b"} << 2
                                      << QByteArray("cannot be used together");
        QTest::newRow("--all-slots alone") << QStringList{"--all-slots"} << 2 << QByteArray("--all-slots goes with");
    }

    void whatCannotWork_endsWithItsStatus()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QByteArray, said);
        QTemporaryDir dir;
        const Run run = Tavrin(dir.path(), arguments);
        QCOMPARE(run.status, status);
        QVERIFY2(run.err.contains(said), run.err.constData());
        QVERIFY(!QFile::exists(dir.filePath("h350save.dat")));
    }
};

QTEST_GUILESS_MAIN(E2eChannelsCli)
#include "e2e_channelscli.moc"
