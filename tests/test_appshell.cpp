// The application shell: start-up order, the main window with its one Help
// menu, the about box, Ctrl+N, and the channel file written when the window
// closes.
#include <QAction>
#include <QDateTime>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QWheelEvent>
#include <QtTest>
#include <memory>

#include "app/mainframe.h"
#include "app/tavrinapp.h"
#include "link/mscomm.h"
#include "panel/combocontrols.h"
#include "panel/messagebox.h"
#include "panel/tavrinview.h"
#include "portchooser/portchoice.h"
#include "res/resource.h"
#include "sessionend/commitchannelfile.h"
#include "support/fakecomm.h"
#include "support/panelkit.h"
#include "support/programstate.h"
#include "support/samplefile.h"

namespace {

const QString kChannelFile = QStringLiteral("h350save.dat");

// One run of the program in a scratch working directory, on the fake port,
// with message boxes recorded instead of shown.
class ShellRun {
public:
    explicit ShellRun(const QByteArray* channelFile)
    {
        m_previousDir = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        if (channelFile) {
            QFile file(kChannelFile);
            file.open(QIODevice::WriteOnly);
            file.write(*channelFile);
        }
        ResetProgramGlobals();
        SetMessageBoxSink([this](const CString& text) { messages << QString::fromLatin1(text); });
        // A port that does not open offers its chooser; here it is declined.
        SetPortChooserRunner([this](CPortChooserDlg&) {
            messages << QStringLiteral("(port chooser)");
            return int(QDialog::Rejected);
        });
        // Whatever an earlier start set, so only this start can set them.
        QCoreApplication::setOrganizationName(QString());
        QCoreApplication::setApplicationName(QStringLiteral("test_appshell"));
    }

    ~ShellRun()
    {
        m_app.reset();
        SetMessageBoxSink({});
        SetPortChooserRunner({});
        QDir::setCurrent(m_previousDir);
    }

    bool Start()
    {
        m_app = std::make_unique<CTavrinApp>();
        return m_app->InitInstance();
    }

    CMainFrame& Frame() { return *m_app->MainFrame(); }
    FakeCommBackend& Port() { return *FakeCommInstaller::Latest(); }
    QStringList messages;

private:
    QTemporaryDir m_dir;
    QString m_previousDir;
    FakeCommInstaller m_installer;
    std::unique_ptr<CTavrinApp> m_app;
};

// What the program looked like at the moment it opened the port.
struct AtOpen {
    QString organization;
    QString application;
    bool viewInFrame = false;
    bool frameShown = false;
};
std::vector<AtOpen> g_opens;

class RecordingBackend : public FakeCommBackend {
public:
    QString Open(const QString& device, const CommSettings& settings) override
    {
        AtOpen seen{QCoreApplication::organizationName(), QCoreApplication::applicationName()};
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (auto* frame = qobject_cast<CMainFrame*>(top)) {
                seen.viewInFrame = qobject_cast<CTavrinView*>(frame->centralWidget()) != nullptr;
                seen.frameShown = frame->isVisible();
            }
        }
        g_opens.push_back(seen);
        return FakeCommBackend::Open(device, settings);
    }
};

QList<QAction*> ItemsOf(QMenu* menu)
{
    QList<QAction*> items;
    for (QAction* action : menu->actions())
        if (!action->isSeparator())
            items << action;
    return items;
}

QAction* AboutAction(CMainFrame& frame)
{
    if (!frame.HelpMenu())
        return nullptr;
    for (QAction* item : ItemsOf(frame.HelpMenu()))
        if (item->text() == QStringLiteral("&About Tavrin..."))
            return item;
    return nullptr;
}

// What the about box shows while it is up, read from inside its modal loop.
struct AboutSeen {
    bool shown = false;
    QString title;
    QStringList texts;
    bool hasIcon = false;
    QStringList buttons;
    int result = -1;
};

void InspectAndCloseAboutBox(AboutSeen& seen)
{
    auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!box)
        return;
    seen.shown = true;
    seen.title = box->windowTitle();
    for (QLabel* label : box->findChildren<QLabel*>()) {
        if (!label->text().isEmpty())
            seen.texts << label->text();
        seen.hasIcon = seen.hasIcon || !label->pixmap().isNull();
    }
    QPushButton* ok = nullptr;
    for (QPushButton* button : box->findChildren<QPushButton*>()) {
        seen.buttons << button->text();
        if (button->text() == QStringLiteral("OK"))
            ok = button;
    }
    QObject::connect(box, &QDialog::finished, box, [&seen](int result) { seen.result = result; });
    if (ok)
        QTest::mouseClick(ok, Qt::LeftButton);
    else
        box->reject();
}

