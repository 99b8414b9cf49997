// What Orca, the screen reader, says of the panel: the real panel on the
// simulated radio over a pseudo-terminal, Orca listening on the
// accessibility bus, and every line Orca speaks read from its debug log.
// CTest runs it under Xvfb in a D-Bus session of its own.
#include <QAbstractButton>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QRegularExpression>
#include <QtTest>
#include <functional>
#include <memory>

#include "access/panelaccess.h"
#include "panel/combocontrols.h"
#include "panel/tavrinview.h"
#include "panelonradio.h"
#include "portwatch/lostlinkreceive.h"
#include "res/resource.h"
#include "support/panelkit.h"

using radiosim::RadioState;

namespace {

constexpr int kSpeechMs = 15000;

// Orca asks the panel about each event before it speaks, many questions
// each, so the panel's event loop runs meanwhile; it sleeps only until the
// next question, not in fixed slices as QTest::qWait does.
bool RunEventLoopUntil(const std::function<bool()>& done, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (done() || deadline.hasExpired())
            loop.quit();
    });
    look.start(50);
    loop.exec();
    return done();
}

void Listen(int ms)
{
    RunEventLoopUntil([] { return false; }, ms);
}

} // namespace

// Orca with settings of its own and its debug log, where each thing it says
// is a line "SPEECH OUTPUT: '...'". Orca writes the log in blocks; its
// customisation file makes it write line by line, so the test can wait for
// each thing said. It also gives Orca no speech server: what Orca decides to
// say is logged all the same, and a synthesizer that cannot reach a sound
// card (speech-dispatcher with its espeak module, under Xvfb and no sound
// server) blocks Orca at its first word. What it says is heard from the last
// Mark() on.
class Orca {
public:
    ~Orca();
    bool Start(const QString& dir);
    void Mark() { Heard(); m_mark = int(m_spoken.size()); }
    QStringList Heard();
    bool WaitUntilSaid(const QString& words);

private:
    QProcess m_process;
    QFile m_log;
    QByteArray m_partial;
    QStringList m_spoken;
    int m_mark = 0;
};

Orca::~Orca()
{
    m_process.terminate();
    if (!m_process.waitForFinished(5000))
        m_process.kill();
}

bool Orca::Start(const QString& dir)
{
    QFile custom(dir + QStringLiteral("/orca-customizations.py"));
    if (!custom.open(QIODevice::WriteOnly)
        || custom.write("import orca.debug\norca.debug.debugFile.reconfigure(line_buffering=True)\n"
                        "import orca.settings\norca.settings.speechServerFactory = None\n") < 0)
        return false;
    custom.close();
    m_log.setFileName(dir + QStringLiteral("/orca.log"));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), dir);
    m_process.setProcessEnvironment(environment);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.start(QStringLiteral("orca"), {QStringLiteral("-u"), dir, QStringLiteral("--debug-file"), m_log.fileName()});
    return m_process.waitForStarted() && WaitUntilSaid(QStringLiteral("Screen reader on."));
}

QStringList Orca::Heard()
{
    static const QRegularExpression spoken(QStringLiteral("SPEECH OUTPUT: '(.*)'(\\{|$)"));
    if (m_log.isOpen() || m_log.open(QIODevice::ReadOnly))
        m_partial += m_log.readAll();
    const qsizetype end = m_partial.lastIndexOf('\n');
    for (const QByteArray& line : m_partial.left(end + 1).split('\n'))
        if (const QRegularExpressionMatch match = spoken.match(QString::fromUtf8(line)); match.hasMatch())
            m_spoken << match.captured(1);
    m_partial.remove(0, end + 1);
    return m_spoken.mid(m_mark);
}

bool Orca::WaitUntilSaid(const QString& words)
{
    auto said = [&] { return !Heard().filter(words).isEmpty(); };
    if (RunEventLoopUntil(said, kSpeechMs))
        return true;
    qWarning().noquote() << "Orca did not say" << words << "; it said:" << Heard();
    return false;
}

namespace {

// Frequencies as the display shows them, among everything said.
QStringList Frequencies(const QStringList& spoken)
{
    return spoken.filter(QRegularExpression(QStringLiteral("^\\d+\\.\\d{3}$")));
}

} // namespace

class E2eOrcaTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void focusedDisplay_speaksEachNewFrequencyOnce();
    void runningJog_speaksAtMostOnceASecond_latestLast();
    void transmitState_isSpokenWhereverTheFocusIs();

private:
    CTavrinView& View() { return m_panel->View(); }
    QWidget* Item(int id) { return View().Form().Item(id); }
    bool FocusOn(QWidget* control, const QString& heard);
    void Dispatch(void (CTavrinView::*handler)());
    void TuneTheRadioTo(double kHz);

    QTemporaryDir m_dir;
    Orca m_orca;
    std::unique_ptr<PanelOnRadio> m_panel;
};

