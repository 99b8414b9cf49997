// The channel file h350save.dat: what the writer puts in it byte for byte,
// what the reader makes of files written by the program or edited by hand,
// and what becomes of the file when a save cannot be made.
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QtTest>
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "channels/channelfile.h"
#include "channels/channeltable.h"
#include "panel/combocontrols.h"
#include "panel/tavrinview.h"
#include "panel/tuningstate.h"
#include "res/resource.h"
#include "support/viewharness.h"
#ifndef Q_OS_WIN
#include <unistd.h>

#include "support/nofilewrites.h"
#endif

namespace {

const QByteArray kPortLine = "1  9600 O 7 1\r\n";
const QByteArray kRangeLine = " 7000.00  7300.00   0  99\r\n";

// One stored record as the program writes it: the number, the frequency and
// the four letters on one line, then the description padded to 29 blanks.
QByteArray StoredRecord(int slot, const QByteArray& frequency, const QByteArray& letters, const QByteArray& description)
{
    QByteArray record = QByteArray::number(slot).rightJustified(3) + ' ' + frequency.rightJustified(8);
    for (char letter : letters)
        record += ' ' + QByteArray(1, letter);
    return record + "\r\n" + description.leftJustified(29, ' ', true) + "\r\n";
}

QByteArray NeverStoredLetters(int slot)
{
    return QByteArray::number(slot).rightJustified(3) + "     0.00 " + QByteArray("\0 \0 \0 \0\r\n", 9);
}

// A slot nothing was ever stored in, as the first save after an empty start
// writes it: zero letters and 30 zero bytes with no line end.
QByteArray NeverStoredAtFirstSave(int slot) { return NeverStoredLetters(slot) + QByteArray(30, '\0'); }

// The same slot once it has been read back: 29 zero bytes and a line end.
QByteArray NeverStoredAfterLoad(int slot) { return NeverStoredLetters(slot) + QByteArray(29, '\0') + "\r\n"; }

// A file as a save after a load writes it: a few stored channels among
// never-stored slots, with letters the recall would ignore kept as given.
QByteArray WrittenFile()
{
    QByteArray file = kPortLine + kRangeLine;
    for (int slot = 0; slot < kChannelCount; ++slot) {
        switch (slot) {
        case 0: file += StoredRecord(0, "2182.00", "USMR", "Distress"); break;
        case 5: file += StoredRecord(5, "14250.00", "UFML", "Net control"); break;
        case 6: file += StoredRecord(6, "7100.50", "LSAT", "   Leading blanks"); break;
        case 7: file += StoredRecord(7, "3999.99", "COPR", ""); break;
        case 150: file += StoredRecord(150, "29999.99", "QZ9#", "Odd letters are kept"); break;
        case 299: file += StoredRecord(299, "99999.99", "AMPL", "Last slot, 29 characters long"); break;
        default: file += NeverStoredAfterLoad(slot); break;
        }
    }
    return file;
}

QByteArray WithLfLineEnds(QByteArray bytes) { return bytes.replace("\r\n", "\n"); }

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray("<cannot open " + path.toLocal8Bit() + ">");
    return file.readAll();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

QString DataPath(ViewHarness& h) { return h.Dir() + QStringLiteral("/h350save.dat"); }
QString BackupPath(ViewHarness& h) { return h.Dir() + QStringLiteral("/h350save.bak"); }

SimpleCombo* ChannelList(CTavrinView& view) { return dynamic_cast<SimpleCombo*>(view.m_cbChannels.Control()); }

QByteArray Desc(int slot) { return QByteArray(g_chChanDesc[slot], kDescLength); }
QByteArray Letters(int slot)
{
    return QByteArray() + g_chChanMode[slot] + g_chChanAgc[slot] + g_chChanInput[slot] + g_chChanRoute[slot];
}
QByteArray Padded(const QByteArray& text) { return text.leftJustified(29, ' ') + '\n'; }

// Everything a load fills in, laid out so that two loads can be compared
// and a difference shows where it is.
QByteArrayList Snapshot(CTavrinView& view)
{
    QByteArrayList lines;
    lines << QByteArray::number(g_nCommPort) + ' ' + QByteArray::number(g_nBaudRate) + ' ' + g_chParity + ' '
                 + QByteArray::number(g_nDataBits) + ' ' + QByteArray::number(g_nStopBits);
    lines << QByteArray::number(double(g_fScanLower), 'g', 9) + ' ' + QByteArray::number(double(g_fScanUpper), 'g', 9)
                 + ' ' + QByteArray::number(g_nChanLower) + ' ' + QByteArray::number(g_nChanUpper);
    lines << view.m_strSettings << view.m_strScanLower << view.m_strScanUpper << view.m_strChanLower << view.m_strChanUpper;
    for (int slot = 0; slot < kChannelCount; ++slot)
        lines << QByteArray::number(g_dChanFreq[slot], 'g', 17) + ' ' + Letters(slot).toHex() + ' ' + Desc(slot).toHex();
    SimpleCombo* list = ChannelList(view);
    for (int i = 0; i < list->Count(); ++i)
        lines << list->ItemText(i).toHex();
    return lines;
}

// A file of line 1, line 2 and the given records with room for a slot under
// test at index 1 between two neighbours that must come through intact.
QByteArray FileAroundSlotOne(const QByteArray& slotOneRecord)
{
    return kPortLine + kRangeLine + StoredRecord(0, "2182.00", "USMR", "Before") + slotOneRecord
         + StoredRecord(2, "7100.00", "LSAT", "After") + StoredRecord(3, "3500.00", "CFPL", "Further on");
}

void VerifyNeighboursOfSlotOne()
{
    QCOMPARE(g_dChanFreq[0], 2182.0);
    QCOMPARE(Desc(0), Padded("Before"));
    QCOMPARE(g_dChanFreq[2], 7100.0);
    QCOMPARE(Letters(2), QByteArray("LSAT"));
    QCOMPARE(Desc(2), Padded("After"));
    QCOMPARE(g_dChanFreq[3], 3500.0);
    QCOMPARE(Letters(3), QByteArray("CFPL"));
    QCOMPARE(Desc(3), Padded("Further on"));
}

// A save that cannot be made must leave both files as they were and say so.
void VerifyFailedSaveLeftFilesAlone(ViewHarness& h, const QByteArray& fileBefore, const QByteArray& backupBefore)
{
    QCOMPARE(ReadFile(DataPath(h)), fileBefore);
    QCOMPARE(ReadFile(BackupPath(h)), backupBefore);
    QCOMPARE(h.messages, QStringList{QStringLiteral("Saved Data File did not open for Write!")});
    QCOMPARE(QDir(h.Dir()).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot),
             (QStringList{QStringLiteral("h350save.bak"), QStringLiteral("h350save.dat")}));
}

} // namespace

