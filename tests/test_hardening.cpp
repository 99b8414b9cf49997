// Bad input and faults from outside: a line that never ends, noise at line
// rate, a serial device that vanishes, and channel files that are empty,
// binary, huge, or not files at all.
#include <QAbstractButton>
#include <QAbstractEventDispatcher>
#include <QDir>
#include <QRandomGenerator>
#include <QtTest>
#include <sys/stat.h>
#include <unistd.h>

#include "channels/channelfile.h"
#include "channels/channeltable.h"
#include "link/commandchannel.h"
#include "panel/tavrinview.h"
#include "panel/transmitstate.h"
#include "panel/tuningstate.h"
#include "res/resource.h"
#include "support/nofilewrites.h"
#include "support/samplefile.h"
#include "support/viewharness.h"
#include "tools/fuzz/fuzzentries.h"

namespace {

constexpr qsizetype kReceiveCap = 4096;

// What the receive buffer went through, and every line parsed, taken after
// the view's own handler at every OnComm event. The status box is emptied
// once seen, so two equal reports still count as two.
struct ReceiveWatch {
    qsizetype peakSize = 0;
    qsizetype peakCapacity = 0;
    QByteArrayList parsedLines;

    void Attach(CTavrinView& view)
    {
        QObject::connect(&view.Comm(), &CMSComm::OnComm, &view, [this, &view] {
            peakSize = std::max(peakSize, g_strReceive.size());
            peakCapacity = std::max(peakCapacity, g_strReceive.capacity());
            if (!view.m_strStatus.isEmpty())
                parsedLines << std::exchange(view.m_strStatus, CString());
        });
    }
};

QByteArray Noise(QRandomGenerator& random, int length)
{
    QByteArray bytes(length, '\0');
    for (char& c : bytes) {
        do
            c = char(random.bounded(256));
        while (c == '\n');
    }
    return bytes;
}

// A tick of the window timer with this period, delivered as the timer itself delivers it, so
// it passes through the view's per-handler error handling.
bool TickTimer(CTavrinView& view, int periodMs)
{
    auto* timers = const_cast<CWindowTimers*>(&view.Timers());
    for (const auto& info : QAbstractEventDispatcher::instance()->registeredTimers(timers)) {
        if (info.interval == periodMs) {
            QTimerEvent tick(info.timerId);
            QCoreApplication::sendEvent(timers, &tick);
            return true;
        }
    }
    return false;
}

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QString DataPath(ViewHarness& h) { return h.Dir() + QStringLiteral("/h350save.dat"); }
QString BackupPath(ViewHarness& h) { return h.Dir() + QStringLiteral("/h350save.bak"); }
QStringList Entries(const QString& dir) { return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot); }

QByteArray PortAndRangeLines() { return "1  9600 O 7 1\r\n 7000.00  7300.00   0  99\r\n"; }

QByteArray TenMegabytesOfText()
{
    QRandomGenerator random(10);
    static const char* const words[] = {"channel", "7100.00", "U", "net", "\t", "-", "0", "LSB", "  ", "99999999999"};
    QByteArray text;
    text.reserve(10 * 1024 * 1024 + 100);
    while (text.size() < 10 * 1024 * 1024) {
        for (int w = random.bounded(1, 12); w > 0; --w)
            text += QByteArray(words[random.bounded(10)]) + ' ';
        text += random.bounded(2) ? "\r\n" : "\n";
    }
    return text;
}

// Twenty records whose description lines are each 100 000 characters long.
QByteArray HundredThousandCharacterLines()
{
    QByteArray text = PortAndRangeLines();
    for (int slot = 0; slot < 20; ++slot) {
        text += FormatText("%3d %8.2f U F M L\r\n", slot, 3000.0 + slot);
        text += QByteArray(100000, char('a' + slot)) + "\r\n";
    }
    return text + QByteArray(100000, '7') + "\r\n";
}

bool RunningAsRoot() { return geteuid() == 0; }

QString KeptPath(ViewHarness& h, const char* name) { return h.Dir() + QLatin1Char('/') + QLatin1String(name); }

// A file as the panel writes it, with the record lines of slots 1 and 2 (of
// four stored) for a test to change by hand.
QByteArray FourChannels(const QByteArray& slotOneAndTwo = "  1 14250.00 U F M L\r\nNet control\r\n"
                                                         "  2  2182.00 U S M T\r\nDistress watch\r\n")
{
    return PortAndRangeLines() + "  0  7035.25 L S M R\r\n40 m net\r\n" + slotOneAndTwo
         + "  3  5000.00 A S M R\r\nTime signal\r\n";
}