void E2eOrcaTest::initTestCase()
{
    QVERIFY(UseScratchProfileSettings(m_dir));
    QVERIFY2(m_orca.Start(m_dir.path()), "Orca did not start");
    RadioState radio;
    radio.setFrequencyKHz(7140.74);
    m_panel = std::make_unique<PanelOnRadio>(radio);
    QVERIFY2(m_panel->SetupProblem().isEmpty(), qPrintable(m_panel->SetupProblem()));
    View().setWindowTitle(QStringLiteral("Harris RF-350"));
    MakePanelAccessible(View());
    m_orca.Mark();
    m_panel->Start();
    QVERIFY(m_panel->Settle());
    QVERIFY(ShowActive(View()));
    QVERIFY(m_orca.WaitUntilSaid(QStringLiteral("Harris RF-350")));
}

bool E2eOrcaTest::FocusOn(QWidget* control, const QString& heard)
{
    m_orca.Mark();
    control->setFocus();
    return m_orca.WaitUntilSaid(heard);
}

// As the rig-control server and the view's own timers run a handler.
void E2eOrcaTest::Dispatch(void (CTavrinView::*handler)())
{
    View().Dispatch([this, handler] { (View().*handler)(); });
    QVERIFY(m_panel->Settle());
}

// The knob on the radio: the panel's poll finds the new frequency.
void E2eOrcaTest::TuneTheRadioTo(double kHz)
{
    RadioState radio = m_panel->Radio().state();
    radio.setFrequencyKHz(kHz);
    m_panel->Radio().setState(radio);
    View().Dispatch([this] { View().OnTimer(1); });
    QVERIFY(m_panel->Settle());
}

void E2eOrcaTest::focusedDisplay_speaksEachNewFrequencyOnce()
{
    QVERIFY(FocusOn(Item(IDC_FREQ), QStringLiteral("Freq. in kHz")));
    m_orca.Mark();
    for (double kHz : {7150.0, 7160.5}) {
        TuneTheRadioTo(kHz);
        QVERIFY(m_orca.WaitUntilSaid(QString::number(kHz, 'f', 3)));
    }
    TuneTheRadioTo(7160.5);  // a poll that finds nothing new
    Listen(1500);
    QCOMPARE(Frequencies(m_orca.Heard()), (QStringList{"7150.000", "7160.500"}));
}

// The jog on its own half-second timer, in the event loop as the program
// runs it: two new frequencies a second.
void E2eOrcaTest::runningJog_speaksAtMostOnceASecond_latestLast()
{
    QVERIFY(FocusOn(Item(IDC_FREQ_ENTRY), QStringLiteral("Frequency entry")));
    QVERIFY(FocusOn(Item(IDC_FREQ), QStringLiteral("Freq. in kHz")));
    m_orca.Mark();
    const double from = m_panel->Radio().state().frequencyKHz();
    Dispatch(&CTavrinView::OnJogUp);
    View().SetTimer(3, 500);
    Listen(3200);
    Dispatch(&CTavrinView::OnJogUp);
    const int steps = qRound(m_panel->Radio().state().frequencyKHz() - from);  // 1 kHz each
    const QString last = View().Form().Edit(IDC_FREQ)->text();
    QVERIFY(m_orca.WaitUntilSaid(last));
    Listen(1500);
    // Some 3.7 s of jog is at most five announcements; a loaded machine's
    // Orca may take a second over one and leave its neighbour unsaid.
    const QStringList heard = Frequencies(m_orca.Heard());
    QVERIFY2(heard.size() >= 2 && heard.size() <= 5 && steps > heard.size(),
             qPrintable(QStringLiteral("%1 steps, heard %2").arg(steps).arg(heard.join(QLatin1Char(' ')))));
    QCOMPARE(heard.last(), last);
}

// A station program keys and unkeys with the mode list focused; Xmit keys,
// and then the link is lost, which puts the panel back to receive.
void E2eOrcaTest::transmitState_isSpokenWhereverTheFocusIs()
{
    QVERIFY(FocusOn(View().Form().Combo(IDC_MODE)->EditField(), QStringLiteral("Mode")));
    new CLostLinkReceive(View());
    const std::function<void()> steps[] = {
        [this] { Dispatch(&CTavrinView::OnXmit); },
        [this] { Dispatch(&CTavrinView::OnReceive); },
        [this] { Click(View().Form().Button(IDC_XMIT)); },
        [this] { emit View().Comm().PortLost(CommError{}); },
    };
    for (size_t i = 0; i < std::size(steps); ++i) {
        m_orca.Mark();
        steps[i]();
        QVERIFY(m_orca.WaitUntilSaid(i % 2 == 0 ? QStringLiteral("Transmitting") : QStringLiteral("Receiving")));
    }
}

QTEST_MAIN(E2eOrcaTest)
#include "e2e_orca.moc"
