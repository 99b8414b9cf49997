// Network addresses for the radio: what a URL names, and the words for one
// that names nothing usable, here and on the command line (exit status 2):
// certificate files of every kind, relative names, and lengths.
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

#include "app/commandline.h"
#include "netport/netaddress.h"
#include "netport/tlsfiles.h"

namespace {

QString Fields(const NetAddress& a)
{
    return QStringLiteral("%1 host=%2 port=%3 tls=%4 ca=%5 cert=%6 key=%7 fp=%8")
        .arg(a.kind == NetAddress::Kind::Raw ? QStringLiteral("raw") : QStringLiteral("rfc2217"), a.host)
        .arg(a.port)
        .arg(a.tls)
        .arg(a.caFile, a.certFile, a.keyFile, QString::fromLatin1(a.fingerprint.toHex().left(8)));
}

} // namespace

class TestNetAddress : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void goodAddresses_nameTheFarEnd_data();
    void goodAddresses_nameTheFarEnd();
    void badAddresses_getWordsNamingWhatIsWrong_data();
    void badAddresses_getWordsNamingWhatIsWrong();
    void portOption_refusesABadAddressWithExitStatus2_data();
    void portOption_refusesABadAddressWithExitStatus2();
    void certificateFiles_onlyASmallRegularFileIsRead_data();
    void certificateFiles_onlyASmallRegularFileIsRead();
    void aRelativeFile_isTheOneInTheFolderItWasNamedIn();
    void lengths_areBoundedWithAShortSentence_data();
    void lengths_areBoundedWithAShortSentence();

private:
    QTemporaryDir m_dir;
    QString m_garbage;
};

void TestNetAddress::initTestCase()
{
    m_garbage = m_dir.filePath(QStringLiteral("garbage.pem"));
    QFile file(m_garbage);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write("not a certificate\n") > 0);
}

void TestNetAddress::goodAddresses_nameTheFarEnd_data()
{
    const QString fp = QStringLiteral("AB:") + QString(QStringLiteral("cd")).repeated(30) + QStringLiteral("ef");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("fields");
    QTest::addColumn<QString>("composed");
    QTest::newRow("raw") << "socket://radio.example.net:7000"
                         << "raw host=radio.example.net port=7000 tls=0 ca= cert= key= fp="
                         << "socket://radio.example.net:7000";
    QTest::newRow("rfc2217, scheme in capitals, a slash") << "RFC2217://10.0.0.7:7001/"
                                                          << "rfc2217 host=10.0.0.7 port=7001 tls=0 ca= cert= key= fp="
                                                          << "rfc2217://10.0.0.7:7001";
    QTest::newRow("IPv6 in brackets") << "rfc2217://[::1]:65535" << "rfc2217 host=::1 port=65535 tls=0 ca= cert= key= fp="
                                      << "rfc2217://[::1]:65535";
    QTest::newRow("TLS with the system's CAs") << "socket://h:1?tls=yes" << "raw host=h port=1 tls=1 ca= cert= key= fp="
                                               << "socket://h:1?tls=1";
    QTest::newRow("TLS pinned") << "rfc2217://h:7001?tls=1&fp=" + fp
                                << "rfc2217 host=h port=7001 tls=1 ca= cert= key= fp=abcdcdcd"
                                << "rfc2217://h:7001?tls=1&fp=ab" + QString(QStringLiteral("cd")).repeated(30) + "ef";
}

void TestNetAddress::goodAddresses_nameTheFarEnd()
{
    QFETCH(QString, url);
    QFETCH(QString, fields);
    QFETCH(QString, composed);
    QString problem;
    const std::optional<NetAddress> address = ParseNetAddress(url, problem);
    QVERIFY2(address, qPrintable(problem));
    QCOMPARE(Fields(*address), fields);
    QCOMPARE(address->Url(), composed);
    QVERIFY(ParseNetAddress(address->Url(), problem)); // reads back
    QCOMPARE(NetAddressProblem(url), QString());
}