class ChannelFileTest : public QObject {
    Q_OBJECT
private slots:
    void loadThenSave_writesTheFileBackByteForByte();
    void saveLoadSave_givesIdenticalBytes();
    void loadedChannels_fillTheTableAndTheListLineForLine();
    void crLfAndLfFiles_loadTheSameTable();
    void missingFile_showsReadMessageAndLeavesTheListEmpty();
    void saveAfterMissingFile_createsTheFileWithTheDialogsPortLine();
    void neverStoredSlots_surviveWriteAndReadAndSettleAfterTheFirstLoad();
    void truncatedFile_marksEverySlotPastTheEnd_data();
    void truncatedFile_marksEverySlotPastTheEnd();
    void descriptionLine_isReadBackWithTheFollowingRecordsIntact_data();
    void descriptionLine_isReadBackWithTheFollowingRecordsIntact();
    void fieldThatDoesNotConvert_keepsThePreviousValue();
    void portAndRangeLines_fillTheGlobalsAndTheEdits_data();
    void portAndRangeLines_fillTheGlobalsAndTheEdits();
    void editedPortSettings_doNotChangeLineOne();
    void frequency_isWrittenWithTwoDecimals_data();
    void frequency_isWrittenWithTwoDecimals();
    void everySave_keepsThePreviousFileAsBackup();
    void backupThatCannotBeWritten_savesAnywayAndSaysSoOnce();
    void saveIntoReadOnlyDirectory_leavesTheOldFileAndSaysSo();
    void saveThatCannotWriteItsBytes_leavesTheOldFileAndSaysSo();
    void saveOverADirectoryOfTheFilesName_leavesItAndSaysSo();
    void secondLoad_givesExactly300ListItemsFromTheNewFile();
};

