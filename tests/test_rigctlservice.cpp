// The rig-control server as the user meets it: the Radio menu's item, the
// line at the right of the menu bar, the profile settings and the command
// line, and a network key released when the program ends.
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "app/commandline.h"
#include "app/mainframe.h"
#include "app/tavrinapp.h"
#include "link/commsettings.h"
#include "link/mscomm.h"
#include "support/fakecomm.h"
#include "support/panelkit.h"
#include "support/programstate.h"
#include "support/viewharness.h"

namespace {

QSettings Profile() { return QSettings(QString::fromLatin1(g_szRegistryKey), QString::fromLatin1(g_szProfileName)); }

// The fake port, keeping what was written where a test can read it after
// the program, and the port with it, has gone.
class KeptWritesBackend : public FakeCommBackend {
public:
    explicit KeptWritesBackend(QByteArrayList& kept) : m_kept(kept) {}
    QString Write(const QByteArray& bytes) override
    {
        m_kept << bytes;
        return FakeCommBackend::Write(bytes);
    }

private:
    QByteArrayList& m_kept;
};

// One start of the program on the fake port, in a scratch directory.
class Run {
public:
    explicit Run(StartOptions options = {}, const CMSComm::BackendFactory& port = {})
    {
        if (port)
            CMSComm::SetBackendFactory(port);
        m_previousDir = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        QFile file(QStringLiteral("h350save.dat"));
        if (file.open(QIODevice::WriteOnly))
            file.write(ViewHarness::MinimalChannelFile());
        file.close();
        ResetProgramGlobals();
        m_app = std::make_unique<CTavrinApp>(std::move(options));
        m_started = m_app->InitInstance();
    }
    ~Run()
    {
        m_app.reset();
        QDir::setCurrent(m_previousDir);
    }
    bool Started() const { return m_started; }
    QAction* Item() const
    {
        const QList<QAction*> items = m_app->MainFrame()->RadioMenu()->actions();
        for (QAction* item : items)
            if (item->text() == QStringLiteral("Rig Control Server"))
                return item;
        return nullptr;
    }
    QLabel* Status() const { return m_app->MainFrame()->menuBar()->findChild<QLabel*>(QStringLiteral("rigctlStatus")); }
    // The whole line; the label may show it cut short.
    QString Shown() const { return Status() && Status()->isVisibleTo(m_app->MainFrame()) ? Status()->toolTip() : QString(); }
    void End() { m_app.reset(); }
    CMainFrame& Frame() const { return *m_app->MainFrame(); }

private:
    QTemporaryDir m_dir;
    QString m_previousDir;
    FakeCommInstaller m_installer;
    std::unique_ptr<CTavrinApp> m_app;
    bool m_started = false;
};

bool Answers(quint16 port)
{
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, port);
    if (!client.waitForConnected(1000))
        return false;
    client.write("\\chk_vfo\n");
    return QTest::qWaitFor([&] { return client.readAll() == "0\n"; }, 1000);
}

QString On(quint16 port, const char* clients)
{
    return QStringLiteral("Rig control on 127.0.0.1:%1, %2").arg(port).arg(QLatin1String(clients));
}

} // namespace

class RigctlServiceTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void item_isInTheRadioMenuCheckableAndOffByDefault();
    void profileEnabled_listensOnLoopbackAndCountsClients();
    void item_startsAndStopsTheServerAndTheProfileRemembers();
    void commandLinePort_turnsItOnForThisRunOnly();
    void listenFailure_isShownAndTheItemStaysChecked_data();
    void listenFailure_isShownAndTheItemStaysChecked();
    void bothServersOn_eachLineShowsItsAddressWhole();
    void endOfTheRun_unkeysWhatTheNetworkKeyed_data();
    void endOfTheRun_unkeysWhatTheNetworkKeyed();
    void txTimeoutSetting_isReadAndKeptWithinBounds_data();
    void txTimeoutSetting_isReadAndKeptWithinBounds();
    void commandLine_takesPortAndAddress_data();
    void commandLine_takesPortAndAddress();

private:
    QTemporaryDir m_profile;
};

void RigctlServiceTest::initTestCase()
{
    QVERIFY(m_profile.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_profile.path()));
}

void RigctlServiceTest::init()
{
    Profile().remove(QStringLiteral("Remote"));
}