void TestNetAddress::badAddresses_getWordsNamingWhatIsWrong_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("words");
    QTest::newRow("unknown scheme") << "telnet://h:23" << "unknown scheme \"telnet\"";
    QTest::newRow("no port") << "socket://radio" << "\"radio\" has no port number";
    QTest::newRow("port too big") << "socket://radio:65536" << "\"65536\" is not a port number";
    QTest::newRow("port not a number") << "socket://radio:7k" << "\"7k\" is not a port number";
    QTest::newRow("no host") << "socket://:7000" << "names no host";
    QTest::newRow("IPv6 without brackets") << "socket://::1" << "goes in brackets";
    QTest::newRow("brackets around a name") << "socket://[radio]:7000" << "\"[radio]\" is not an IPv6 address";
    QTest::newRow("unknown option") << "socket://h:1?tls=1&pin=x" << "unknown option \"pin\"";
    QTest::newRow("tls neither on nor off") << "socket://h:1?tls=maybe" << "tls= wants 1 or 0";
    QTest::newRow("files without tls") << "socket://h:1?ca=/etc/ca.pem" << "go with tls=1";
    QTest::newRow("a certificate without its key") << "socket://h:1?tls=1&cert=/c.pem" << "cert= and key= go together";
    QTest::newRow("a short fingerprint") << "socket://h:1?tls=1&fp=abcd" << "64 hexadecimal digits";
    QTest::newRow("a CA file that is not there") << "socket://h:1?tls=1&ca=/no/such/ca.pem"
                                                 << "cannot read the CA file \"/no/such/ca.pem\"";
    QTest::newRow("a CA file with no certificate") << "socket://h:1?tls=1&ca=" + m_garbage << "holds no certificate";
}

void TestNetAddress::badAddresses_getWordsNamingWhatIsWrong()
{
    QFETCH(QString, url);
    QFETCH(QString, words);
    // What a readable file holds is judged as the port opens.
    QString problem;
    const std::optional<NetAddress> address = ParseNetAddress(url, problem);
    TlsFiles files;
    QVERIFY(!address || !LoadTlsFiles(*address, files, problem));
    QVERIFY2(problem.contains(words), qPrintable(problem));
    QCOMPARE(NetAddressProblem(url), address ? QString() : problem);
}

void TestNetAddress::portOption_refusesABadAddressWithExitStatus2_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<int>("exitCode");
    QTest::newRow("a device path") << "/dev/ttyUSB0" << 0;
    QTest::newRow("a network address") << "rfc2217://[2001:db8::7]:7001" << 0;
    QTest::newRow("an unknown scheme") << "serial://radio:7000" << 2;
    QTest::newRow("no port number") << "rfc2217://radio" << 2;
    QTest::newRow("a key file that is not there") << "socket://h:1?tls=1&cert=/no/c.pem&key=/no/k.pem" << 2;
    QTest::newRow("nothing") << "" << 2;
}

void TestNetAddress::portOption_refusesABadAddressWithExitStatus2()
{
    QFETCH(QString, address);
    QFETCH(int, exitCode);
    int code = -1;
    const std::optional<StartOptions> options = ParseCommandLine({"tavrin", "--port", address}, code);
    QCOMPARE(code, exitCode);
    QCOMPARE(bool(options), exitCode == 0);
    if (options)
        QCOMPARE(options->port, address);
}

// A file of each kind behind ca=: none of them may hang the program or be
// read past a megabyte, and the command line refuses each with status 2.
void TestNetAddress::certificateFiles_onlyASmallRegularFileIsRead_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("words");
    const QString dir = m_dir.path();
    QFile big(dir + "/big.pem");
    QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(3 * 1024 * 1024 / 2));
    QVERIFY(::mkfifo(QFile::encodeName(dir + "/fifo.pem").constData(), 0600) == 0);
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), dir + "/zero.pem"));
    QVERIFY(QDir(dir).mkdir(QStringLiteral("folder.pem")));
    QTest::newRow("text that is no certificate") << m_garbage << "holds no certificate";
    QTest::newRow("a file of 1.5 MB") << dir + "/big.pem" << "larger than 1 MB";
    QTest::newRow("a named pipe nobody writes") << dir + "/fifo.pem" << "it is a named pipe, not a file";
    QTest::newRow("a link to /dev/zero") << dir + "/zero.pem" << "it is a device, not a file";
    QTest::newRow("a folder") << dir + "/folder.pem" << "it is a folder";
    QTest::newRow("a NUL cutting the name") << m_garbage + "%00.txt" << "a NUL character (%00)";
}