const char* const kReadMessage = "Saved Data File did not open for Read!";
const char* const kWriteMessage = "Saved Data File did not open for Write!";

} // namespace

class TestHardening : public QObject {
    Q_OBJECT
private slots:
    void receiveBufferOverflow_dropsToTheNextLineFeedAndStaysCapped_data();
    void receiveBufferOverflow_dropsToTheNextLineFeedAndStaysCapped();
    void noiseWithoutLineFeedAtLineRate_keepsTheBufferCappedAndParsesNothing();

    void vanishedPort_isShownOnceAndLaterHandlersLeaveTheTitle_data();
    void vanishedPort_isShownOnceAndLaterHandlersLeaveTheTitle();

    void oddChannelFileAtStartup_loadsAllSlotsAndIsKeptAsBackupByteForByte_data();
    void oddChannelFileAtStartup_loadsAllSlotsAndIsKeptAsBackupByteForByte();
    void hundredThousandCharacterLines_areCutAndTheRecordsStayInOrder();
    void numberTooLargeForItsField_doesNotShiftTheFileAtTheNextRun();
    void directoryNamedLikeTheFileAtStartup_isNeverTouchedBySaves();
    void unreadableAtStartup_isKeptUnderANameNoLaterSaveTouches_data();
    void unreadableAtStartup_isKeptUnderANameNoLaterSaveTouches();
    void readErrorOrShortReadAtStartup_isAnUnreadableFile_data();
    void readErrorOrShortReadAtStartup_isAnUnreadableFile();
    void namedPipeAtStartup_isNotWaitedForAndNeverWrittenOver();
    void recordsOutOfPlace_areKeptAsFoundBeforeTheFirstSave_data();
    void recordsOutOfPlace_areKeptAsFoundBeforeTheFirstSave();
    void copyOfAFileOutOfPlaceThatCannotBeMade_leavesTheFileAlone();
    void unreadableFileAtStartup_isLeftExactlyAsItIs();
    void readOnlyFileAtSaveTime_isLeftAndTheUserIsTold();
};

void TestHardening::receiveBufferOverflow_dropsToTheNextLineFeedAndStaysCapped_data()
{
    QTest::addColumn<QByteArray>("radioBytes");
    QTest::addColumn<QByteArrayList>("parsedLines");
    QTest::addColumn<QByteArray>("freq");

    const QByteArray report = "F0703525 M2 K \n";
    QTest::newRow("5000 characters, then a report after the next line feed")
        << QByteArray(5000, 'x') + '\n' + report << QByteArrayList{report} << QByteArray("7035.250");
    QTest::newRow("the tail of an overflowed line is dropped, report fields included")
        << QByteArray(5000, 'y') + "F1425000 K \n" + report << QByteArrayList{report} << QByteArray("7035.250");
    const QByteArray atCap = QByteArray(4088, ' ') + "F1425000";
    QTest::newRow("a line of exactly the cap and its line feed is a report")
        << atCap + '\n' << QByteArrayList{atCap + '\n'} << QByteArray("14250.000");
    QTest::newRow("one character more overflows")
        << ' ' + atCap + '\n' + report << QByteArrayList{report} << QByteArray("7035.250");
    QTest::newRow("three overflows in a row, each resynchronised")
        << QByteArray(9000, 'z') + '\n' + QByteArray(4097, 'F') + '\n' + QByteArray(20000, '\0') + '\n' + report
        << QByteArrayList{report} << QByteArray("7035.250");
}

void TestHardening::receiveBufferOverflow_dropsToTheNextLineFeedAndStaysCapped()
{
    QFETCH(QByteArray, radioBytes);
    QFETCH(QByteArrayList, parsedLines);
    QFETCH(QByteArray, freq);
    const QByteArray file = ViewHarness::MinimalChannelFile();
    ViewHarness h(&file);
    h.Start();
    ReceiveWatch watch;
    watch.Attach(h.View());

    h.Feed(radioBytes);

    QCOMPARE(watch.parsedLines, parsedLines);
    QCOMPARE(h.View().m_strFreq, freq);
    QVERIFY(g_strReceive.isEmpty());
    QVERIFY2(watch.peakSize <= kReceiveCap, qPrintable(QString::number(watch.peakSize)));
}

