// Channel lists as CSV: which rows an import takes and which it refuses
// (with the line and the reason), how the reader splits RFC 4180 text, and
// an export imported again giving back the channel file byte for byte.
#include <QtTest>

#include "channeleditor/channelcsv.h"
#include "channeleditor/csvtext.h"
#include "channels/channelfile.h"
#include "support/programstate.h"
#include "support/samplefile.h"
#include "support/viewharness.h"

namespace {

// Mode, AGC, input and route letters, then the description as stored.
QByteArray Shown(const ChannelSlot& s)
{
    return QByteArray::number(s.freq, 'f', 2) + ' ' + QByteArray(1, s.mode) + s.agc + s.input + s.route + " ["
         + QByteArray(s.desc.data(), kDescLength - 1) + ']';
}

QByteArray Stored(double kHz, const char* letters, const QByteArray& desc)
{
    ChannelSlot s = NeverStoredSlot();
    s.freq = kHz;
    s.mode = letters[0];
    s.agc = letters[1];
    s.input = letters[2];
    s.route = letters[3];
    SetDescriptionText(s, desc);
    return Shown(s);
}

// A good text gives slot 5 alone, as Shown; a bad one a single problem
// holding `problem`.
void VerifySlotFiveOrOneProblem(const ChannelRows& read, const QByteArray& slot, const QString& problem)
{
    if (problem.isEmpty()) {
        QCOMPARE(read.problems, QStringList());
        QCOMPARE(read.rows.size(), 1);
        QCOMPARE(read.rows.front().first, 5);
        QCOMPARE(Shown(read.rows.front().second), slot);
    } else {
        QCOMPARE(read.problems.size(), 1);
        QVERIFY2(read.problems.front().contains(problem), qPrintable(read.problems.front()));
    }
}

} // namespace

class TestChannelCsv : public QObject {
    Q_OBJECT
private slots:
    void row_isTakenOrRefusedWithItsReason_data();
    void row_isTakenOrRefusedWithItsReason();
    void badRows_areAllListedByLine();
    void reader_followsRfc4180_data();
    void reader_followsRfc4180();
    void spreadsheetFile_importsOrSaysHowToMendIt_data();
    void spreadsheetFile_importsOrSaysHowToMendIt();
    void exportThenImport_givesTheFileBackByteForByte_data();
    void exportThenImport_givesTheFileBackByteForByte();
};

