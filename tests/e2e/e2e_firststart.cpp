// A new user's first start: no channel file and no port set up. The panel
// says the file did not open, then offers the port chooser; the path chosen
// opens at once on the panel's real serial code, the radio answers, and the
// file written at exit names port 1.
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "app/mainframe.h"
#include "app/tavrinapp.h"
#include "link/commsettings.h"
#include "panel/messagebox.h"
#include "panel/tavrinview.h"
#include "panelonradio.h"
#include "portchooser/portchoice.h"
#include "portchooser/portchooserdlg.h"
#include "support/programstate.h"

class E2eFirstStartTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();
    void noChannelFile_messageThenChooser_choiceOpensTheRadioAndExitSavesPortOne();
    void cancelledFirstStart_writesTheDialogsDefaults_andTheNextStartReadsThemQuietly();

private:
    QTemporaryDir m_profile;
    QString m_previousDir;
};

void E2eFirstStartTest::initTestCase()
{
    QVERIFY(UseScratchProfileSettings(m_profile));
    m_previousDir = QDir::currentPath();
}

void E2eFirstStartTest::cleanup()
{
    SetMessageBoxSink({});
    SetPortChooserRunner({});
    QDir::setCurrent(m_previousDir);
}

void E2eFirstStartTest::noChannelFile_messageThenChooser_choiceOpensTheRadioAndExitSavesPortOne()
{
    QTemporaryDir desk;
    QDir::setCurrent(desk.path());
    radiosim::RadioState initial;
    initial.setFrequencyKHz(3755.0);
    initial.mode = '2';
    radiosim::RadioSimulator radio;
    radio.setState(initial);
    radio.setStablePath(desk.filePath(QStringLiteral("usb-Harris_RF-350-if00-port0")));
    QVERIFY2(radio.start(), qPrintable(radio.errorString()));
    ResetProgramGlobals();
    QStringList events;
    SetMessageBoxSink([&events](const CString& text) { events << QString::fromLatin1(text); });
    SetPortChooserRunner([&events, &radio](CPortChooserDlg& dialog) {
        events << QStringLiteral("port chooser");
        dialog.findChild<QLineEdit*>(QStringLiteral("path"))->setText(radio.stablePath());
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
        return dialog.result();
    });

    CTavrinApp app;
    QVERIFY(app.InitInstance());

    CTavrinView& view = *app.MainFrame()->View();
    QTRY_COMPARE_WITH_TIMEOUT(PanelDiffersFromRadio(view, radio.state()), QString(), 5000);
    QCOMPARE(events, (QStringList{QStringLiteral("Saved Data File did not open for Read!"), QStringLiteral("port chooser")}));
    QCOMPARE(DeviceForCommPort(1), radio.stablePath());
    QCOMPARE(view.PortProblem(), QString());

    QVERIFY(app.MainFrame()->close());
    QFile saved(QStringLiteral("h350save.dat"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(saved.readLine(), QByteArray("1  9600 O 7 1\r\n"));
}

// Cancel leaves no port; line 1 is still text, and the next start takes it
// as COM1 rather than complaining of a COM0.
void E2eFirstStartTest::cancelledFirstStart_writesTheDialogsDefaults_andTheNextStartReadsThemQuietly()
{
    QTemporaryDir desk;
    QDir::setCurrent(desk.path());
    ResetProgramGlobals();
    QStringList events;
    SetMessageBoxSink([&events](const CString& text) { events << QString::fromLatin1(text); });
    SetPortChooserRunner([&events](CPortChooserDlg& dialog) {
        events << QStringLiteral("port chooser");
        dialog.reject();
        return dialog.result();
    });
    {
        CTavrinApp app;
        QVERIFY(app.InitInstance());
        QVERIFY(app.MainFrame()->close());
    }
    QFile saved(QStringLiteral("h350save.dat"));
    QVERIFY(saved.open(QIODevice::ReadOnly));
    const QByteArray line1 = saved.readLine();
    QCOMPARE(line1, QByteArray("1  9600 O 7 1\r\n"));
    QCOMPARE(events, (QStringList{QStringLiteral("Saved Data File did not open for Read!"), QStringLiteral("port chooser")}));

    events.clear();
    ResetProgramGlobals();
    // COM1 leads nowhere here, so no serial port of this machine is opened.
    SetDeviceForCommPort(1, desk.filePath(QStringLiteral("no-radio-here")));
    CTavrinApp again;
    QVERIFY(again.InitInstance());
    QVERIFY2(!again.MainFrame()->View()->PortProblem().contains(QStringLiteral("COM0")),
             qPrintable(again.MainFrame()->View()->PortProblem()));
    QVERIFY2(again.MainFrame()->View()->PortProblem().contains(QStringLiteral("no-radio-here")),
             qPrintable(again.MainFrame()->View()->PortProblem()));
    QVERIFY2(!events.contains(QStringLiteral("Saved Data File did not open for Read!")), qPrintable(events.join('|')));
    QVERIFY(again.MainFrame()->close());
}

QTEST_MAIN(E2eFirstStartTest)
#include "e2e_firststart.moc"