QByteArray ReadChannelFile()
{
    QFile file(kChannelFile);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void MakeChannelFileOld()
{
    QFile file(kChannelFile);
    file.open(QIODevice::ReadWrite);
    file.setFileTime(QDateTime(QDate(2001, 1, 1), QTime(12, 0)), QFileDevice::FileModificationTime);
}

} // namespace

class AppShellTest : public QObject {
    Q_OBJECT
private slots:
    void initInstance_setsProfileNamesBeforeThePanelOpensThePort();
    void initInstance_showsTheFrameHoldingTheStartedPanel();
    void menu_isRadioThenHelpWithAboutEnabledAndVersionDisabled();
    void mainWindow_hasNoToolBarAndNoStatusBar();
    void mainWindow_carriesTheApplicationIcon();
    void aboutCommand_showsTitleVersionIconAndOk();
    void closingTheWindow_writesTheChannelFile_data();
    void closingTheWindow_writesTheChannelFile();
    void ctrlN_runsTheFirstUpdateAgain();
    void thePanel_isNamedForScreenReadersAndTunesWithTheWheel();
    void radioMenu_serialPortItemOffersTheChooserEvenWithThePortOpen();
    void ctrlNWithAPortThatDoesNotOpen_offersTheChooser();
    void closingWithARangeNotYetLeft_savesWhatWasTyped_data();
    void closingWithARangeNotYetLeft_savesWhatWasTyped();
    void closing_sendsNothingWhileTheFileIsWritten();
};

void AppShellTest::initInstance_setsProfileNamesBeforeThePanelOpensThePort()
{
    ShellRun run(&SampleChannelFileOnce());
    g_opens.clear();
    CMSComm::SetBackendFactory([] { return std::make_unique<RecordingBackend>(); });

    QVERIFY(run.Start());

    QCOMPARE(g_opens.size(), size_t(1));
    const AtOpen& seen = g_opens.front();
    QCOMPARE(seen.organization, QStringLiteral("Local AppWizard-Generated Applications"));
    QCOMPARE(seen.application, QStringLiteral("Tavrin"));
    QVERIFY(seen.viewInFrame);  // the first update runs inside the window...
    QVERIFY(!seen.frameShown);  // ...which is shown only after it
    QVERIFY(run.Frame().isVisible());
}

void AppShellTest::initInstance_showsTheFrameHoldingTheStartedPanel()
{
    ShellRun run(&SampleChannelFileOnce());

    QVERIFY(run.Start());

    CMainFrame& frame = run.Frame();
    QCOMPARE(frame.windowTitle(), QStringLiteral("Harris RF-350"));
    QVERIFY(frame.isVisible());
    auto* view = qobject_cast<CTavrinView*>(frame.centralWidget());
    QVERIFY(view);
    QCOMPARE(view, frame.View());
    QCOMPARE(view->m_cbChannels.GetCount(), 300);
    QVERIFY(!run.Port().writes.isEmpty());
    QCOMPARE(run.Port().writes.first(), QByteArray("?\n"));
    QCOMPARE(QApplication::activeModalWidget(), nullptr); // no file dialog at start
    QVERIFY(run.messages.isEmpty());
}

void AppShellTest::menu_isRadioThenHelpWithAboutEnabledAndVersionDisabled()
{
    ShellRun run(&SampleChannelFileOnce());
    QVERIFY(run.Start());

    const QList<QAction*> menus = run.Frame().menuBar()->actions();
    QCOMPARE(menus.size(), 2);
    QCOMPARE(menus[0]->text(), QStringLiteral("&Radio"));
    QCOMPARE(menus[1]->text(), QStringLiteral("&Help"));
    QVERIFY(menus[1]->menu());
    const QList<QAction*> items = ItemsOf(menus[1]->menu());
    QCOMPARE(items.size(), 2);
    QCOMPARE(items[0]->text(), QStringLiteral("&About Tavrin..."));
    QVERIFY(items[0]->isEnabled());
    QCOMPARE(items[1]->text(), QStringLiteral("Ver " TAVRIN_VERSION));
    QVERIFY(!items[1]->isEnabled());
}

void AppShellTest::mainWindow_hasNoToolBarAndNoStatusBar()
{
    ShellRun run(&SampleChannelFileOnce());
    QVERIFY(run.Start());

    QVERIFY(run.Frame().findChildren<QToolBar*>().isEmpty());
    QVERIFY(run.Frame().findChildren<QStatusBar*>().isEmpty());
}

void AppShellTest::mainWindow_carriesTheApplicationIcon()
{
    ShellRun run(&SampleChannelFileOnce());
    QVERIFY(run.Start());

    QVERIFY2(!run.Frame().windowIcon().availableSizes().isEmpty(), "the window has no icon");
}