void TestChannelCsv::row_isTakenOrRefusedWithItsReason_data()
{
    QTest::addColumn<QByteArray>("row");
    QTest::addColumn<QByteArray>("slot");     // good rows: as Shown
    QTest::addColumn<QString>("problem");     // bad rows: part of the reason
    const QByteArray none;
    QTest::newRow("captions") << QByteArray("5,14250,USB,Fast,Mic,L,Net control") << Stored(14250, "UFML", "Net control") << QString();
    QTest::newRow("any letter case") << QByteArray("5,7100.5,usb,SLOW,audio2,t,x") << Stored(7100.5, "USAT", "x") << QString();
    QTest::newRow("letters") << QByteArray("5,7100,l,m,p,r,") << Stored(7100, "LMPR", "") << QString();
    QTest::newRow("a letter of no meaning is kept") << QByteArray("5,7100,X,S,M,R,odd") << Stored(7100, "XSMR", "odd") << QString();
    QTest::newRow("no letters") << QByteArray("5,7100,,,,,") << Shown([] { ChannelSlot s = StoredFrom(NeverStoredSlot()); s.freq = 7100; return s; }()) << QString();
    QTest::newRow("slot alone: never stored") << QByteArray("5,,,,,,") << Shown(NeverStoredSlot()) << QString();
    QTest::newRow("quotes and commas") << QByteArray("5,3650,LSB,Off,Mic,R,\"Net, \"\"evening\"\"\"") << Stored(3650, "LOMR", "Net, \"evening\"") << QString();
    QTest::newRow("leading blanks kept") << QByteArray("5,3650,LSB,Off,Mic,R,\"  indented\"") << Stored(3650, "LOMR", "  indented") << QString();
    QTest::newRow("Latin-1 letters") << QByteArray("5,3650,LSB,Off,Mic,R,Caf\xc3\xa9 m\xc3\xbc") << Stored(3650, "LOMR", "Caf\xe9 m\xfc") << QString();
    QTest::newRow("29 characters") << QByteArray("5,1,U,O,M,R,") + QByteArray(29, 'x') << Stored(1, "UOMR", QByteArray(29, 'x')) << QString();
    QTest::newRow("zero decimals past two") << QByteArray("5,14250.100,U,O,M,R,") << Stored(14250.1, "UOMR", "") << QString();
    QTest::newRow("empty columns after the last") << QByteArray("5,1,U,O,M,R,a,,,") << Stored(1, "UOMR", "a") << QString();
    QTest::newRow("slot 300") << QByteArray("300,1,U,O,M,R,") << none << "\"300\" is not a slot number from 0 to 299";
    QTest::newRow("decimal comma") << QByteArray("5,\"14250,5\",U,O,M,R,") << none << "the decimals follow a point";
    QTest::newRow("thousands comma") << QByteArray("5,\"7,150.000\",U,O,M,R,") << none << "\"7,150.000\" has a thousands separator: write it 7150.000";
    QTest::newRow("thousands point, decimal comma") << QByteArray("5,\"7.150,5\",U,O,M,R,") << none << "has a thousands separator: write it 7150.5";
    QTest::newRow("thousands or decimal comma") << QByteArray("5,\"7,150\",U,O,M,R,") << none << "no thousands separator (7150)";
    QTest::newRow("three decimals") << QByteArray("5,14250.125,U,O,M,R,") << none << "more than two decimals";
    QTest::newRow("beyond the field") << QByteArray("5,100000,U,O,M,R,") << none << "beyond the radio's frequency field";
    QTest::newRow("negative") << QByteArray("5,-5,U,O,M,R,") << none << "\"-5\" is not a frequency in kHz";
    QTest::newRow("no frequency") << QByteArray("5,,USB,,,,") << none << "slot 5 has no frequency";
    QTest::newRow("mode FM") << QByteArray("5,1,FM,O,M,R,") << none << "mode \"FM\" is neither USB, LSB, AM, CW nor a single letter";
    QTest::newRow("30 characters") << QByteArray("5,1,U,O,M,R,") + QByteArray(30, 'x') << none << "has 30 characters; it holds at most 29";
    QTest::newRow("line break") << QByteArray("5,1,U,O,M,R,\"a\nb\"") << none << "cannot hold a line break";
    QTest::newRow("not Latin-1") << QByteArray("5,1,U,O,M,R,5 \xe2\x82\xac") << none << "holds Latin-1 characters only";
    QTest::newRow("tab") << QByteArray("5,1,U,O,M,R,a\tb") << none << "control character (U+0009)";
    QTest::newRow("six fields") << QByteArray("5,1,U,O,M,R") << none << "6 fields where 7 belong";
    QTest::newRow("two reasons") << QByteArray("5,1,FM,Auto,M,R,") << none << "mode \"FM\" is neither USB, LSB, AM, CW nor a single letter; AGC \"Auto\" is neither";
}

void TestChannelCsv::row_isTakenOrRefusedWithItsReason()
{
    QFETCH(QByteArray, row);
    QFETCH(QByteArray, slot);
    QFETCH(QString, problem);
    const ChannelRows read = ReadChannelRows(QByteArray(g_szChannelCsvHeader) + "\r\n" + row + "\r\n");
    VerifySlotFiveOrOneProblem(read, slot, problem);
    if (!problem.isEmpty())
        QVERIFY(read.problems.value(0).startsWith("line 2: "));
}