// One minute of 9600 baud (960 characters a second) with no line feed, as a
// wrong baud rate or a floating line gives.
void TestHardening::noiseWithoutLineFeedAtLineRate_keepsTheBufferCappedAndParsesNothing()
{
    const QByteArray file = ViewHarness::MinimalChannelFile();
    ViewHarness h(&file);
    h.Start();
    ReceiveWatch watch;
    watch.Attach(h.View());
    QRandomGenerator random(9600);

    for (int second = 0; second < 60; ++second)
        h.Feed(Noise(random, 960));

    QVERIFY(watch.parsedLines.isEmpty());
    QVERIFY2(watch.peakSize <= kReceiveCap, qPrintable(QString::number(watch.peakSize)));
    QVERIFY2(watch.peakCapacity <= 4 * kReceiveCap, qPrintable(QString::number(watch.peakCapacity)));
    h.Feed("\nF1425000 U \n");
    QCOMPARE(watch.parsedLines, QByteArrayList{"F1425000 U \n"});
    QCOMPARE(h.View().m_strFreq, QByteArray("14250.000"));
}

void TestHardening::vanishedPort_isShownOnceAndLaterHandlersLeaveTheTitle_data()
{
    QTest::addColumn<char>("txState");
    QTest::addColumn<QByteArray>("pollCommand");
    QTest::newRow("receiving, the poll asks for status") << 'U' << QByteArray("?\nU");
    QTest::newRow("keyed, the poll repeats the key") << 'K' << QByteArray("K");
}

void TestHardening::vanishedPort_isShownOnceAndLaterHandlersLeaveTheTitle()
{
    QFETCH(char, txState);
    QFETCH(QByteArray, pollCommand);
    const QByteArray file = ViewHarness::MinimalChannelFile();
    ViewHarness h(&file);
    h.View().setWindowTitle(QStringLiteral("Untitled - Harris RT-1446/URC"));
    h.Start();
    QVERIFY(h.View().Comm().GetPortOpen());
    h.TakeWrites();

    h.Port().Vanish();
    const QString lostTitle = QStringLiteral("Untitled - Harris RT-1446/URC - COM1 (%1) lost: device removed")
                                  .arg(h.View().Comm().DeviceName());
    QCOMPARE(h.View().window()->windowTitle(), lostTitle);
    const QString problem = h.View().PortProblem();
    h.Port().Vanish();

    g_chTxState = txState;
    try {
        for (int poll = 0; poll < 3; ++poll)
            QVERIFY(TickTimer(h.View(), 3000));
        QCOMPARE(h.View().m_strLastCommand, pollCommand);
        h.View().Form().Button(IDC_FREQ_UP)->click();
    } catch (...) {
        QFAIL("an error of the closed port escaped its handler");
    }

    QCOMPARE(h.View().window()->windowTitle(), lostTitle);
    QCOMPARE(h.View().PortProblem(), problem);
    QVERIFY(h.messages.isEmpty());
    QVERIFY(h.TakeWrites().isEmpty());
    QVERIFY(!h.View().Comm().GetPortOpen());
}

void TestHardening::oddChannelFileAtStartup_loadsAllSlotsAndIsKeptAsBackupByteForByte_data()
{
    QTest::addColumn<QByteArray>("fileBytes");
    QTest::addColumn<bool>("outOfPlace"); // no channel numbers where the records should start
    QRandomGenerator random(350);
    QTest::newRow("0 bytes") << QByteArray() << false;
    QTest::newRow("64 KB of binary garbage") << Noise(random, 65536) + "\n\r\0" << true;
    QTest::newRow("10 MB of text") << TenMegabytesOfText() << true;
    QTest::newRow("lines of 100 000 characters") << HundredThousandCharacterLines() << true;
    QTest::newRow("one line of 10 MB of digits") << QByteArray(10 * 1024 * 1024, '9') << false; // all of it is line 1
}

void TestHardening::oddChannelFileAtStartup_loadsAllSlotsAndIsKeptAsBackupByteForByte()
{
    QFETCH(QByteArray, fileBytes);
    QFETCH(bool, outOfPlace);
    ViewHarness h(&fileBytes);

    h.Start();

    QVERIFY(h.messages.isEmpty());
    QCOMPARE(h.View().m_cbChannels.GetCount(), kChannelCount);
    for (int slot = 0; slot < kChannelCount; ++slot) {
        const QString problem = fuzzentry::SlotProblem(slot);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
    }
    h.View().SaveChannelFile();
    QVERIFY(ReadFile(BackupPath(h)) == fileBytes);
    const QByteArray firstSave = ReadFile(DataPath(h));
    QCOMPARE(firstSave, ChannelFileBytes());
    g_dChanFreq[7] = 18100.0;
    h.View().SaveChannelFile();
    QCOMPARE(ReadFile(BackupPath(h)), firstSave);
    QCOMPARE(ReadFile(DataPath(h)), ChannelFileBytes());
    QStringList entries{QStringLiteral("h350save.bak"), QStringLiteral("h350save.dat")};
    if (outOfPlace) {
        QCOMPARE(h.messages.size(), 1);
        QVERIFY(ReadFile(KeptPath(h, "h350save.orig")) == fileBytes);
        entries << QStringLiteral("h350save.orig");
    }
    QCOMPARE(h.messages.isEmpty(), !outOfPlace);
    QCOMPARE(Entries(h.Dir()), entries);
}