void ChannelFileTest::loadThenSave_writesTheFileBackByteForByte()
{
    const QByteArray file = WrittenFile();
    ViewHarness h(&file);
    h.Start();

    h.View().SaveChannelFile();

    QCOMPARE(h.messages, QStringList());
    QCOMPARE(ReadFile(DataPath(h)), file);
}

void ChannelFileTest::saveLoadSave_givesIdenticalBytes()
{
    QByteArray firstSave;
    {
        const QByteArray file = WrittenFile();
        ViewHarness h(&file);
        h.Start();
        g_dChanFreq[42] = 5000.25;
        g_chChanMode[42] = 'A';
        g_chChanAgc[42] = 'M';
        g_chChanInput[42] = 'P';
        g_chChanRoute[42] = 'T';
        std::memcpy(g_chChanDesc[42], Padded("Changed in memory").constData(), kDescLength);
        h.View().SaveChannelFile();
        firstSave = ReadFile(DataPath(h));
    }
    QVERIFY(firstSave.contains(StoredRecord(42, "5000.25", "AMPT", "Changed in memory")));

    ViewHarness h(&firstSave);
    h.Start();
    h.View().SaveChannelFile();

    QCOMPARE(ReadFile(DataPath(h)), firstSave);
}

void ChannelFileTest::loadedChannels_fillTheTableAndTheListLineForLine()
{
    const QByteArray file = WrittenFile();
    ViewHarness h(&file);
    h.Start();
    SimpleCombo* list = ChannelList(h.View());

    QCOMPARE(g_dChanFreq[5], 14250.0);
    QCOMPARE(Letters(5), QByteArray("UFML"));
    QCOMPARE(Desc(5), Padded("Net control"));
    QCOMPARE(Letters(150), QByteArray("QZ9#"));
    QCOMPARE(Desc(299), QByteArray("Last slot, 29 characters long\n"));
    QCOMPARE(list->Count(), kChannelCount);
    QCOMPARE(list->ItemText(5), QByteArray("  5 14250.00 U F M L - Net control") + QByteArray(18, ' ') + '\n');
    QCOMPARE(list->ItemText(6), QByteArray("  6  7100.50 L S A T -    Leading blanks") + QByteArray(12, ' ') + '\n');
    QCOMPARE(list->ItemText(8), QByteArray("  8     0.00 \0 \0 \0 \0 - ", 23) + QByteArray(29, '\0') + '\n');
    QCOMPARE(DisplayedItemText(list->ItemText(8)), QStringLiteral("  8     0.00 "));
}

void ChannelFileTest::crLfAndLfFiles_loadTheSameTable()
{
    const QByteArray crLf = WrittenFile();
    const QByteArray lf = WithLfLineEnds(crLf);
    QVERIFY(!lf.contains('\r'));
    QByteArrayList fromCrLf;
    {
        ViewHarness h(&crLf);
        h.Start();
        fromCrLf = Snapshot(h.View());
    }
    ViewHarness h(&lf);
    h.Start();

    const QByteArrayList fromLf = Snapshot(h.View());
    QCOMPARE(fromLf.size(), fromCrLf.size());
    for (int i = 0; i < fromLf.size(); ++i)
        QCOMPARE(fromLf[i], fromCrLf[i]);
    h.View().SaveChannelFile();
    QCOMPARE(ReadFile(DataPath(h)), crLf);
}