void AppShellTest::aboutCommand_showsTitleVersionIconAndOk()
{
    ShellRun run(&SampleChannelFileOnce());
    QVERIFY(run.Start());
    QAction* about = AboutAction(run.Frame());
    QVERIFY(about);
    AboutSeen seen;
    QTimer inspect;
    inspect.setSingleShot(true);
    connect(&inspect, &QTimer::timeout, this, [&seen] { InspectAndCloseAboutBox(seen); });
    inspect.start(0);

    about->trigger(); // returns once the modal box is closed

    QVERIFY(seen.shown);
    QCOMPARE(seen.title, QStringLiteral("About Tavrin"));
    QVERIFY2(seen.texts.contains(QStringLiteral("Tavrin Version 1.0")), qPrintable(seen.texts.join('|')));
    QCOMPARE(seen.texts.size(), 2); // the version and one further line
    QCOMPARE(seen.buttons, QStringList{QStringLiteral("OK")});
    QCOMPARE(seen.result, int(QDialog::Accepted));
    QVERIFY2(seen.hasIcon, "the about box shows no icon");
    QCOMPARE(QApplication::activeModalWidget(), nullptr);
}

void AppShellTest::closingTheWindow_writesTheChannelFile_data()
{
    QTest::addColumn<bool>("fileAtStart");
    QTest::addColumn<bool>("byQuit");  // Radio > Quit, Ctrl+Q
    QTest::newRow("no file at start") << false << false;
    QTest::newRow("a file at start") << true << false;
    QTest::newRow("a file at start, Quit") << true << true;
}

void AppShellTest::closingTheWindow_writesTheChannelFile()
{
    QFETCH(bool, fileAtStart);
    QFETCH(bool, byQuit);
    ShellRun run(fileAtStart ? &SampleChannelFileOnce() : nullptr);
    if (fileAtStart)
        MakeChannelFileOld();
    QVERIFY(run.Start());
    const QDateTime before = QFileInfo(kChannelFile).lastModified();
    QCOMPARE(QFileInfo::exists(kChannelFile), fileAtStart); // starting writes nothing

    if (byQuit) {
        QAction* quit = ItemsOf(run.Frame().RadioMenu()).last();
        QCOMPARE(quit->text(), QStringLiteral("&Quit"));
        QCOMPARE(quit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
        quit->trigger();
        QVERIFY(!run.Frame().isVisible());
    } else {
        QVERIFY(run.Frame().close());
    }

    QVERIFY(QFileInfo::exists(kChannelFile));
    const QByteArray written = ReadChannelFile();
    if (fileAtStart) {
        QVERIFY(QFileInfo(kChannelFile).lastModified() > before);
        QVERIFY(written.startsWith("1  9600 O 7 1\r\n"));
        QVERIFY(written.contains("  1 14250.00 U F M L\r\nNet control"));
    } else {
        // Nothing was read and no port chosen: the port dialog's defaults.
        QVERIFY(written.startsWith("1  9600 O 7 1\r\n"));
        QCOMPARE(run.messages, (QStringList{QStringLiteral("Saved Data File did not open for Read!"),
                                            QStringLiteral("(port chooser)")}));
    }
}

void AppShellTest::ctrlN_runsTheFirstUpdateAgain()
{
    ShellRun run(&SampleChannelFileOnce());
    QVERIFY(run.Start());
    CMainFrame& frame = run.Frame();
    QVERIFY(ShowActive(frame));
    run.Port().writes.clear();
    QByteArray changed = SampleChannelFileOnce();
    changed.replace("Net control", "Net changed");
    QFile file(kChannelFile);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(changed);
    file.close();

    QTest::keyClick(&frame, Qt::Key_N, Qt::ControlModifier);

    CTavrinView& view = *frame.View();
    QCOMPARE(view.m_cbChannels.GetCount(), 300);
    const auto* channels = static_cast<const SimpleCombo*>(view.Form().Combo(IDC_CHANNELS));
    QVERIFY(channels->ItemText(1).startsWith("  1 14250.00 U F M L - Net changed"));
    QVERIFY(!run.Port().writes.isEmpty());
    QCOMPARE(run.Port().writes.first(), QByteArray("?\n")); // the radio is queried again
}

void AppShellTest::thePanel_isNamedForScreenReadersAndTunesWithTheWheel()
{
    ShellRun run(&SampleChannelFileOnce());
    QVERIFY(run.Start());
    CTavrinView& view = *run.Frame().View();
    QWidget* display = view.Form().Item(IDC_FREQ);
    QCOMPARE(display->accessibleName(), QStringLiteral("Frequency in kHz"));
    QCOMPARE(view.Form().Item(IDC_STEP_1K)->accessibleName(), QStringLiteral("Delta F, 1 kHz"));
    run.Port().Inject("F0715550 \n");
    run.Port().writes.clear();

    QWheelEvent notch(QPointF(5, 5), display->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(display, &notch);

    QCOMPARE(run.Port().writes, QByteArrayList{"F0715650\n"});
}

void AppShellTest::radioMenu_serialPortItemOffersTheChooserEvenWithThePortOpen()
{
    ShellRun run(&SampleChannelFileOnce());
    QVERIFY(run.Start());
    QCOMPARE(run.messages, QStringList()); // a port that opens offers nothing
    QAction* item = nullptr;
    for (QAction* each : ItemsOf(run.Frame().RadioMenu()))
        item = each->text() == QStringLiteral("Serial Port...") ? each : item;
    QVERIFY(item);

    item->trigger();

    QCOMPARE(run.messages, QStringList{QStringLiteral("(port chooser)")});
    QVERIFY(run.Port().IsOpen());
}

void AppShellTest::ctrlNWithAPortThatDoesNotOpen_offersTheChooser()
{
    ShellRun run(&SampleChannelFileOnce());
    QVERIFY(run.Start());
    CMainFrame& frame = run.Frame();
    QVERIFY(ShowActive(frame));
    run.Port().failOpen = true;
    run.Port().Vanish();

    QTest::keyClick(&frame, Qt::Key_N, Qt::ControlModifier);

    QCOMPARE(run.messages, QStringList{QStringLiteral("(port chooser)")});
}

void AppShellTest::closingWithARangeNotYetLeft_savesWhatWasTyped_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QByteArray>("rangeLine");
    QTest::addColumn<bool>("logoutCommit"); // the window stays, and the focus in the edit
    // The sample file's range line is " 7000.00  7300.00   0   3".
    QTest::newRow("upper limit") << IDC_SCAN_UPPER << "7250" << QByteArray(" 7000.00  7250.00   0   3") << false;
    QTest::newRow("lower limit") << IDC_SCAN_LOWER << "7100" << QByteArray(" 7100.00  7300.00   0   3") << false;
    QTest::newRow("chan lower") << IDC_CHAN_LOWER << "2" << QByteArray(" 7000.00  7300.00   2   3") << false;
    QTest::newRow("chan upper") << IDC_CHAN_UPPER << "9" << QByteArray(" 7000.00  7300.00   0   9") << false;
    QTest::newRow("upper limit, a logout's commit") << IDC_SCAN_UPPER << "7250" << QByteArray(" 7000.00  7250.00   0   3")
                                                    << true;
}

// The focus leaves the edit as the window goes, before the file is written.
void AppShellTest::closingWithARangeNotYetLeft_savesWhatWasTyped()
{
    QFETCH(int, id);
    QFETCH(QString, typed);
    QFETCH(QByteArray, rangeLine);
    QFETCH(bool, logoutCommit);
    ShellRun run(&SampleChannelFileOnce());
    QVERIFY(run.Start());
    CMainFrame& frame = run.Frame();
    QVERIFY(ShowActive(frame));
    QLineEdit* edit = frame.View()->Form().Edit(id);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, typed);
    QVERIFY(edit->hasFocus());

    if (logoutCommit)
        CommitChannelFile(*frame.View());
    else
        QVERIFY(frame.close());
    QCOMPARE(edit->hasFocus(), logoutCommit);

    const QList<QByteArray> lines = ReadChannelFile().split('\n');
    QVERIFY(lines.size() > 2);
    QCOMPARE(lines[1], rangeLine + '\r');
}

