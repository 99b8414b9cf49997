// The fuzz targets' committed seed corpus and a few thousand seeded random
// inputs, replayed through the same entry points on every build, so the
// rules the fuzzers enforce are kept by compilers that cannot fuzz.
#include <QDir>
#include <QRandomGenerator>
#include <QtTest>

#include "tools/fuzz/fuzzentries.h"
#include "tools/fuzz/webentries.h"

namespace {

using Entry = QString (*)(CTavrinView& view, const QByteArray& bytes);

QString StatusEntry(CTavrinView& view, const QByteArray& bytes) { return fuzzentry::ParseStatusBytes(view, bytes); }
QString ChannelEntry(CTavrinView&, const QByteArray& bytes) { return fuzzentry::ReadChannelBytes(bytes); }
QString RigEntry(CTavrinView&, const QByteArray& bytes) { return fuzzentry::RigClientBytes(bytes); }
QString CsvEntry(CTavrinView&, const QByteArray& bytes) { return fuzzentry::ImportCsvBytes(bytes); }
QString TelnetEntry(CTavrinView&, const QByteArray& bytes) { return fuzzentry::TelnetBytes(bytes); }
QString XmlRpcEntry(CTavrinView&, const QByteArray& bytes) { return fuzzentry::XmlRpcBytes(bytes); }
QString FlrigRequestEntry(CTavrinView&, const QByteArray& bytes) { return fuzzentry::FlrigRequestBytes(bytes); }
QString OperatorFileEntry(CTavrinView&, const QByteArray& bytes) { return fuzzentry::OperatorFileBytes(bytes); }
QString LoginFormEntry(CTavrinView&, const QByteArray& bytes) { return fuzzentry::LoginFormBytes(bytes); }
QString HttpRequestEntry(CTavrinView&, const QByteArray& bytes) { return fuzzentry::HttpRequestBytes(bytes); }
QString StationStateEntry(CTavrinView&, const QByteArray& bytes) { return fuzzentry::StationStateBytes(bytes); }

// The started panel page messages act on, made at the first one: it works
// in a scratch folder of its own.
std::unique_ptr<fuzzentry::WebPagePanel> g_pagePanel;

QString PageMessageEntry(CTavrinView&, const QByteArray& bytes)
{
    if (!g_pagePanel)
        g_pagePanel = std::make_unique<fuzzentry::WebPagePanel>();
    return fuzzentry::PageMessageBytes(*g_pagePanel, bytes);
}

// Each fuzz target by its corpus folder's name, with its entry.
struct Target {
    const char* name;
    Entry entry;
};
const Target kTargets[] = {
    {"parsestatus", &StatusEntry},         {"channelfile", &ChannelEntry},   {"rigcommand", &RigEntry},
    {"channelcsv", &CsvEntry},             {"telnet", &TelnetEntry},         {"xmlrpc", &XmlRpcEntry},
    {"operatorfile", &OperatorFileEntry},  {"loginform", &LoginFormEntry},   {"httprequest", &HttpRequestEntry},
    {"pagemessage", &PageMessageEntry},    {"stationstate", &StationStateEntry}, {"flrigrequest", &FlrigRequestEntry},
};

Entry EntryFor(const QString& name)
{
    for (const Target& target : kTargets)
        if (name == QLatin1String(target.name))
            return target.entry;
    return nullptr;
}

QString CorpusDir(const char* target)
{
    const QString root = QFINDTESTDATA("../tools/fuzz/corpus");
    return root.isEmpty() ? QString() : root + QLatin1Char('/') + QLatin1String(target);
}

QList<QByteArray> CorpusFiles(const char* target)
{
    QList<QByteArray> inputs;
    const QDir dir(CorpusDir(target));
    for (const QString& name : dir.entryList(QDir::Files, QDir::Name)) {
        QFile file(dir.filePath(name));
        if (file.open(QIODevice::ReadOnly))
            inputs << file.readAll();
    }
    return inputs;
}

// Report characters the radio or the line can bring, weighted towards field
// codes so that random lines walk real fields.
QByteArray RandomBytes(QRandomGenerator& random, int length)
{
    static const QByteArray codes = "FMAHVDSIO(\"',*KUGBXCJP#$&^!)ERTYZ0123456789 \n\r";
    QByteArray bytes(length, '\0');
    for (char& c : bytes)
        c = random.bounded(3) == 0 ? char(random.bounded(256)) : codes[random.bounded(int(codes.size()))];
    return bytes;
}

// Lines of the rig-control protocol's own words, arguments and prefixes,
// with a byte of anything now and then.
QByteArray RandomRigLines(QRandomGenerator& random, int words)
{
    static const QByteArrayList vocabulary = {
        "f", "F", "m", "M", "t", "T", "v", "V", "s", "q", "\\get_freq", "\\set_freq", "\\dump_state",
        "\\chk_vfo", "\\get_lock_mode", "\\set_vfo_opt", "+", ";", "|", ",", "VFOA", "VFOB", "USB", "PKTLSB",
        "CW", "FM", "0", "1", "3", "-1", "14074000", "7155505.5", "1e9", "nan", "2400", "\n", "\r\n", " ", "\t",
        "?", "#", "Q", "L", "u", "b", "usb"};
    QByteArray bytes;
    for (int i = 0; i < words; ++i) {
        bytes += random.bounded(12) == 0 ? QByteArray(1, char(random.bounded(256)))
                                         : vocabulary[random.bounded(int(vocabulary.size()))];
        if (random.bounded(3) == 0)
            bytes += ' ';
    }
    return bytes;
}

// Rows of a channel list: slot numbers, frequencies, the names and letters,
// quotes, separators and line ends, with a byte of anything now and then.
QByteArray RandomCsvRows(QRandomGenerator& random, int fields)
{
    static const QByteArrayList vocabulary = {
        "0", "5", "299", "300", "-1", "7100", "14250.00", "99999.99", "100000", "0.005", "7100,5", "USB", "lsb",
        "Slow", "AUDIO2", "patch", "R", "t", "L", "X", "Net control", "Caf\xc3\xa9", "\xe2\x82\xac", "\"", "\"\"",
        "\t", " ", "Slot,Frequency kHz,Mode,AGC,Input,Route,Description", "\xef\xbb\xbf"};
    QByteArray bytes;
    for (int i = 0; i < fields; ++i) {
        bytes += random.bounded(15) == 0 ? QByteArray(1, char(random.bounded(256)))
                                         : vocabulary[random.bounded(int(vocabulary.size()))];
        bytes += random.bounded(7) == 0 ? (random.bounded(2) ? "\r\n" : "\n") : ",";
    }
    return bytes;
}

// Calls of flrig's methods and XML-RPC's tags, opened and closed in any
// order, with a byte of anything now and then.
QByteArray RandomXmlRpc(QRandomGenerator& random, int pieces)
{
    static const QByteArrayList vocabulary = {
        "<?xml version=\"1.0\"?>", "<?clientid=\"hamlib(7)\"?>", "<methodCall>", "</methodCall>", "<methodName>",
        "</methodName>", "<params>", "</params>", "<param>", "</param>", "<value>", "</value>", "<i4>", "</i4>",
        "<double>", "</double>", "<string>", "</string>", "<array><data>", "</data></array>", "<struct><member><name>",
        "</name>", "</member></struct>", "<boolean>", "</boolean>", "rig.set_ptt", "rig.set_vfoA", "rig.set_modeA",
        "rig.get_vfo", "main.set_frequency", "USB-D", "FM", "1", "0", "14074000", "1e308", "-1", "&amp;", "&#0;", "\r\n", " "};
    QByteArray bytes;
    for (int i = 0; i < pieces; ++i)
        bytes += random.bounded(15) == 0 ? QByteArray(1, char(random.bounded(256)))
                                         : vocabulary[random.bounded(int(vocabulary.size()))];
    return bytes;
}

QByteArray Mutated(QRandomGenerator& random, QByteArray bytes, const QList<QByteArray>& seeds)
{
    const int edits = 1 + random.bounded(8);
    for (int i = 0; i < edits; ++i) {
        const int at = bytes.isEmpty() ? 0 : random.bounded(int(bytes.size()));
        switch (random.bounded(5)) {
        case 0: if (!bytes.isEmpty()) bytes[at] = char(random.bounded(256)); break;
        case 1: bytes.insert(at, RandomBytes(random, 1 + random.bounded(16))); break;
        case 2: bytes.remove(at, 1 + random.bounded(64)); break;
        case 3: bytes.insert(at, bytes.mid(random.bounded(int(bytes.size()) + 1), random.bounded(200))); break;
        default: bytes = bytes.left(at) + seeds[random.bounded(int(seeds.size()))].mid(at); break;
        }
    }
    return bytes;
}

// Telnet commands, the options that matter and report characters, mixed.
QByteArray RandomTelnet(QRandomGenerator& random, int length)
{
    static const QByteArray pieces = QByteArray::fromHex("fffffafbfcfdfef0f1002c0103180d0a") + "F0123 M1\n";
    QByteArray bytes(length, '\0');
    for (char& c : bytes)
        c = random.bounded(8) == 0 ? char(random.bounded(256)) : pieces[random.bounded(int(pieces.size()))];
    return bytes;
}

// One long line without a line end, of one repeated character or of noise.
QByteArray LongLine(QRandomGenerator& random)
{
    const int length = 4000 + random.bounded(100000);
    return random.bounded(2) ? QByteArray(length, char(random.bounded(32, 127))) : RandomBytes(random, length);
}

QString Shown(const QByteArray& input)
{
    return fuzzentry::Escaped(input.left(160)) + (input.size() > 160 ? QStringLiteral("...") : QString());
}

} // namespace