void ChannelFileTest::missingFile_showsReadMessageAndLeavesTheListEmpty()
{
    ViewHarness h;
    h.Start();

    QCOMPARE(h.messages, QStringList{QStringLiteral("Saved Data File did not open for Read!")});
    QCOMPARE(ChannelList(h.View())->Count(), 0);
    QCOMPARE(g_nCommPort, 0);
    QCOMPARE(h.View().m_strSettings, QByteArray(" 9600,O,7,1"));
    QCOMPARE(h.View().m_strScanLower, QByteArray());
    QCOMPARE(h.View().m_strChanUpper, QByteArray());
    QVERIFY(!QFile::exists(DataPath(h)));
}

// Line 1 nobody filled would carry a zero byte for its parity letter; it is
// written as the Serial Port dialog's defaults, and the next start reads it
// as COM1 without a word.
void ChannelFileTest::saveAfterMissingFile_createsTheFileWithTheDialogsPortLine()
{
    QByteArray written;
    {
        ViewHarness h;
        h.Start();
        h.messages.clear();

        h.View().SaveChannelFile();

        QByteArray expected = QByteArray("1  9600 O 7 1\r\n") + "    0.00     0.00   0   0\r\n";
        for (int slot = 0; slot < kChannelCount; ++slot)
            expected += NeverStoredAtFirstSave(slot);
        QCOMPARE(h.messages, QStringList());
        written = ReadFile(DataPath(h));
        QCOMPARE(written, expected);
        QVERIFY(!QFile::exists(BackupPath(h)));
    }
    const QByteArray line1 = written.left(written.indexOf('\n') + 1);
    QVERIFY2(std::all_of(line1.begin(), line1.end(), [](char c) { return (c >= 0x20 && c < 0x7F) || c == '\r' || c == '\n'; }),
             line1.toHex(' ').constData());

    ViewHarness again(&written);
    again.Start();
    QCOMPARE(again.messages, QStringList());
    QCOMPARE(g_nCommPort, 1);
    QCOMPARE(again.View().m_strSettings, QByteArray(" 9600,O,7,1"));
    again.View().SaveChannelFile();
    QCOMPARE(ReadFile(DataPath(again)).left(15), QByteArray("1  9600 O 7 1\r\n"));
}

void ChannelFileTest::neverStoredSlots_surviveWriteAndReadAndSettleAfterTheFirstLoad()
{
    QByteArray firstSave = kPortLine + kRangeLine;
    for (int slot = 0; slot < kChannelCount; ++slot)
        firstSave += slot == 1 ? StoredRecord(1, "7100.00", "LSAT", "Between two empty slots") : NeverStoredAtFirstSave(slot);
    ViewHarness h(&firstSave);
    h.Start();

    for (int slot : {0, 2, 299}) {
        QCOMPARE(g_dChanFreq[slot], 0.0);
        QCOMPARE(Letters(slot), QByteArray(4, '\0'));
        QCOMPARE(Desc(slot), QByteArray(29, '\0') + '\n');
    }
    QCOMPARE(Desc(1), Padded("Between two empty slots"));
    h.View().SaveChannelFile();

    QByteArray settled = kPortLine + kRangeLine;
    for (int slot = 0; slot < kChannelCount; ++slot)
        settled += slot == 1 ? StoredRecord(1, "7100.00", "LSAT", "Between two empty slots") : NeverStoredAfterLoad(slot);
    QCOMPARE(ReadFile(DataPath(h)), settled);
    h.View().LoadChannelFile();
    h.View().SaveChannelFile();
    QCOMPARE(ReadFile(DataPath(h)), settled);
}