void RigctlServiceTest::item_isInTheRadioMenuCheckableAndOffByDefault()
{
    const quint16 port = FreePort();
    Profile().setValue(QStringLiteral("Remote/RigctlPort"), port);
    Run run;
    QVERIFY(run.Started());
    QAction* item = run.Item();
    QVERIFY(item);
    QVERIFY(item->isCheckable());
    QVERIFY(!item->isChecked());
    QCOMPARE(run.Shown(), QString());
    QVERIFY(!Answers(port));
}

void RigctlServiceTest::profileEnabled_listensOnLoopbackAndCountsClients()
{
    const quint16 port = FreePort();
    Profile().setValue(QStringLiteral("Remote/RigctlEnabled"), true);
    Profile().setValue(QStringLiteral("Remote/RigctlPort"), port);
    Run run;
    QVERIFY(run.Item()->isChecked());
    QCOMPARE(run.Shown(), On(port, "no clients"));

    QTcpSocket first, second;
    first.connectToHost(QHostAddress::LocalHost, port);
    QTRY_COMPARE(run.Shown(), On(port, "1 client"));
    second.connectToHost(QHostAddress::LocalHost, port);
    QTRY_COMPARE(run.Shown(), On(port, "2 clients"));
    first.write("f\n"); // the fake radio has reported nothing
    QByteArray reply;
    QTRY_VERIFY((reply += first.readAll()).endsWith('\n'));
    QCOMPARE(reply, QByteArray("RPRT -11\n"));
    first.disconnectFromHost();
    second.disconnectFromHost();
    QTRY_COMPARE(run.Shown(), On(port, "no clients"));
}

void RigctlServiceTest::item_startsAndStopsTheServerAndTheProfileRemembers()
{
    const quint16 port = FreePort();
    Profile().setValue(QStringLiteral("Remote/RigctlPort"), port);
    Run run;
    QVERIFY(!Answers(port));

    run.Item()->trigger();
    QVERIFY(Answers(port));
    QTRY_COMPARE(run.Shown(), On(port, "no clients"));
    QCOMPARE(Profile().value(QStringLiteral("Remote/RigctlEnabled")).toBool(), true);

    run.Item()->trigger();
    QVERIFY(!Answers(port));
    QCOMPARE(run.Shown(), QString());
    QCOMPARE(Profile().value(QStringLiteral("Remote/RigctlEnabled")).toBool(), false);
}

void RigctlServiceTest::commandLinePort_turnsItOnForThisRunOnly()
{
    StartOptions options;
    options.rigctl.port = FreePort();
    Run run(options);
    QVERIFY(run.Item()->isChecked());
    QVERIFY(Answers(*options.rigctl.port));
    QVERIFY(!Profile().contains(QStringLiteral("Remote/RigctlEnabled")));
}

void RigctlServiceTest::listenFailure_isShownAndTheItemStaysChecked_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("shown"); // %1: the port
    QTest::newRow("port taken") << "127.0.0.1" << "Rig control off: 127.0.0.1:%1 is in use";
    QTest::newRow("not an address") << "radio.local" << "Rig control off: \"radio.local\" is not an address";
    QTest::newRow("not this computer's") << "192.0.2.1" << "Rig control off: 192.0.2.1 is not an address of this computer";
    QTest::newRow("a long one, cut short on screen")
        << "2001:db8:85a3:8d3:1319:8a2e:370:7348" << "Rig control off: 2001:db8:85a3:8d3:1319:8a2e:370:7348 is not an address of this computer";
}

void RigctlServiceTest::listenFailure_isShownAndTheItemStaysChecked()
{
    QFETCH(QString, address);
    QFETCH(QString, shown);
    QTcpServer taken;
    QVERIFY(taken.listen(QHostAddress::LocalHost, 0));
    Profile().setValue(QStringLiteral("Remote/RigctlEnabled"), true);
    Profile().setValue(QStringLiteral("Remote/RigctlPort"), taken.serverPort());
    Profile().setValue(QStringLiteral("Remote/RigctlAddress"), address);
    Run run;
    QVERIFY(run.Item()->isChecked());
    QCOMPARE(run.Shown(), shown.contains(QLatin1String("%1")) ? shown.arg(taken.serverPort()) : shown);
    QVERIFY(run.Status()->sizeHint().width() < 400);
}

