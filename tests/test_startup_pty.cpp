// Start-up over a real serial line: the panel opens the slave side of a
// pseudo-terminal through its own serial-port code, and the test plays the
// radio on the master side.
#include <QDir>
#include <QAbstractButton>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <termios.h>
#include <unistd.h>

#include "link/commsettings.h"
#include "panel/messagebox.h"
#include "panel/tavrinview.h"
#include "res/resource.h"
#include "support/programstate.h"

namespace {

const QByteArray kStepModeStartup = "?\nH\nH\nH\nV\nV\nV\nS\nS\nI\nI\nD\nD\nD\nD\nD\nD\nM\nM\nM\nM\nA\nA\nA\n";

QByteArray Quoted(QByteArray bytes) { return '"' + bytes.replace('\n', "\\n") + '"'; }

// A view started as the program starts it, in a scratch working directory
// whose channel file names port 1.
class PtyPanel {
public:
    PtyPanel()
    {
        m_previousDir = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        QFile file(QStringLiteral("h350save.dat"));
        if (file.open(QIODevice::WriteOnly))
            file.write("1  9600 O 7 1\r\n 7000.00  7300.00   0   9\r\n");
        ResetProgramGlobals();
        SetMessageBoxSink([this](const CString& text) { messages << QString::fromLatin1(text); });
        m_view = std::make_unique<CTavrinView>();
    }
    ~PtyPanel()
    {
        m_view.reset();
        SetMessageBoxSink({});
        QDir::setCurrent(m_previousDir);
    }
    CTavrinView& View() { return *m_view; }
    QStringList messages;

private:
    QTemporaryDir m_dir;
    QString m_previousDir;
    std::unique_ptr<CTavrinView> m_view;
};

} // namespace

class StartupPtyTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void startup_writesTheStepModeQueriesOnTheLine();
    void pollTimer_asksForStatusAboutThreeSecondsAfterStartup();
    void reportFromTheRadio_showsInTheFrequencyDisplay();
    void silentRadio_formShowsEchoStepAndRangesOnceTheQueriesLeave();

private:
    QByteArray ReadMaster();
    bool Receive(int byteCount, int timeoutMs);
    void StartAndTakeQueries(PtyPanel& panel);

    QTemporaryDir m_config;
    int m_master = -1;
    QString m_slavePath;
    QByteArray m_received;
};

void StartupPtyTest::initTestCase()
{
    QVERIFY(m_config.isValid());
    // Before anything asks for the profile settings, so they are looked for here.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));

    m_master = posix_openpt(O_RDWR | O_NOCTTY);
    QVERIFY2(m_master >= 0, std::strerror(errno));
    QVERIFY(grantpt(m_master) == 0 && unlockpt(m_master) == 0);
    const char* slave = ptsname(m_master);
    QVERIFY(slave);
    m_slavePath = QString::fromLocal8Bit(slave);
    termios tio {};
    QCOMPARE(tcgetattr(m_master, &tio), 0);
    cfmakeraw(&tio);
    QCOMPARE(tcsetattr(m_master, TCSANOW, &tio), 0);
    QCOMPARE(fcntl(m_master, F_SETFL, fcntl(m_master, F_GETFL) | O_NONBLOCK), 0);

    const QString profileDir = m_config.path() + QStringLiteral("/Local AppWizard-Generated Applications");
    QVERIFY(QDir().mkpath(profileDir));
    QFile profile(profileDir + QStringLiteral("/Tavrin.conf"));
    QVERIFY(profile.open(QIODevice::WriteOnly));
    profile.write("[Ports]\nCOM1=" + m_slavePath.toLocal8Bit() + "\n");
    profile.close();
    QCOMPARE(DeviceForCommPort(1), m_slavePath);
}

void StartupPtyTest::cleanupTestCase()
{
    if (m_master >= 0)
        ::close(m_master);
}

void StartupPtyTest::init()
{
    ReadMaster();
    m_received.clear();
}

QByteArray StartupPtyTest::ReadMaster()
{
    QByteArray bytes;
    char buffer[256];
    for (;;) {
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n <= 0)
            return bytes;
        bytes.append(buffer, n);
    }
}

// Waits, with the event loop running, until the line has brought at least
// this many bytes since the last take.
bool StartupPtyTest::Receive(int byteCount, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (m_received.size() < byteCount && !deadline.hasExpired()) {
        QTest::qWait(10);
        m_received += ReadMaster();
    }
    m_received += ReadMaster();
    return m_received.size() >= byteCount;
}

void StartupPtyTest::StartAndTakeQueries(PtyPanel& panel)
{
    panel.View().OnInitialUpdate();
    QVERIFY2(panel.View().PortProblem().isEmpty(), qPrintable(panel.View().PortProblem()));
    QVERIFY2(Receive(kStepModeStartup.size(), 3000), Quoted(m_received).constData());
    QCOMPARE(Quoted(m_received), Quoted(kStepModeStartup));
    m_received.clear();
}

void StartupPtyTest::startup_writesTheStepModeQueriesOnTheLine()
{
    PtyPanel panel;

    StartAndTakeQueries(panel);

    QCOMPARE(panel.messages, QStringList());
    QCOMPARE(panel.View().Comm().DeviceName(), m_slavePath);
}

void StartupPtyTest::pollTimer_asksForStatusAboutThreeSecondsAfterStartup()
{
    PtyPanel panel;
    QElapsedTimer sinceStart;
    sinceStart.start();
    StartAndTakeQueries(panel);

    QVERIFY2(Receive(3, 4500), Quoted(m_received).constData());

    QCOMPARE(Quoted(m_received), Quoted("?\nU"));
    QVERIFY2(sinceStart.elapsed() >= 2900, qPrintable(QString::number(sinceStart.elapsed())));
}

void StartupPtyTest::reportFromTheRadio_showsInTheFrequencyDisplay()
{
    PtyPanel panel;
    StartAndTakeQueries(panel);
    const QByteArray report = "F0703525 M2 K \n";

    QCOMPARE(::write(m_master, report.constData(), report.size()), ssize_t(report.size()));

    QTRY_COMPARE_WITH_TIMEOUT(panel.View().m_strFreq, QByteArray("7035.250"), 3000);
    QCOMPARE(panel.View().m_strStatus, report);
    QCOMPARE(panel.View().m_nTxRx, 0);
}

// Nobody answers on the line, yet the form is refreshed by the control's
// send event once the queries have left the port.
void StartupPtyTest::silentRadio_formShowsEchoStepAndRangesOnceTheQueriesLeave()
{
    PtyPanel panel;
    StartAndTakeQueries(panel);
    const CDialogForm& form = panel.View().Form();

    QTRY_COMPARE_WITH_TIMEOUT(form.Edit(IDC_LAST_COMMAND)->text(), QStringLiteral("A\nA\nA\n"), 3000);
    QVERIFY(form.Button(IDC_STEP_1K)->isChecked());
    QCOMPARE(form.Edit(IDC_SCAN_LOWER)->text(), QStringLiteral(" 7000.00"));
    QCOMPARE(form.Edit(IDC_CHAN_UPPER)->text(), QStringLiteral("  9 "));
    QVERIFY(panel.View().m_strStatus.isEmpty());
}

QTEST_MAIN(StartupPtyTest)
#include "test_startup_pty.moc"