void ChannelFileTest::truncatedFile_marksEverySlotPastTheEnd_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("firstMissing");
    const QByteArray three = kPortLine + kRangeLine + StoredRecord(0, "2182.00", "USMR", "Zero")
                           + StoredRecord(1, "7100.00", "LSAT", "One") + StoredRecord(2, "3500.00", "CFPL", "Two");
    QTest::newRow("ends after three records") << three << 3;
    QTest::newRow("ends without the last line end") << three.chopped(2) << 3;
    QTest::newRow("ends after the letters of a record") << three + "  3 14250.00 U F M L\r\n" << 3;
    QTest::newRow("only line 1 and line 2") << kPortLine + kRangeLine << 0;
}

void ChannelFileTest::truncatedFile_marksEverySlotPastTheEnd()
{
    QFETCH(QByteArray, file);
    QFETCH(int, firstMissing);
    ViewHarness h(&file);
    h.Start();
    const QByteArray stars = QByteArray(29, '*') + '\n';

    for (int slot = 0; slot < firstMissing; ++slot)
        QVERIFY(Desc(slot) != stars);
    for (int slot = firstMissing; slot < kChannelCount; ++slot)
        QVERIFY2(Desc(slot) == stars, qPrintable(QStringLiteral("slot %1: %2").arg(slot).arg(QString::fromLatin1(Desc(slot).toHex()))));
    QCOMPARE(ChannelList(h.View())->Count(), kChannelCount);
    QCOMPARE(g_dChanFreq[299], 0.0);

    h.View().SaveChannelFile();
    QVERIFY(ReadFile(DataPath(h)).endsWith(NeverStoredLetters(299) + QByteArray(29, '*') + "\r\n"));
}

void ChannelFileTest::descriptionLine_isReadBackWithTheFollowingRecordsIntact_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QByteArray>("stored");
    const QByteArray alphabet = "abcdefghijklmnopqrstuvwxyz0123456789";
    QTest::newRow("leading blanks") << QByteArray("     Five blanks first       ") << QByteArray("     Five blanks first       \n");
    QTest::newRow("only blanks") << QByteArray(29, ' ') << QByteArray(29, ' ') + '\n';
    QTest::newRow("short line is padded") << QByteArray("Net") << Padded("Net");
    QTest::newRow("short line with leading blanks") << QByteArray("  Net") << Padded("  Net");
    QTest::newRow("empty line") << QByteArray() << Padded("");
    QTest::newRow("exactly 29 characters") << alphabet.left(29) << alphabet.left(29) + '\n';
    QTest::newRow("30 characters are cut") << alphabet.left(30) << alphabet.left(29) + '\n';
    QTest::newRow("36 characters are cut") << alphabet << alphabet.left(29) + '\n';
    QTest::newRow("a long line that looks like a record")
        << QByteArray("Long line   3 9999.99 U F M L and more") << QByteArray("Long line   3 9999.99 U F M L\n");
}

void ChannelFileTest::descriptionLine_isReadBackWithTheFollowingRecordsIntact()
{
    QFETCH(QByteArray, line);
    QFETCH(QByteArray, stored);
    const QByteArray file = FileAroundSlotOne("  1 14250.00 U F M L\r\n" + line + "\r\n");
    ViewHarness h(&file);
    h.Start();

    QCOMPARE(Desc(1), stored);
    QCOMPARE(g_dChanFreq[1], 14250.0);
    QCOMPARE(Letters(1), QByteArray("UFML"));
    VerifyNeighboursOfSlotOne();
    QCOMPARE(Desc(4), QByteArray(29, '*') + '\n');
}

// A hand-edited record with its frequency left out: the frequency of the
// slot stays as the earlier load left it, the letters after it still read.
void ChannelFileTest::fieldThatDoesNotConvert_keepsThePreviousValue()
{
    const QByteArray first = FileAroundSlotOne(StoredRecord(1, "7100.50", "UFML", "First load"));
    ViewHarness h(&first);
    h.Start();
    QCOMPARE(g_dChanFreq[1], 7100.5);

    WriteFile(DataPath(h), FileAroundSlotOne("  1          L S A T\r\nFrequency left out\r\n"));
    h.View().LoadChannelFile();

    QCOMPARE(g_dChanFreq[1], 7100.5);
    QCOMPARE(Letters(1), QByteArray("LSAT"));
    QCOMPARE(Desc(1), Padded("Frequency left out"));
    VerifyNeighboursOfSlotOne();
}