class TestFuzzReplay : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void committedCorpus_keepsEveryRule_data();
    void committedCorpus_keepsEveryRule();
    void seededRandomInputs_keepEveryRule_data();
    void seededRandomInputs_keepEveryRule();
    void cleanupTestCase() { g_pagePanel.reset(); }

private:
    void Replay(Entry entry, const QList<QByteArray>& inputs);
    CTavrinView* m_view = nullptr;
};

void TestFuzzReplay::initTestCase()
{
    m_view = new CTavrinView;
    QVERIFY2(QDir(CorpusDir("parsestatus")).exists(), "fuzz corpus not found next to the sources");
}

void TestFuzzReplay::Replay(Entry entry, const QList<QByteArray>& inputs)
{
    QVERIFY(entry);
    QVERIFY(!inputs.isEmpty());
    for (const QByteArray& input : inputs) {
        const QString problem = entry(*m_view, input);
        if (!problem.isEmpty())
            QFAIL(qPrintable(problem + QStringLiteral("\n  input (%1 bytes): ").arg(input.size()) + Shown(input)));
    }
}

void TestFuzzReplay::committedCorpus_keepsEveryRule_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("file");
    for (const Target& target : kTargets) {
        const QDir dir(CorpusDir(target.name));
        for (const QString& name : dir.entryList(QDir::Files, QDir::Name))
            QTest::addRow("%s/%s", target.name, qPrintable(name)) << QString::fromLatin1(target.name) << dir.filePath(name);
    }
}

