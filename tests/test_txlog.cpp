// The transmission and access records: the bytes on the disk at each step,
// a record a kill left open closed at the next start, the records' modes
// and links, an unwritable folder
// never in the transmitter's way, the reader on odd lines, --transmissions,
// and the Transmissions window, a year of records opened in it in time.
#include <QComboBox>
#include <QDateEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>
#include <unistd.h>

#include "app/commandline.h"
#include "support/timelimits.h"
#include "txlog/accessfile.h"
#include "txlog/transmissioncsv.h"
#include "txlog/transmissionfile.h"
#include "txlog/transmissionreader.h"
#include "txlog/transmissionscommand.h"
#include "txlog/transmissionswindow.h"

namespace {

const QByteArray kHeader = kTransmissionsHeader;

QDateTime Utc(const char* text) { return QDateTime::fromString(QLatin1String(text), Qt::ISODateWithMs); }

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

TransmissionRecord Started(const char* start, const QString& who = QStringLiteral("the panel"), double khz = 7150)
{
    TransmissionRecord record;
    record.start = Utc(start);
    record.frequencyKhz = khz;
    record.mode = QStringLiteral("LSB");
    record.who = who;
    record.began = QStringLiteral("Xmit");
    return record;
}

QByteArray Line(const char* start, const char* who, const char* end, const char* duration)
{
    return QByteArray(start) + ",7150.00,LSB," + who + ",Xmit," + end + ',' + duration + ",Receive\r\n";
}

// Three months, the newest first: two in December by two stations, one
// over midnight into the 2nd, one in November, one in October.
void WriteThreeMonths(const QString& folder)
{
    Write(folder + "/transmissions-2026-10.csv",
          kHeader + Line("2026-10-15T12:00:00.000Z", "the panel", "2026-10-15T12:00:10.000Z", "10.000"));
    Write(folder + "/transmissions-2026-11.csv",
          kHeader + Line("2026-11-30T23:59:50.000Z", "the panel", "2026-11-30T23:59:59.000Z", "9.000"));
    Write(folder + "/transmissions-2026-12.csv",
          kHeader + Line("2026-12-01T23:59:00.000Z", "the panel", "2026-12-02T00:01:00.000Z", "120.000")
              + Line("2026-12-02T08:00:00.000Z", "the radio", "2026-12-02T08:00:30.000Z", "30.000"));
}

// 200 transmissions a day, 30 s each, by three stations, as the files hold them.
void WriteYear(const QString& folder, int year)
{
    const char* who[] = {"the panel", "station program 127.0.0.1:40512", "the radio"};
    for (int month = 1; month <= 12; ++month) {
        QByteArray text = kHeader;
        const QDate first(year, month, 1);
        for (QDate day = first; day.month() == month; day = day.addDays(1))
            for (int i = 0; i < 200; ++i) {
                TransmissionRecord record = Started("2000-01-01T00:00:00.000Z", QLatin1String(who[i % 3]));
                record.start = QDateTime(day, QTime(0, 0), Qt::UTC).addSecs(i * 420);
                record.end = record.start.addMSecs(30123);
                record.ended = QStringLiteral("Receive");
                text += RecordText(record);
            }
        Write(folder + QStringLiteral("/transmissions-%1-%2.csv").arg(year).arg(month, 2, 10, QLatin1Char('0')), text);
    }
}

// What --transmissions prints in the folder, standard output caught in a file.
QByteArray PrintedIn(const QString& folder, const TransmissionsCommandLine& command)
{
    const QString started = QDir::currentPath();
    QDir::setCurrent(folder);
    QFile caught(folder + "/printed");
    caught.open(QIODevice::WriteOnly);
    std::fflush(stdout);
    const int kept = ::dup(STDOUT_FILENO);
    ::dup2(caught.handle(), STDOUT_FILENO);
    const int status = RunTransmissionsCommand(command);
    std::fflush(stdout);
    ::dup2(kept, STDOUT_FILENO);
    ::close(kept);
    QDir::setCurrent(started);
    return status == 0 ? Bytes(folder + "/printed") : QByteArray("failed");
}

} // namespace