void TestChannelCsv::badRows_areAllListedByLine()
{
    const ChannelRows read = ReadChannelRows("Slot,Frequency kHz,Mode,AGC,Input,Route,Description\n"
                                             "1,7100,LSB,Slow,Mic,R,\"two\nlines\"\n"
                                             "2,7100,LSB,Slow,Mic,R,ok\n"
                                             "1,3650,LSB,Slow,Mic,R,again\n"
                                             "\n"
                                             "x,3650,LSB,Slow,Mic,R,\n"
                                             "2,3650,LSB,Slow,Mic,R,\n");
    QCOMPARE(read.problems, QStringList({
        "line 2: a description is one line and cannot hold a line break",
        "line 7: \"x\" is not a slot number from 0 to 299",
        "line 8: slot 2 is already on line 4",
    }));
    QCOMPARE(read.rows.size(), 2);
    QCOMPARE(ReadChannelRows("Slot,Freq,Mode\n").problems,
             QStringList({"line 1: the header lacks Frequency kHz, AGC, Input, Route and Description, and \"Freq\" is no "
                          "column's name; a header names Slot, Frequency kHz, Mode, AGC, Input, Route and Description, "
                          "in any order"}));
    QCOMPARE(ReadChannelRows("1,7100,LSB,Slow,Mic,R,no header\n").problems, QStringList());
}

void TestChannelCsv::reader_followsRfc4180_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QString>("records");  // each record's line and fields, "|" between fields
    QTest::addColumn<QString>("problem");
    QTest::newRow("CR LF and LF") << QByteArray("a,b\r\nc,d\ne") << "1:a|b 2:c|d 3:e" << QString();
    QTest::newRow("quoted line end counts") << QByteArray("\"a\r\nb\",c\nd") << "1:a\nb|c 3:d" << QString();
    QTest::newRow("empty fields") << QByteArray(",,\n") << "1:|| " << QString();
    QTest::newRow("byte order mark") << QByteArray("\xef\xbb\xbfSlot,x") << "1:Slot|x" << QString();
    QTest::newRow("quote inside plain field") << QByteArray("12\" dish,x") << "1:12\" dish|x" << QString();
    QTest::newRow("never closed") << QByteArray("a\n\"b,\nc") << "1:a" << "2:a quoted field is never closed";
    QTest::newRow("text after the quote") << QByteArray("a\n\"b\"c,d") << "1:a" << "2:text follows a closing quote";
    QTest::newRow("not UTF-8") << QByteArray("a\nb\xff\n") << "" << "2:the file is not UTF-8 text here";
    QTest::newRow("semicolons") << QByteArray("a;b,c;d\r\ne;\"f;g\"") << "1:a|b,c|d 2:e|f;g" << QString();
    QTest::newRow("tabs") << QByteArray("a\tb,c\td\ne\t") << "1:a|b,c|d 2:e|" << QString();
    QTest::newRow("quoted semicolons do not count") << QByteArray("\"a;b;c\",d\n") << "1:a;b;c|d" << QString();
    QTest::newRow("BOM, semicolons, CR LF") << QByteArray("\xef\xbb\xbfSlot;x\r\n1;2\r\n") << "1:Slot|x 2:1|2" << QString();
}

void TestChannelCsv::reader_followsRfc4180()
{
    QFETCH(QByteArray, text);
    QFETCH(QString, records);
    QFETCH(QString, problem);
    const CsvText read = ReadCsv(text);
    QStringList shown;
    for (const CsvRecord& record : read.records)
        shown << QStringLiteral("%1:%2").arg(record.line).arg(record.fields.join(QLatin1Char('|')));
    QCOMPARE(shown.join(QLatin1Char(' ')), records.trimmed());
    QCOMPARE(read.problem.isEmpty() ? QString() : QStringLiteral("%1:%2").arg(read.problemLine).arg(read.problem).left(problem.size()),
             problem);
    // What the writer quotes, the reader gives back.
    const QStringList awkward = {" lead", "a,b", "say \"hi\"", "", "trail "};
    QCOMPARE(ReadCsv(CsvRecordText(awkward)).records.front().fields, awkward);
}