void TestNetAddress::certificateFiles_onlyASmallRegularFileIsRead()
{
    QFETCH(QString, name);
    QFETCH(QString, words);
    const QString url = QStringLiteral("rfc2217://h:7001?tls=1&ca=") + name;
    QElapsedTimer took;
    took.start();
    QString problem;
    const std::optional<NetAddress> address = ParseNetAddress(url, problem);
    TlsFiles files;
    QVERIFY(!address || !LoadTlsFiles(*address, files, problem));
    QVERIFY2(problem.contains(words), qPrintable(problem));
    QVERIFY(files.authorities.isEmpty());
    int code = -1;
    QVERIFY(!ParseCommandLine({"tavrin", "--port", url}, code) || address);
    QCOMPARE(code, address ? 0 : 2);
    QVERIFY2(took.elapsed() < 1000, qPrintable(QString::number(took.elapsed())));
}

// The program enters the data folder after reading the command line: the
// file named there is the launch folder's, not a same-named one beside the
// channel file, and the address keeps its absolute path.
void TestNetAddress::aRelativeFile_isTheOneInTheFolderItWasNamedIn()
{
    const QString launch = m_dir.filePath(QStringLiteral("launch"));
    QVERIFY(QDir().mkpath(launch + "/certs"));
    QVERIFY(QFile::copy(m_garbage, launch + "/certs/radio-ca.pem"));
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(launch));
    int code = -1;
    const std::optional<StartOptions> options = ParseCommandLine(
        {"tavrin", "--data-dir", m_dir.path(), "--port", "rfc2217://h:7001?tls=1&ca=certs/../certs/radio-ca.pem"}, code);
    QVERIFY(QDir::setCurrent(m_dir.path()));
    QString problem;
    const std::optional<NetAddress> address = options ? ParseNetAddress(options->port, problem) : std::nullopt;
    QVERIFY(QDir::setCurrent(before));
    QCOMPARE(code, 0);
    QVERIFY2(address, qPrintable(problem));
    QCOMPARE(address->caFile, launch + "/certs/radio-ca.pem");
    QCOMPARE(options->port, "rfc2217://h:7001?tls=1&ca=" + launch + "/certs/radio-ca.pem");
}

void TestNetAddress::lengths_areBoundedWithAShortSentence_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("words");
    const QString label = QString(QStringLiteral("a")).repeated(63);
    const QString host253 = QStringList{label, label, label, label.left(61)}.join('.');
    QTest::newRow("a host of 253 characters") << "socket://" + host253 + ":7000" << "";
    QTest::newRow("a host of 254 characters") << "socket://" + host253 + "b:7000" << "a host name has at most 253";
    QTest::newRow("a host of 130,000 characters") << "socket://" + QString(130000, 'h') + ":7000" << "an address has at most 4096";
    const QString query = "?tls=1&fp=" + QString(64, 'a') + "&tls=1";
    QString longest = "socket://h:1" + query;
    while (longest.size() + 6 <= 4096)
        longest += "&tls=1";
    QTest::newRow("an address of 4096 characters") << longest + QString(4096 - longest.size(), '&') << "";
    QTest::newRow("an address of 4097 characters") << longest + QString(4097 - longest.size(), '&')
                                                   << "the address is 4097 characters long";
}

void TestNetAddress::lengths_areBoundedWithAShortSentence()
{
    QFETCH(QString, url);
    QFETCH(QString, words);
    const QString problem = NetAddressProblem(url);
    QVERIFY2(words.isEmpty() ? problem.isEmpty() : problem.contains(words), qPrintable(problem.left(200)));
    QVERIFY(problem.size() < 200);
}

QTEST_MAIN(TestNetAddress)
#include "test_netaddress.moc"