// A box shown while the file is written runs an event loop of its own; the
// poll, the scan and the jog must not go on talking to the radio meanwhile.
void AppShellTest::closing_sendsNothingWhileTheFileIsWritten()
{
    ShellRun run(&SampleChannelFileOnce());
    QVERIFY(run.Start());
    CMainFrame& frame = run.Frame();
    CTavrinView& view = *frame.View();
    view.OnChanScan();
    view.m_nJog = 0; // after the scan's start, which ends a jog
    QVERIFY(QFile::remove(kChannelFile) && QDir().mkdir(kChannelFile)); // a save cannot replace a directory
    QByteArrayList sentWhileBoxUp;
    QList<int> periodsWhileBoxUp;
    SetMessageBoxSink([&](const CString& text) {
        run.messages << QString::fromLatin1(text);
        run.Port().writes.clear();
        QTest::qWait(600); // a jog step is due every 500 ms
        sentWhileBoxUp += run.Port().writes;
        for (unsigned id : {1u, 2u, 3u})
            periodsWhileBoxUp << view.Timers().Period(id);
    });

    QVERIFY(frame.close());

    QVERIFY(run.messages.contains(QStringLiteral("Saved Data File did not open for Write!")));
    QCOMPARE(Shown(sentWhileBoxUp), Shown({}));
    QCOMPARE(periodsWhileBoxUp.mid(0, 3), (QList<int>{0, 0, 0}));
}

QTEST_MAIN(AppShellTest)
#include "test_appshell.moc"
