// The serial trace: what --trace FILE and the category tavrin.serial write
// for a running panel on the fake device, the escapes, and that it is off
// until asked for.
#include <QFile>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QtTest>

#include "link/serialtrace.h"
#include "panel/tavrinview.h"
#include "support/panelkit.h"

namespace {

const QRegularExpression kStamped(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\\.\\d{3} (.*)$"));

// The trace's lines without their time stamps; a line without one shows as is.
QStringList Unstamped(const QString& path)
{
    QFile file(path);
    QStringList lines;
    if (!file.open(QIODevice::ReadOnly))
        return lines;
    for (const QByteArray& line : file.readAll().split('\n')) {
        const auto match = kStamped.match(QString::fromLatin1(line));
        if (!line.isEmpty())
            lines << (match.hasMatch() ? match.captured(1) : QStringLiteral("unstamped: ") + QString::fromLatin1(line));
    }
    return lines;
}

QStringList g_serialLog;
QtMessageHandler g_previousHandler = nullptr;
QLoggingCategory::CategoryFilter g_previousFilter = nullptr;

void KeepSerialLines(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (QByteArray(context.category) == "tavrin.serial")
        g_serialLog << text;
    else
        g_previousHandler(type, context, text);
}

bool g_serialCategoryOn = false;

void SerialCategoryAsAsked(QLoggingCategory* category)
{
    g_previousFilter(category);
    if (QByteArray(category->categoryName()) == "tavrin.serial")
        category->setEnabled(QtDebugMsg, g_serialCategoryOn);
}

void SwitchSerialCategory(bool on)
{
    g_serialCategoryOn = on;
    // Filters are asked again whenever the rules change.
    QLoggingCategory::setFilterRules(QString());
}

} // namespace

class SerialTraceTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void escaped_writesUnprintableBytesAsEscapes_data();
    void escaped_writesUnprintableBytesAsEscapes();
    void traceFile_hasEveryCommandAndEveryWholeLineInOrder();
    void loggingCategory_carriesTheSameLinesWhenSwitchedOn();
};

void SerialTraceTest::initTestCase()
{
    g_previousHandler = qInstallMessageHandler(KeepSerialLines);
    g_previousFilter = QLoggingCategory::installFilter(nullptr);
    QLoggingCategory::installFilter(SerialCategoryAsAsked);
}

void SerialTraceTest::cleanup()
{
    CSerialTrace::CloseFile();
    SwitchSerialCategory(false);
    g_serialLog.clear();
}

void SerialTraceTest::escaped_writesUnprintableBytesAsEscapes_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("a query") << QByteArray("?\n") << QByteArray("?\\n");
    QTest::newRow("a report as it stands") << QByteArray("F0703525 M2 K ") << QByteArray("F0703525 M2 K ");
    QTest::newRow("the LocalAudio command's quote") << QByteArray("\"1\n") << QByteArray("\\\"1\\n");
    QTest::newRow("a zero byte") << QByteArray("\0", 1) << QByteArray("\\x00");
    QTest::newRow("carriage return and tab") << QByteArray("\r\t") << QByteArray("\\r\\x09");
    QTest::newRow("delete and a high byte") << QByteArray("\x7f\xe9") << QByteArray("\\x7f\\xe9");
    QTest::newRow("a backslash") << QByteArray("a\\b") << QByteArray("a\\\\b");
}

void SerialTraceTest::escaped_writesUnprintableBytesAsEscapes()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, written);
    QCOMPARE(CSerialTrace::Escaped(bytes), written);
}

void SerialTraceTest::traceFile_hasEveryCommandAndEveryWholeLineInOrder()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("serial.log"));
    QString error;
    QVERIFY2(CSerialTrace::OpenFile(path, error), qPrintable(error));
    const QByteArray file = ViewHarness::MinimalChannelFile();
    ViewHarness h(&file);

    h.Start();
    h.Feed("F07035");
    h.Feed("25 M2 \n\"1 \n");
    h.View().OnTimer(1);
    h.Port().Vanish();

    const QString device = h.View().Comm().DeviceName();
    QCOMPARE(Unstamped(path), (QStringList{
                                  "trace started, tavrin " TAVRIN_VERSION,
                                  "COM1 (" + device + ") open, settings \" 9600,O,7,1\"",
                                  "sent \"?\\n\"",
                                  "sent \"H\\nH\\nH\\n\"",
                                  "sent \"V\\nV\\nV\\n\"",
                                  "sent \"S\\nS\\n\"",
                                  "sent \"I\\nI\\n\"",
                                  "sent \"D\\nD\\nD\\nD\\nD\\nD\\n\"",
                                  "sent \"M\\nM\\nM\\nM\\n\"",
                                  "sent \"A\\nA\\nA\\n\"",
                                  "rcvd \"F0703525 M2 \\n\"",
                                  "rcvd \"\\\"1 \\n\"",
                                  "sent \"?\\nU\"",
                                  "COM1 (" + device + ") lost: device removed",
                              }));
}

void SerialTraceTest::loggingCategory_carriesTheSameLinesWhenSwitchedOn()
{
    StartedPanel h;
    QVERIFY(!CSerialTrace::IsOn());
    h.View().OnTimer(1);
    QCOMPARE(g_serialLog, QStringList());
    SwitchSerialCategory(true);
    QVERIFY(CSerialTrace::IsOn());

    h.View().OnTimer(1);
    h.Feed("U \n");

    QCOMPARE(g_serialLog.size(), 2);
    QVERIFY2(kStamped.match(g_serialLog[0]).captured(1) == QStringLiteral("sent \"?\\nU\""), qPrintable(g_serialLog[0]));
    QVERIFY2(kStamped.match(g_serialLog[1]).captured(1) == QStringLiteral("rcvd \"U \\n\""), qPrintable(g_serialLog[1]));
}

QTEST_MAIN(SerialTraceTest)
#include "test_serialtrace.moc"