class TxLogTest : public QObject {
    Q_OBJECT

private slots:
    void beginAndEnd_writeTheLineInTwoParts_data()
    {
        QTest::addColumn<QString>("who");
        QTest::addColumn<double>("khz");
        QTest::addColumn<QByteArray>("start");
        QTest::addColumn<QByteArray>("end");
        QTest::newRow("plain") << "the panel" << 7150.0 << QByteArray("2026-12-08T14:02:03.456Z,7150.00,LSB,the panel,Xmit,")
                               << QByteArray("2026-12-08T14:02:15.801Z,12.345,Receive\r\n");
        QTest::newRow("who with a comma and a quote")
            << "station \"A\", port 4" << 3500.5
            << QByteArray("2026-12-08T14:02:03.456Z,3500.50,LSB,\"station \"\"A\"\", port 4\",Xmit,")
            << QByteArray("2026-12-08T14:02:15.801Z,12.345,Receive\r\n");
        QTest::newRow("no frequency reported, a line end in who")
            << "the\nradio" << -1.0 << QByteArray("2026-12-08T14:02:03.456Z,,LSB,the radio,Xmit,")
            << QByteArray("2026-12-08T14:02:15.801Z,12.345,Receive\r\n");
    }

    void beginAndEnd_writeTheLineInTwoParts()
    {
        QFETCH(QString, who);
        QFETCH(double, khz);
        QFETCH(QByteArray, start);
        QFETCH(QByteArray, end);
        QTemporaryDir dir;
        CTransmissionFile file(dir.path());
        const QString path = dir.filePath("transmissions-2026-12.csv");
        file.Begin(Started("2026-12-08T14:02:03.456Z", who, khz));
        QCOMPARE(Bytes(path), kHeader + start);
        file.End(Utc("2026-12-08T14:02:15.801Z"), QStringLiteral("Receive"));
        QCOMPARE(Bytes(path), kHeader + start + end);
        file.End(Utc("2026-12-08T14:03:00.000Z"), QStringLiteral("Receive"));  // nothing open
        QCOMPARE(Bytes(path), kHeader + start + end);
    }

    void closeUnfinished_completesTheLastLine_data()
    {
        const QByteArray whole = Line("2026-12-08T14:00:00.000Z", "the panel", "2026-12-08T14:00:05.000Z", "5.000");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("appended");
        QTest::addColumn<int>("records");  // read back afterwards
        QTest::newRow("an open record") << kHeader + whole + "2026-12-08T15:00:00.000Z,7150.00,USB,the panel,Xmit,"
                                        << QByteArray(",,the program was killed (end time unknown)\r\n") << 2;
        QTest::newRow("complete") << kHeader + whole << QByteArray() << 1;
        QTest::newRow("headers only") << kHeader << QByteArray() << 0;
        QTest::newRow("empty") << QByteArray() << QByteArray() << 0;
        QTest::newRow("cut in a quoted who") << kHeader + whole + "2026-12-08T15:00:00.000Z,7150.00,USB,\"station, A"
                                             << QByteArray("\",,,,the program was killed (end time unknown)\r\n") << 2;
        QTest::newRow("cut in the start time") << kHeader + whole + "2026-12-08T15:0"
                                               << QByteArray(",,,,,,,the program was killed (end time unknown)\r\n") << 1;
        QTest::newRow("cut in the header") << QByteArray("start_utc,frequency_khz,mo")
                                           << kHeader.mid(26) << 0;
        QTest::newRow("cut between CR and LF") << kHeader + whole.chopped(1) << QByteArray("\n") << 1;
        QTest::newRow("cut in the end") << kHeader + "2026-12-08T15:00:00.000Z,7150.00,USB,the panel,Xmit,2026-12-08T15:0"
                                        << QByteArray(",,the program was killed (end time unknown)\r\n") << 1;
    }