void TestHardening::hundredThousandCharacterLines_areCutAndTheRecordsStayInOrder()
{
    const QByteArray file = HundredThousandCharacterLines();
    ViewHarness h(&file);

    h.Start();

    for (int slot = 0; slot < 20; ++slot) {
        QCOMPARE(g_dChanFreq[slot], 3000.0 + slot);
        QCOMPARE(QByteArray(g_chChanDesc[slot], kDescLength), QByteArray(29, char('a' + slot)) + '\n');
    }
    // The line of digits after the last record is read as slot 20's number.
    QCOMPARE(QByteArray(g_chChanDesc[21], kDescLength), QByteArray(29, '*') + '\n');
}

// A hand-edited number past the range of its field reads as infinity; what
// the save writes for it must read back at the next start without pushing
// the rest of the line, and every record after it, out of place.
void TestHardening::numberTooLargeForItsField_doesNotShiftTheFileAtTheNextRun()
{
    const QByteArray edited = "1  9600 O 7 1\r\n 1e39 30000.00   0  99\r\n"
                              "  0 1e400 U F M L\r\nOverflowing frequency\r\n"
                              "  1 14250.00 U F M L\r\nNet control\r\n";
    QByteArray saved;
    {
        ViewHarness first(&edited);
        first.Start();
        first.View().SaveChannelFile();
        saved = ReadFile(DataPath(first));
    }
    ViewHarness next(&saved);

    next.Start();

    QCOMPARE(g_fScanUpper, 30000.0f);
    QCOMPARE(g_nChanUpper, 99);
    QCOMPARE(g_dChanFreq[1], 14250.0);
    const char letters[] = {g_chChanMode[1], g_chChanAgc[1], g_chChanInput[1], g_chChanRoute[1]};
    QCOMPARE(QByteArray(letters, 4), QByteArray("UFML"));
    QCOMPARE(QByteArray(g_chChanDesc[1], kDescLength), QByteArray("Net control").leftJustified(29, ' ') + '\n');
}

void TestHardening::directoryNamedLikeTheFileAtStartup_isNeverTouchedBySaves()
{
    ViewHarness h;
    QVERIFY(QDir(h.Dir()).mkdir(QStringLiteral("h350save.dat")));
    WriteFile(DataPath(h) + QStringLiteral("/inside"), "kept");

    h.Start();
    h.View().SaveChannelFile();
    h.View().SaveChannelFile();
    h.View().PostNcDestroy();

    QCOMPARE(h.messages.size(), 2);
    QCOMPARE(h.messages[0], QString::fromLatin1(kReadMessage));
    QVERIFY2(h.messages[1].contains(QStringLiteral("h350save.dat")) && h.messages[1].contains(QStringLiteral("left exactly as it is")),
             qPrintable(h.messages[1]));
    QVERIFY(QFileInfo(DataPath(h)).isDir());
    QCOMPARE(Entries(DataPath(h)), QStringList{QStringLiteral("inside")});
    QCOMPARE(ReadFile(DataPath(h) + QStringLiteral("/inside")), QByteArray("kept"));
    QCOMPARE(Entries(h.Dir()), QStringList{QStringLiteral("h350save.dat")});
}

// A file that could not be read at start-up and can be at the first save
// (here a directory of its name, replaced by a file while the panel runs)
// is the user's: the second save, which rotates h350save.bak, must not lose it.
void TestHardening::unreadableAtStartup_isKeptUnderANameNoLaterSaveTouches_data()
{
    QTest::addColumn<int>("earlierCopies");
    QTest::addColumn<QString>("keptAs");
    QTest::newRow("first time") << 0 << QStringLiteral("h350save.unreadable");
    QTest::newRow("two copies kept by earlier runs") << 2 << QStringLiteral("h350save.unreadable.3");
}