// Side by side at the window's own width, words give way before the address.
void RigctlServiceTest::bothServersOn_eachLineShowsItsAddressWhole()
{
    StartOptions options;
    options.rigctl.port = FreePort();
    options.flrig.port = FreePort();
    Run run(options);
    const QString rigctl = QStringLiteral("127.0.0.1:%1").arg(*options.rigctl.port);
    const QString flrig = QStringLiteral("127.0.0.1:%1").arg(*options.flrig.port);
    auto* flrigLine = run.Frame().menuBar()->findChild<QLabel*>(QStringLiteral("flrigStatus"));
    QVERIFY(flrigLine);
    QVERIFY2(run.Status()->text().contains(rigctl), qPrintable(run.Status()->text()));
    QVERIFY2(flrigLine->text().contains(flrig), qPrintable(flrigLine->text()));
    QVERIFY(flrigLine->accessibleDescription().contains(flrig));
}

void RigctlServiceTest::endOfTheRun_unkeysWhatTheNetworkKeyed_data()
{
    QTest::addColumn<bool>("byClosingTheWindow");
    QTest::newRow("program ends") << false;
    // Closing writes the channel file, perhaps behind a message box: no
    // client may reach the radio meanwhile, and a key it holds goes first.
    QTest::newRow("window closes") << true;
}

void RigctlServiceTest::endOfTheRun_unkeysWhatTheNetworkKeyed()
{
    QFETCH(bool, byClosingTheWindow);
    StartOptions options;
    options.rigctl.port = FreePort();
    QByteArrayList written;
    Run run(options, [&written] { return std::make_unique<KeptWritesBackend>(written); });
    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, *options.rigctl.port);
    client.write("T 1\n");
    QTRY_COMPARE(written.last(), QByteArray("K"));
    written.clear();

    if (byClosingTheWindow)
        QVERIFY(run.Frame().close());
    else
        run.End();

    QCOMPARE(written, QByteArrayList{"U"});
    QVERIFY(!Answers(*options.rigctl.port));
}

void RigctlServiceTest::txTimeoutSetting_isReadAndKeptWithinBounds_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("seconds");
    QTest::newRow("absent") << QVariant() << 180;
    QTest::newRow("two minutes") << QVariant(120) << 120;
    QTest::newRow("zero is no time-out, which is not allowed") << QVariant(0) << 180;
    QTest::newRow("not a number") << QVariant(QStringLiteral("forever")) << 180;
    QTest::newRow("past an hour") << QVariant(86400) << 3600;
}

void RigctlServiceTest::txTimeoutSetting_isReadAndKeptWithinBounds()
{
    QFETCH(QVariant, stored);
    QFETCH(int, seconds);
    QCoreApplication::setOrganizationName(QString::fromLatin1(g_szRegistryKey));
    QCoreApplication::setApplicationName(QString::fromLatin1(g_szProfileName));
    if (stored.isValid())
        Profile().setValue(QStringLiteral("Remote/TxTimeoutSeconds"), stored);
    QCOMPARE(LoadRigctlSettings().txTimeout.count(), seconds);
}

void RigctlServiceTest::commandLine_takesPortAndAddress_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<int>("port");       // 0: none
    QTest::addColumn<QString>("address"); // empty: none
    QTest::newRow("neither") << QStringList{} << 0 << 0 << QString();
    QTest::newRow("port") << QStringList{"--rigctl-port", "4600"} << 0 << 4600 << QString();
    QTest::newRow("address") << QStringList{"--rigctl-address", "192.168.1.20"} << 0 << 0 << "192.168.1.20";
    QTest::newRow("both, IPv6") << QStringList{"--rigctl-port", "4532", "--rigctl-address", "::1"} << 0 << 4532 << "::1";
    QTest::newRow("port 0") << QStringList{"--rigctl-port", "0"} << 2 << 0 << QString();
    QTest::newRow("port not a number") << QStringList{"--rigctl-port", "rigctl"} << 2 << 0 << QString();
    QTest::newRow("address a name") << QStringList{"--rigctl-address", "shack-pc"} << 2 << 0 << QString();
    QTest::newRow("port without its value") << QStringList{"--rigctl-port"} << 2 << 0 << QString();
}

void RigctlServiceTest::commandLine_takesPortAndAddress()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(int, port);
    QFETCH(QString, address);
    int code = -1;
    const std::optional<StartOptions> options = ParseCommandLine(QStringList{"tavrin"} + arguments, code);
    QCOMPARE(code, exitCode);
    QCOMPARE(options.has_value(), exitCode == 0);
    if (!options)
        return;
    QCOMPARE(options->rigctl.port.value_or(0), port);
    QCOMPARE(options->rigctl.address.value_or(QString()), address);
}

QTEST_MAIN(RigctlServiceTest)
#include "test_rigctlservice.moc"