void TestFuzzReplay::committedCorpus_keepsEveryRule()
{
    QFETCH(QString, target);
    QFETCH(QString, file);
    QFile input(file);
    QVERIFY(input.open(QIODevice::ReadOnly));
    Replay(EntryFor(target), {input.readAll()});
}

void TestFuzzReplay::seededRandomInputs_keepEveryRule_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("count");
    QTest::addColumn<uint>("seed");
    QTest::addRow("status random bytes") << "parsestatus" << "random" << 1500 << 350u;
    QTest::addRow("status mutated seeds") << "parsestatus" << "mutated" << 1500 << 351u;
    QTest::addRow("status long lines") << "parsestatus" << "long" << 40 << 352u;
    QTest::addRow("channel file random bytes") << "channelfile" << "random" << 500 << 353u;
    QTest::addRow("channel file mutated seeds") << "channelfile" << "mutated" << 800 << 354u;
    QTest::addRow("channel file long lines") << "channelfile" << "long" << 20 << 355u;
    QTest::addRow("rig-control random lines") << "rigcommand" << "random" << 1500 << 356u;
    QTest::addRow("rig-control mutated seeds") << "rigcommand" << "mutated" << 1500 << 357u;
    QTest::addRow("rig-control long lines") << "rigcommand" << "long" << 40 << 358u;
    QTest::addRow("channel CSV random rows") << "channelcsv" << "random" << 1000 << 359u;
    QTest::addRow("channel CSV mutated seeds") << "channelcsv" << "mutated" << 1000 << 360u;
    QTest::addRow("telnet random streams") << "telnet" << "random" << 1500 << 361u;
    QTest::addRow("telnet mutated seeds") << "telnet" << "mutated" << 1500 << 362u;
    QTest::addRow("XML-RPC random calls") << "xmlrpc" << "random" << 1500 << 363u;
    QTest::addRow("XML-RPC mutated seeds") << "xmlrpc" << "mutated" << 1500 << 364u;
    QTest::addRow("operator file mutated seeds") << "operatorfile" << "mutated" << 1500 << 365u;
    QTest::addRow("login form mutated seeds") << "loginform" << "mutated" << 1000 << 366u;
    QTest::addRow("HTTP request mutated seeds") << "httprequest" << "mutated" << 1000 << 367u;
    QTest::addRow("page message mutated seeds") << "pagemessage" << "mutated" << 1000 << 368u;
    QTest::addRow("station state mutated seeds") << "stationstate" << "mutated" << 1000 << 369u;
}

void TestFuzzReplay::seededRandomInputs_keepEveryRule()
{
    QFETCH(QString, target);
    QFETCH(QString, kind);
    QFETCH(int, count);
    QFETCH(uint, seed);
    const bool status = target == "parsestatus";
    const bool rig = target == "rigcommand";
    const bool csv = target == "channelcsv";
    const bool telnetStream = target == "telnet";
    const QList<QByteArray> seeds = CorpusFiles(qPrintable(target));
    QVERIFY(!seeds.isEmpty());
    QRandomGenerator random(seed);
    QList<QByteArray> inputs;
    for (int i = 0; i < count; ++i) {
        if (kind == "random" && csv)
            inputs << RandomCsvRows(random, random.bounded(120));
        else if (kind == "random" && telnetStream)
            inputs << RandomTelnet(random, random.bounded(400));
        else if (kind == "random" && target == "xmlrpc")
            inputs << RandomXmlRpc(random, random.bounded(60));
        else if (kind == "random")
            inputs << (rig ? RandomRigLines(random, random.bounded(200)) : RandomBytes(random, random.bounded(status ? 300 : 3000)));
        else if (kind == "mutated")
            inputs << Mutated(random, seeds[random.bounded(int(seeds.size()))], seeds);
        else
            inputs << (status || rig ? LongLine(random) + '\n' : seeds[i % seeds.size()].left(60) + LongLine(random));
    }
    Replay(EntryFor(target), inputs);
}

QTEST_MAIN(TestFuzzReplay)
#include "test_fuzzreplay.moc"