void TestHardening::unreadableAtStartup_isKeptUnderANameNoLaterSaveTouches()
{
    QFETCH(int, earlierCopies);
    QFETCH(QString, keptAs);
    ViewHarness h;
    for (int n = 1; n <= earlierCopies; ++n)
        WriteFile(KeptPath(h, "h350save.unreadable") + (n == 1 ? QString() : QStringLiteral(".%1").arg(n)), "earlier run");
    QVERIFY(QDir(h.Dir()).mkdir(QStringLiteral("h350save.dat")));
    h.Start();
    QVERIFY(QDir(h.Dir()).rmdir(QStringLiteral("h350save.dat")));
    const QByteArray putThere = PortAndRangeLines() + "  0  7100.00 L S M R\r\nput there by hand\r\n";
    WriteFile(DataPath(h), putThere);

    h.View().SaveChannelFile();
    g_dChanFreq[4] = 18100.0;
    h.View().SaveChannelFile();
    h.View().PostNcDestroy();

    const QString keptPath = h.Dir() + QLatin1Char('/') + keptAs;
    QCOMPARE(ReadFile(keptPath), putThere);
    QCOMPARE(ReadFile(DataPath(h)), ChannelFileBytes());
    QCOMPARE(h.messages.size(), 2);
    QCOMPARE(h.messages[0], QString::fromLatin1(kReadMessage));
    QVERIFY2(h.messages[1].contains(keptPath), qPrintable(h.messages[1]));
    QCOMPARE(Entries(h.Dir()).size(), 3 + earlierCopies);
    QCOMPARE(ReadFile(KeptPath(h, "h350save.unreadable")), earlierCopies ? QByteArray("earlier run") : putThere);
}

// Files that open but cannot be read whole, both real: the test process's
// own memory file fails its first read, and a kernel attribute file says it
// holds 4096 bytes but gives a few.
void TestHardening::readErrorOrShortReadAtStartup_isAnUnreadableFile_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("read error") << QStringLiteral("/proc/self/mem");
    QTest::newRow("short read") << QStringLiteral("/sys/devices/system/cpu/online");
}

void TestHardening::readErrorOrShortReadAtStartup_isAnUnreadableFile()
{
    QFETCH(QString, target);
    ViewHarness h;
    QVERIFY(QFile::link(target, DataPath(h)));

    h.Start();
    h.View().SaveChannelFile();

    QCOMPARE(h.View().m_cbChannels.GetCount(), 0);
    QCOMPARE(g_nCommPort, 0);
    QCOMPARE(h.messages.size(), 2);
    QCOMPARE(h.messages[0], QString::fromLatin1(kReadMessage));
    QVERIFY2(h.messages[1].contains(QStringLiteral("left exactly as it is")), qPrintable(h.messages[1]));
    QCOMPARE(QFileInfo(DataPath(h)).symLinkTarget(), target);
    QCOMPARE(Entries(h.Dir()), QStringList{QStringLiteral("h350save.dat")});
}

// Opening a pipe for reading waits for a writer: the panel would never start.
void TestHardening::namedPipeAtStartup_isNotWaitedForAndNeverWrittenOver()
{
    ViewHarness h;
    QVERIFY(mkfifo(QFile::encodeName(DataPath(h)).constData(), 0600) == 0);

    h.Start();
    h.View().SaveChannelFile();

    QCOMPARE(h.messages.size(), 2);
    QCOMPARE(h.messages[0], QString::fromLatin1(kReadMessage));
    QVERIFY2(h.messages[1].contains(QStringLiteral("left exactly as it is")), qPrintable(h.messages[1]));
    QVERIFY(!QFileInfo(DataPath(h)).isFile() && QFileInfo::exists(DataPath(h)));
    QCOMPARE(QDir(h.Dir()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral("h350save.dat")});
}