void ChannelFileTest::portAndRangeLines_fillTheGlobalsAndTheEdits_data()
{
    QTest::addColumn<QByteArray>("lines");
    QTest::addColumn<int>("port");
    QTest::addColumn<QByteArray>("settings");
    QTest::addColumn<QByteArray>("scanLower");
    QTest::addColumn<QByteArray>("scanUpper");
    QTest::addColumn<QByteArray>("chanLower");
    QTest::addColumn<QByteArray>("chanUpper");
    QTest::addColumn<QByteArray>("rewritten");
    QTest::newRow("as the program writes them")
        << QByteArray("1  9600 O 7 1\r\n 2000.00 30000.00   0  99\r\n") << 1 << QByteArray(" 9600,O,7,1")
        << QByteArray(" 2000.00") << QByteArray("30000.00") << QByteArray("  0") << QByteArray(" 99 ")
        << QByteArray("1  9600 O 7 1\r\n 2000.00 30000.00   0  99\r\n");
    QTest::newRow("edited by hand, other values")
        << QByteArray("3 19200 E 8 2\r\n3500.5 3800.25 10 250\r\n") << 3 << QByteArray("19200,E,8,2")
        << QByteArray(" 3500.50") << QByteArray(" 3800.25") << QByteArray(" 10") << QByteArray("250 ")
        << QByteArray("3 19200 E 8 2\r\n 3500.50  3800.25  10 250\r\n");
    QTest::newRow("edited by hand, tight spacing")
        << QByteArray("2 300 N 8 1\n7000 7300 0 9\n") << 2 << QByteArray("  300,N,8,1")
        << QByteArray(" 7000.00") << QByteArray(" 7300.00") << QByteArray("  0") << QByteArray("  9 ")
        << QByteArray("2   300 N 8 1\r\n 7000.00  7300.00   0   9\r\n");
}

void ChannelFileTest::portAndRangeLines_fillTheGlobalsAndTheEdits()
{
    QFETCH(QByteArray, lines);
    QFETCH(int, port);
    QFETCH(QByteArray, settings);
    QFETCH(QByteArray, scanLower);
    QFETCH(QByteArray, scanUpper);
    QFETCH(QByteArray, chanLower);
    QFETCH(QByteArray, chanUpper);
    QFETCH(QByteArray, rewritten);
    ViewHarness h(&lines);
    h.Start();
    CTavrinView& view = h.View();

    QCOMPARE(g_nCommPort, port);
    QCOMPARE(view.m_strSettings, settings);
    QCOMPARE(view.m_strScanLower, scanLower);
    QCOMPARE(view.m_strScanUpper, scanUpper);
    QCOMPARE(view.m_strChanLower, chanLower);
    QCOMPARE(view.m_strChanUpper, chanUpper);
    QCOMPARE(QByteArray::number(double(g_fScanLower), 'f', 2), scanLower.trimmed());
    QCOMPARE(g_nChanUpper, chanUpper.trimmed().toInt());

    view.SaveChannelFile();
    QVERIFY2(ReadFile(DataPath(h)).startsWith(rewritten), ReadFile(DataPath(h)).left(60).constData());
}

void ChannelFileTest::editedPortSettings_doNotChangeLineOne()
{
    const QByteArray file = WrittenFile();
    ViewHarness h(&file);
    h.Start();
    QLineEdit* settings = h.View().Form().Edit(IDC_SETTINGS);
    settings->setFocus();
    settings->selectAll();
    QTest::keyClicks(settings, QStringLiteral("19200,E,8,2"));
    h.View().UpdateData(true);
    QCOMPARE(h.View().m_strSettings, QByteArray("19200,E,8,2"));

    h.View().SaveChannelFile();

    QVERIFY(ReadFile(DataPath(h)).startsWith(kPortLine + kRangeLine));
}