    void closeUnfinished_completesTheLastLine()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, appended);
        QFETCH(int, records);
        QTemporaryDir dir;
        Write(dir.filePath("transmissions-2026-11.csv"), "never looked at,");
        Write(dir.filePath("transmissions-2026-12.csv"), before);
        CTransmissionFile(dir.path()).CloseUnfinished();
        QCOMPARE(Bytes(dir.filePath("transmissions-2026-12.csv")), before + appended);
        QCOMPARE(Bytes(dir.filePath("transmissions-2026-11.csv")), QByteArray("never looked at,"));
        QCOMPARE(ReadTransmissions(dir.path(), QDate(2026, 12, 1), QDate()).size(), records);
    }

    void aStartNearMidnight_keepsItsMonthsFile()
    {
        QTemporaryDir dir;
        CTransmissionFile file(dir.path());
        file.Begin(Started("2026-11-30T23:59:59.900Z"));
        file.End(Utc("2026-12-01T00:00:02.000Z"), QStringLiteral("Receive"));
        QCOMPARE(Bytes(dir.filePath("transmissions-2026-11.csv")),
                 kHeader + "2026-11-30T23:59:59.900Z,7150.00,LSB,the panel,Xmit,2026-12-01T00:00:02.000Z,2.100,Receive\r\n");
        QVERIFY(!QFile::exists(dir.filePath("transmissions-2026-12.csv")));
    }

    void anUnwritableFolder_isToldOnceAndNeverBlocks()
    {
        QTemporaryDir dir;
        const QString notAFolder = dir.filePath("file");
        Write(notAFolder, "x");
        CTransmissionFile file(notAFolder);
        CAccessFile access(notAFolder);
        QSignalSpy problems(&file, &CTransmissionFile::Problem);
        QSignalSpy accessProblems(&access, &CAccessFile::Problem);
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < 2; ++i) {
            file.Begin(Started("2026-12-08T14:02:03.456Z"));
            file.End(Utc("2026-12-08T14:02:15.801Z"), QStringLiteral("Receive"));
            access.Record("connected", "127.0.0.1:40512", "station program");
        }
        QVERIFY(timer.elapsed() < 1000);
        QCOMPARE(problems.size(), 1);
        QVERIFY(problems[0][0].toString().startsWith("cannot write the transmission record "));
        QVERIFY(problems[0][0].toString().contains("transmissions-2026-12.csv"));
        QCOMPARE(accessProblems.size(), 1);
    }

    void theAccessRecord_appendsCompleteLines()
    {
        QTemporaryDir dir;
        CAccessFile access(dir.path());
        access.Record("connected", "127.0.0.1:40512", "WSJT-X, \"main\"");
        access.Record("went away", "127.0.0.1:40512", QString());
        const QString name = AccessFileName(QDateTime::currentDateTimeUtc());
        const QList<QByteArray> lines = Bytes(dir.filePath(name)).split('\n');
        QCOMPARE(lines.size(), 4);
        QCOMPARE(lines[0], QByteArray("time_utc,event,address,name\r"));
        QVERIFY(lines[1].endsWith(",connected,127.0.0.1:40512,\"WSJT-X, \"\"main\"\"\"\r"));
        QVERIFY(lines[2].endsWith(",went away,127.0.0.1:40512,\r"));
    }

    // Other users of the computer read neither who transmitted nor who
    // logged in, and a link put in a record's place writes nowhere else.
    void aRecord_isItsOwnersAlone_andALinkInItsPlaceIsNotFollowed()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(AccessFileName(QDateTime::currentDateTimeUtc()));
        CAccessFile access(dir.path());
        access.Record("connected", "127.0.0.1:40512", QString());
        QCOMPARE(QFileInfo(path).permissions() & ~(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser),
                 QFile::Permissions());
        QVERIFY(QFile::remove(path));
        Write(dir.filePath("elsewhere"), "x");
        QVERIFY(QFile::link(dir.filePath("elsewhere"), path));
        QSignalSpy problems(&access, &CAccessFile::Problem);
        access.Record("connected", "127.0.0.1:40512", QString());
        QCOMPARE(Bytes(dir.filePath("elsewhere")), QByteArray("x"));
        QCOMPARE(problems.size(), 1);
    }

    void theReader_takesTheMonthsTheDatesReach_data()
    {
        QTest::addColumn<QDate>("since");
        QTest::addColumn<QDate>("until");
        QTest::addColumn<QStringList>("starts");  // newest first
        QTest::newRow("all") << QDate() << QDate()
                             << QStringList{"2026-12-02T08:00:00", "2026-12-01T23:59:00", "2026-11-30T23:59:50",
                                            "2026-10-15T12:00:00"};
        QTest::newRow("a day in November: the month") << QDate(2026, 11, 2) << QDate(2026, 11, 2)
                                                      << QStringList{"2026-11-30T23:59:50"};
        QTest::newRow("since the end of November")
            << QDate(2026, 11, 30) << QDate() << QStringList{"2026-12-02T08:00:00", "2026-12-01T23:59:00", "2026-11-30T23:59:50"};
        QTest::newRow("until October's last day") << QDate() << QDate(2026, 10, 31) << QStringList{"2026-10-15T12:00:00"};
        QTest::newRow("before any") << QDate(2025, 1, 1) << QDate(2025, 12, 31) << QStringList();
    }

    void theReader_takesTheMonthsTheDatesReach()
    {
        QFETCH(QDate, since);
        QFETCH(QDate, until);
        QFETCH(QStringList, starts);
        QTemporaryDir dir;
        WriteThreeMonths(dir.path());
        Write(dir.filePath("transmissions-old.csv"), kHeader + Line("2026-10-15T12:00:00.000Z", "x", "", ""));
        QStringList read;
        for (const TransmissionRecord& record : ReadTransmissions(dir.path(), since, until))
            read << record.start.toString(Qt::ISODate).chopped(1);
        QCOMPARE(read, starts);
    }

    void theReader_passesOverOddLines_data()
    {
        QTest::addColumn<QByteArray>("odd");
        QTest::addColumn<QStringList>("who");  // of the records read, newest first
        const QStringList both{"B", "A"};
        QTest::newRow("too many fields") << QByteArray("2026-12-08T14:01:00.000Z,7150.00,LSB,X,Xmit,,,,extra\r\n") << both;
        QTest::newRow("too few fields") << QByteArray("2026-12-08T14:01:00.000Z,7150.00,LSB\r\n") << both;
        QTest::newRow("not a time") << QByteArray("yesterday,7150.00,LSB,X,Xmit,,,\r\n") << both;
        QTest::newRow("not a frequency") << QByteArray("2026-12-08T14:01:00.000Z,seven,LSB,X,Xmit,,,\r\n") << both;
        QTest::newRow("a stray quote, kept as a character")
            << QByteArray("2026-12-08T14:01:00.000Z,7150.00,LSB,\"X,Xmit,,,\r\n") << QStringList{"B", "\"X", "A"};
        QTest::newRow("blank lines, LF alone") << QByteArray("\r\n\n\n") << both;
        QTest::newRow("a hand-typed time, a line end in quotes")
            << QByteArray("2026-12-08 14:01,,,\"C\nD\",Xmit,,,\n") << QStringList{"B", "C\nD", "A"};
        QTest::newRow("binary") << QByteArray("\0\xff\xfe,,\"\"\"\r\n", 10) << both;
    }

    void theReader_passesOverOddLines()
    {
        QFETCH(QByteArray, odd);
        QFETCH(QStringList, who);
        QTemporaryDir dir;
        Write(dir.filePath("transmissions-2026-12.csv"),
              kHeader + Line("2026-12-08T14:00:00.000Z", "A", "2026-12-08T14:00:05.000Z", "5.000") + odd
                  + Line("2026-12-08T14:02:00.000Z", "B", "", ""));
        QStringList read;
        for (const TransmissionRecord& record : ReadTransmissions(dir.path(), QDate(), QDate()))
            read << record.who;
        QCOMPARE(read, who);
    }

    void theCommandLine_takesTheDates_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");  // -1: the program goes on
        QTest::addColumn<QDate>("since");
        QTest::addColumn<QDate>("until");
        QTest::newRow("all") << QStringList{"--transmissions"} << -1 << QDate() << QDate();
        QTest::newRow("both dates") << QStringList{"--transmissions", "--since", "2026-11-01", "--until=2026-11-30"}
                                    << -1 << QDate(2026, 11, 1) << QDate(2026, 11, 30);
        QTest::newRow("a bad date") << QStringList{"--transmissions", "--since", "2026-02-30"} << 2 << QDate() << QDate();
        QTest::newRow("not a date") << QStringList{"--transmissions", "--until", "last week"} << 2 << QDate() << QDate();
        QTest::newRow("since after until") << QStringList{"--transmissions", "--since=2026-12-02", "--until=2026-12-01"}
                                           << 2 << QDate() << QDate();
        QTest::newRow("--since alone") << QStringList{"--since", "2026-11-01"} << 2 << QDate() << QDate();
        QTest::newRow("--until alone") << QStringList{"--until", "2026-11-01"} << 2 << QDate() << QDate();
    }

    void theCommandLine_takesTheDates()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QDate, since);
        QFETCH(QDate, until);
        int code = -1;
        const std::optional<StartOptions> options = ParseCommandLine(QStringList{"tavrin"} + arguments, code);
        QCOMPARE(options ? -1 : code, exitCode);
        if (options) {
            QVERIFY(options->transmissions.print);
            QCOMPARE(options->transmissions.since, since);
            QCOMPARE(options->transmissions.until, until);
        }
    }

    void theCommandLine_printsTheDaysOldestFirst_data()
    {
        QTest::addColumn<QDate>("since");
        QTest::addColumn<QDate>("until");
        QTest::addColumn<QByteArray>("printed");
        const QByteArray october = Line("2026-10-15T12:00:00.000Z", "the panel", "2026-10-15T12:00:10.000Z", "10.000");
        const QByteArray november = Line("2026-11-30T23:59:50.000Z", "the panel", "2026-11-30T23:59:59.000Z", "9.000");
        const QByteArray onAir = "2026-12-01T23:59:00.000Z,7150.00,LSB,the panel,Xmit,,,\r\n";
        QTest::newRow("all") << QDate() << QDate() << kHeader + october + november + onAir;
        QTest::newRow("the days, not their months")
            << QDate(2026, 10, 16) << QDate(2026, 11, 30) << kHeader + november;
        QTest::newRow("since the 1st, one on air") << QDate(2026, 12, 1) << QDate() << kHeader + onAir;
        QTest::newRow("none") << QDate(2027, 1, 1) << QDate() << kHeader;
    }

    void theCommandLine_printsTheDaysOldestFirst()
    {
        QFETCH(QDate, since);
        QFETCH(QDate, until);
        QFETCH(QByteArray, printed);
        QTemporaryDir dir;
        WriteThreeMonths(dir.path());
        QFile::resize(dir.filePath("transmissions-2026-12.csv"), kHeader.size() + 52);  // on air
        QCOMPARE(PrintedIn(dir.path(), TransmissionsCommandLine{true, since, until}), printed);
    }

    void theWindow_filtersByDatesAndWho_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QString>("who");  // empty: everyone
        QTest::addColumn<QStringList>("starts");  // the rows shown
        QTest::addColumn<QStringList>("days");    // the totals: day, time on air
        QTest::newRow("all") << QDate(2026, 10, 1) << QDate(2026, 12, 31) << QString()
                             << QStringList{"2026-12-02 08:00:00", "2026-12-01 23:59:00", "2026-11-30 23:59:50", "2026-10-15 12:00:00"}
                             << QStringList{"2026-12-02 1:30", "2026-12-01 1:00", "2026-11-30 9.0 s", "2026-10-15 10.0 s"};
        QTest::newRow("the panel in December") << QDate(2026, 12, 1) << QDate(2026, 12, 31) << "the panel"
                                               << QStringList{"2026-12-01 23:59:00"}
                                               << QStringList{"2026-12-02 1:00", "2026-12-01 1:00"};
        QTest::newRow("the radio in November") << QDate(2026, 11, 1) << QDate(2026, 11, 30) << "the radio" << QStringList()
                                               << QStringList();
        QTest::newRow("one day, dates within a month read") << QDate(2026, 11, 30) << QDate(2026, 11, 30) << QString()
                                                           << QStringList{"2026-11-30 23:59:50"} << QStringList{"2026-11-30 9.0 s"};
    }

    void theWindow_filtersByDatesAndWho()
    {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QString, who);
        QFETCH(QStringList, starts);
        QFETCH(QStringList, days);
        QTemporaryDir dir;
        WriteThreeMonths(dir.path());
        CTransmissionsWindow window(dir.path(), nullptr, QDate(2026, 12, 1), QDate(2026, 12, 31));
        window.From()->setDate(from);
        window.To()->setDate(to);
        if (!who.isEmpty())
            window.Who()->setCurrentIndex(window.Who()->findText(who));
        QCOMPARE(window.Who()->count(), 3);  // Everyone, the panel, the radio
        QStringList shown;
        const QAbstractItemModel* model = window.Table()->model();
        for (int row = 0; row < model->rowCount(); ++row)
            shown << model->index(row, 0).data().toString();
        QCOMPARE(shown, starts);
        QStringList totals;
        for (int row = 0; row < window.DayTotals()->rowCount(); ++row)
            totals << window.DayTotals()->item(row, 0)->text() + ' ' + window.DayTotals()->item(row, 1)->text();
        QCOMPARE(totals, days);
    }

    void theWindow_exportsTheRowsShown()
    {
        QTemporaryDir dir;
        WriteThreeMonths(dir.path());
        QFile::resize(dir.filePath("transmissions-2026-12.csv"), kHeader.size() + 52);  // on air
        CTransmissionsWindow window(dir.path(), nullptr, QDate(2026, 11, 1), QDate(2026, 12, 31));
        QVERIFY(window.Export(dir.filePath("shown.csv")));
        QCOMPARE(Bytes(dir.filePath("shown.csv")),
                 kHeader + Line("2026-11-30T23:59:50.000Z", "the panel", "2026-11-30T23:59:59.000Z", "9.000")
                     + "2026-12-01T23:59:00.000Z,7150.00,LSB,the panel,Xmit,,,\r\n");
        QVERIFY(!window.Export(dir.filePath("no such folder/shown.csv")));
    }

    void aYearOfTransmissions_opensInTheWindowQuickly()
    {
        QTemporaryDir dir;
        WriteYear(dir.path(), 2025);
        const qint64 started = ProcessorMs();
        CTransmissionsWindow window(dir.path(), nullptr, QDate(2025, 1, 1), QDate(2025, 12, 31));
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCoreApplication::processEvents();
        const qint64 elapsed = ProcessorMs() - started;
        qInfo("a year of 73,000 transmissions opened in %lld ms of processor time", elapsed);
        QCOMPARE(window.Table()->model()->rowCount(), 365 * 200);
        QCOMPARE(window.DayTotals()->rowCount(), 365);
        QVERIFY2(elapsed < 600 * kSanitizedSlowdown, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));
    }
};

QTEST_MAIN(TxLogTest)
#include "test_txlog.moc"