// Every record starts with its slot's number, which the reading skips. A
// record that does not is a sign of a hand edit that moved every record after
// it; the file is kept as it was before the first save writes the table back.
void TestHardening::recordsOutOfPlace_areKeptAsFoundBeforeTheFirstSave_data()
{
    QTest::addColumn<QByteArray>("fileBytes");
    QTest::addColumn<bool>("outOfPlace");
    QByteArray lfOnly = FourChannels();
    lfOnly.replace("\r\n", "\n");
    QTest::newRow("as the panel writes it, most slots never stored") << SampleChannelFile() << false;
    QTest::newRow("four records, then the end of the file") << FourChannels() << false;
    QTest::newRow("line feeds only") << lfOnly << false;
    QTest::newRow("no records at all") << PortAndRangeLines() << false;
    QTest::newRow("blanks after the fourth letter")
        << FourChannels("  1 14250.00 U F M L   \r\nNet control\r\n  2  2182.00 U S M T\r\nDistress watch\r\n") << true;
    QTest::newRow("two records swapped")
        << FourChannels("  2  2182.00 U S M T\r\nDistress watch\r\n  1 14250.00 U F M L\r\nNet control\r\n") << true;
    QTest::newRow("a record deleted") << FourChannels("  2  2182.00 U S M T\r\nDistress watch\r\n") << true;
    QTest::newRow("a description split in two")
        << FourChannels("  1 14250.00 U F M L\r\nNet\r\ncontrol\r\n  2  2182.00 U S M T\r\nDistress watch\r\n") << true;
}

void TestHardening::recordsOutOfPlace_areKeptAsFoundBeforeTheFirstSave()
{
    QFETCH(QByteArray, fileBytes);
    QFETCH(bool, outOfPlace);
    ViewHarness h(&fileBytes);
    WriteFile(KeptPath(h, "h350save.orig.2"), "kept by an earlier run");

    h.Start();
    h.View().SaveChannelFile();
    const QByteArray firstSave = ReadFile(DataPath(h));
    g_dChanFreq[7] = 18100.0;
    h.View().PostNcDestroy();

    QCOMPARE(ReadFile(BackupPath(h)), firstSave);
    QCOMPARE(ReadFile(KeptPath(h, "h350save.orig.2")), QByteArray("kept by an earlier run"));
    if (!outOfPlace) {
        QVERIFY(h.messages.isEmpty());
        QVERIFY(!QFileInfo::exists(KeptPath(h, "h350save.orig")));
        return;
    }
    QVERIFY(ReadFile(KeptPath(h, "h350save.orig")) == fileBytes);
    QCOMPARE(h.messages.size(), 1);
    QVERIFY2(h.messages[0].contains(KeptPath(h, "h350save.orig")), qPrintable(h.messages[0]));
    QCOMPARE(Entries(h.Dir()).size(), 4);
}

void TestHardening::copyOfAFileOutOfPlaceThatCannotBeMade_leavesTheFileAlone()
{
    const QByteArray file = FourChannels("  2  2182.00 U S M T\r\nDistress watch\r\n");
    ViewHarness h(&file);
    h.Start();
    {
        NoFileWrites noWrites;
        QVERIFY(noWrites.Active());

        h.View().SaveChannelFile();
        h.View().SaveChannelFile();
    }

    QCOMPARE(ReadFile(DataPath(h)), file);
    QCOMPARE(Entries(h.Dir()), QStringList{QStringLiteral("h350save.dat")});
    QCOMPARE(h.messages.size(), 1);
    QVERIFY2(h.messages[0].contains(QStringLiteral("left exactly as it is")), qPrintable(h.messages[0]));
}

void TestHardening::unreadableFileAtStartup_isLeftExactlyAsItIs()
{
    if (RunningAsRoot())
        QSKIP("root reads a file whatever its mode");
    const QByteArray file = PortAndRangeLines();
    ViewHarness h(&file);
    QVERIFY(QFile::setPermissions(DataPath(h), QFileDevice::Permissions()));

    h.Start();
    h.View().SaveChannelFile();

    QFile::setPermissions(DataPath(h), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QCOMPARE(ReadFile(DataPath(h)), file);
    QCOMPARE(h.messages.size(), 2);
    QCOMPARE(h.messages[0], QString::fromLatin1(kReadMessage));
    QVERIFY2(h.messages[1].contains(QStringLiteral("left exactly as it is")), qPrintable(h.messages[1]));
}

void TestHardening::readOnlyFileAtSaveTime_isLeftAndTheUserIsTold()
{
    if (RunningAsRoot())
        QSKIP("root writes a file whatever its mode");
    const QByteArray file = PortAndRangeLines();
    ViewHarness h(&file);
    h.Start();
    QVERIFY(QFile::setPermissions(DataPath(h), QFileDevice::ReadOwner));
    g_dChanFreq[3] = 7100.0;

    h.View().SaveChannelFile();

    QFile::setPermissions(DataPath(h), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QCOMPARE(ReadFile(DataPath(h)), file);
    QCOMPARE(h.messages, QStringList{QString::fromLatin1(kWriteMessage)});
}

QTEST_MAIN(TestHardening)
#include "test_hardening.moc"