namespace {

QByteArray PrintedFrequency(double kHz)
{
    char text[400];
    std::snprintf(text, sizeof text, "%8.2f", kHz);
    return text;
}

} // namespace

void ChannelFileTest::frequency_isWrittenWithTwoDecimals_data()
{
    QTest::addColumn<double>("kHz");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("7100.5") << 7100.5 << QByteArray(" 7100.50");
    QTest::newRow("14250") << 14250.0 << QByteArray("14250.00");
    QTest::newRow("14250.127") << 14250.127 << QByteArray("14250.13");
    QTest::newRow("3.999") << 3.999 << QByteArray("    4.00");
    QTest::newRow("99999.99") << 99999.99 << QByteArray("99999.99");
    // Written as printf writes them, whatever a hand edit or an import left.
    QTest::newRow("a tie rounds to even") << 0.125 << QByteArray("    0.12");
    QTest::newRow("a tie rounds up to even") << 0.375 << QByteArray("    0.38");
    QTest::newRow("negative zero") << -0.0 << QByteArray("   -0.00");
    QTest::newRow("wider than the field") << 123456789.005 << QByteArray("123456789.00");
    QTest::newRow("not a number") << qQNaN() << QByteArray("     nan");
    QTest::newRow("minus infinity") << -qInf() << QByteArray("    -inf");
    QTest::newRow("1e300, every digit") << 1e300 << PrintedFrequency(1e300);
}

void ChannelFileTest::frequency_isWrittenWithTwoDecimals()
{
    QFETCH(double, kHz);
    QFETCH(QByteArray, written);
    const QByteArray file = WrittenFile();
    ViewHarness h(&file);
    h.Start();
    g_dChanFreq[5] = kHz;

    h.View().SaveChannelFile();

    const QByteArray expected = "\r\n  5 " + written + " U F M L\r\nNet control" + QByteArray(18, ' ') + "\r\n  6 ";
    QVERIFY2(ReadFile(DataPath(h)).contains(expected), expected.constData());
}

void ChannelFileTest::everySave_keepsThePreviousFileAsBackup()
{
    // LF line ends, so the first save's bytes differ from the file it replaces.
    const QByteArray original = WithLfLineEnds(WrittenFile());
    ViewHarness h(&original);
    h.Start();

    h.View().SaveChannelFile();
    QCOMPARE(ReadFile(BackupPath(h)), original);
    const QByteArray firstSave = ReadFile(DataPath(h));
    QCOMPARE(firstSave, WrittenFile());

    g_dChanFreq[5] = 21300.0;
    h.View().SaveChannelFile();
    QCOMPARE(ReadFile(BackupPath(h)), firstSave);
    QVERIFY(ReadFile(DataPath(h)).contains("  5 21300.00 U F M L\r\n"));

    h.View().SaveChannelFile();
    QCOMPARE(ReadFile(BackupPath(h)), ReadFile(DataPath(h)));
    QCOMPARE(h.messages, QStringList());
}

void ChannelFileTest::backupThatCannotBeWritten_savesAnywayAndSaysSoOnce()
{
    const QByteArray original = WrittenFile();
    ViewHarness h(&original);
    h.Start();
    QVERIFY(QDir(h.Dir()).mkdir(QStringLiteral("h350save.bak")));
    g_dChanFreq[5] = 21300.0;

    h.View().SaveChannelFile();
    h.View().SaveChannelFile();

    QVERIFY(ReadFile(DataPath(h)).contains("  5 21300.00 U F M L\r\n"));
    QVERIFY(QFileInfo(BackupPath(h)).isDir());
    QCOMPARE(h.messages.size(), 1);
    QVERIFY2(h.messages.front().contains(QStringLiteral("without keeping a copy")), qPrintable(h.messages.front()));
}