// Whole files as spreadsheets save them: what slot 5 becomes, or the reason.
void TestChannelCsv::spreadsheetFile_importsOrSaysHowToMendIt_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("slot");
    QTest::addColumn<QString>("problem");
    const QByteArray net = Stored(7150, "LSMR", "Net");
    QTest::newRow("semicolons, BOM, CR LF")
        << QByteArray("\xef\xbb\xbfSlot;Frequency kHz;Mode;AGC;Input;Route;Description\r\n5;7150;LSB;Slow;Mic;R;Net\r\n") << net << QString();
    QTest::newRow("tabs") << QByteArray("Slot\tFrequency kHz\tMode\tAGC\tInput\tRoute\tDescription\n5\t7150\tLSB\tSlow\tMic\tR\tNet\n")
                          << net << QString();
    QTest::newRow("empty rows below and between")
        << QByteArray("Slot,Frequency kHz,Mode,AGC,Input,Route,Description\r\n,,,,,,\r\n5,7150,LSB,Slow,Mic,R,Net\r\n,,,,,,\r\n,,,,,,,,,\r\n")
        << net << QString();
    QTest::newRow("other order, other case, the window's captions")
        << QByteArray("description,MODE,Slot,agc,Audio input,Ext PTT/Local audio,Frequency\n Net,LSB,5,Slow,Mic,R,7150\n")
        << Stored(7150, "LSMR", " Net") << QString();
    QTest::newRow("a column with an empty header, its fields empty")
        << QByteArray("Slot,,Frequency kHz,Mode,AGC,Input,Route,Description\r\n5,,7150,LSB,Slow,Mic,R,Net\r\n") << net << QString();
    QTest::newRow("no header, rows alone") << QByteArray("5;7150;LSB;Slow;Mic;R;Net\n") << net << QString();
    QTest::newRow("a header of other names")
        << QByteArray("Channel;Freq;Mode;AGC;Input;Route;Description\n5;7150;LSB;Slow;Mic;R;Net\n") << QByteArray()
        << "line 1: the header lacks Slot and Frequency kHz, and \"Channel\" and \"Freq\" are no column's name";
    QTest::newRow("a column twice") << QByteArray("Slot,Mode,Frequency kHz,Mode,AGC,Input,Route\n") << QByteArray()
                                    << "line 1: the header lacks Description, and it names Mode twice";
    QTest::newRow("thousands separator, semicolons")
        << QByteArray("Slot;Frequency kHz;Mode;AGC;Input;Route;Description\n5;7,150.000;LSB;Slow;Mic;R;Net\n") << QByteArray()
        << "line 2: \"7,150.000\" has a thousands separator: write it 7150.000, with no separator";
}

void TestChannelCsv::spreadsheetFile_importsOrSaysHowToMendIt()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, slot);
    QFETCH(QString, problem);
    VerifySlotFiveOrOneProblem(ReadChannelRows(file), slot, problem);
}

void TestChannelCsv::exportThenImport_givesTheFileBackByteForByte_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("allSlots");
    const QByteArray awkward = ChannelFileWith(3, 9, [] {
        StoreChannel(0, 7035.25, "LSMR", "40 m net");
        StoreChannel(7, 0.0, "USMT", "");                      // stored, frequency 0, blank
        StoreChannel(8, 99999.99, "X?!L", "  leading, \"quoted\"");  // letters of no meaning
        StoreChannel(299, 14250.1, "UFML", "Caf\xe9 m\xfc\xdf");
        StoreChannel(150, 3650, "\0\0\0\0", "no letters");
    });
    QTest::newRow("stored slots") << SteadyChannelFile(awkward) << false;
    QTest::newRow("all 300 slots") << SteadyChannelFile(awkward) << true;
    QTest::newRow("file ended early") << SteadyChannelFile(ViewHarness::MinimalChannelFile()) << false;
}

void TestChannelCsv::exportThenImport_givesTheFileBackByteForByte()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, allSlots);
    ResetProgramGlobals();
    ReadChannelTable(file);
    const QByteArray csv = ChannelsAsCsv(SlotsFromTable(), allSlots);
    // Every slot emptied first, so only what the CSV carries comes back.
    for (int slot = 0; slot < kChannelCount; ++slot)
        PutSlotInTable(slot, NeverStoredSlot());
    const ChannelRows rows = ReadChannelRows(csv);
    QCOMPARE(rows.problems, QStringList());
    for (const auto& [slot, value] : rows.rows)
        PutSlotInTable(slot, value);
    QCOMPARE(ChannelFileBytes(), file);
}

QTEST_MAIN(TestChannelCsv)
#include "test_channelcsv.moc"