void ChannelFileTest::saveIntoReadOnlyDirectory_leavesTheOldFileAndSaysSo()
{
#ifdef Q_OS_WIN
    QSKIP("a folder's read-only attribute does not stop Windows writing in it");
#else
    if (geteuid() == 0)
        QSKIP("root writes into a read-only directory regardless of its permissions");
#endif
    const QByteArray file = WrittenFile();
    ViewHarness h(&file);
    h.Start();
    h.View().SaveChannelFile();
    const QByteArray fileBefore = ReadFile(DataPath(h));
    const QByteArray backupBefore = ReadFile(BackupPath(h));
    g_dChanFreq[5] = 21300.0;
    QFile dir(h.Dir());
    const QFileDevice::Permissions permissions = dir.permissions();
    QVERIFY(dir.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner));

    h.View().SaveChannelFile();

    dir.setPermissions(permissions);
    VerifyFailedSaveLeftFilesAlone(h, fileBefore, backupBefore);
}

// A file size limit makes every write of the save fail, for root as well.
void ChannelFileTest::saveThatCannotWriteItsBytes_leavesTheOldFileAndSaysSo()
{
#ifdef Q_OS_WIN
    QSKIP("Windows has no file size limit to make every write fail");
#else
    const QByteArray file = WrittenFile();
    ViewHarness h(&file);
    h.Start();
    h.View().SaveChannelFile();
    const QByteArray fileBefore = ReadFile(DataPath(h));
    const QByteArray backupBefore = ReadFile(BackupPath(h));
    g_dChanFreq[5] = 21300.0;
    {
        NoFileWrites noWrites;
        QVERIFY(noWrites.Active());

        h.View().SaveChannelFile();
    }

    VerifyFailedSaveLeftFilesAlone(h, fileBefore, backupBefore);
    QCOMPARE(g_dChanFreq[5], 21300.0);
#endif
}

// Something that is not a file stands where the file was read from; the
// save must not take it apart.
void ChannelFileTest::saveOverADirectoryOfTheFilesName_leavesItAndSaysSo()
{
    const QByteArray file = WrittenFile();
    ViewHarness h(&file);
    h.Start();
    QVERIFY(QFile::remove(DataPath(h)));
    QVERIFY(QDir(h.Dir()).mkdir(QStringLiteral("h350save.dat")));
    WriteFile(DataPath(h) + QStringLiteral("/inside"), "kept");

    h.View().SaveChannelFile();

    QCOMPARE(ReadFile(DataPath(h) + QStringLiteral("/inside")), QByteArray("kept"));
    QCOMPARE(h.messages, QStringList{QStringLiteral("Saved Data File did not open for Write!")});
    QCOMPARE(QDir(h.Dir()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("h350save.dat")});
}

void ChannelFileTest::secondLoad_givesExactly300ListItemsFromTheNewFile()
{
    const QByteArray file = WrittenFile();
    ViewHarness h(&file);
    h.Start();
    SimpleCombo* list = ChannelList(h.View());
    QCOMPARE(list->Count(), kChannelCount);
    QByteArray second = WrittenFile();
    second.replace(StoredRecord(5, "14250.00", "UFML", "Net control"), StoredRecord(5, "18100.00", "CSMR", "Second file"));
    WriteFile(DataPath(h), second);

    h.View().LoadChannelFile();

    QCOMPARE(list->Count(), kChannelCount);
    for (int slot = 0; slot < kChannelCount; ++slot)
        QCOMPARE(list->ItemText(slot), BuildChannelLine(slot));
    QCOMPARE(list->ItemText(5), QByteArray("  5 18100.00 C S M R - Second file") + QByteArray(18, ' ') + '\n');
}

QTEST_MAIN(ChannelFileTest)
#include "test_channelfile.moc"
