// Choosing the radio's port from the window: the dialog's list and choice,
// the stable device names it offers, and what a choice or a Cancel does to
// the port, the profile and the channel file, on the fake device. A first
// start's choice is followed end to end in e2e_firststart.
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTreeWidget>
#include <QtTest>

#include "channels/channeltable.h"
#include "link/commsettings.h"
#include "panel/tavrinview.h"
#include "portchooser/portchoice.h"
#include "portchooser/portchooserdlg.h"
#include "res/resource.h"
#include "support/panelkit.h"

namespace {

const QList<SerialDevice> kDevices = {
    {"/dev/serial/by-id/usb-FTDI_FT232R_A1B2-if00-port0", "FT232R USB UART, stable name of /dev/ttyUSB0", "FTDI"},
    {"/dev/ttyS0", "", ""},
    {"/dev/ttyUSB0", "FT232R USB UART", "FTDI"},
};

PortChoiceRequest Request(const QString& current, const QString& problem = QString(), bool defaulted = false)
{
    PortChoiceRequest request;
    request.current = current;
    request.problem = problem;
    request.settingsDefaulted = defaulted;
    request.devices = kDevices;
    return request;
}

QTreeWidget* DeviceList(CPortChooserDlg& dialog) { return dialog.findChild<QTreeWidget*>(QStringLiteral("devices")); }
QLineEdit* PathField(CPortChooserDlg& dialog) { return dialog.findChild<QLineEdit*>(QStringLiteral("path")); }

QPushButton* OpenButton(CPortChooserDlg& dialog)
{
    return dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
}

QStringList RowTexts(QTreeWidgetItem* row) { return {row->text(0), row->text(1), row->text(2)}; }

// Answers the chooser as a user would: types the path and presses Open,
// or presses Cancel.
struct ChooserAnswer {
    QString typed;      // empty: Cancel
    int offers = 0;

    PortChooserRunner Runner()
    {
        return [this](CPortChooserDlg& dialog) {
            ++offers;
            if (typed.isEmpty()) {
                dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Cancel)->click();
            } else {
                PathField(dialog)->setText(typed);
                OpenButton(dialog)->click();
            }
            return dialog.result();
        };
    }
};

QByteArray PortLineSaved(ViewHarness& h)
{
    h.View().SaveChannelFile();
    QFile file(h.Dir() + QStringLiteral("/h350save.dat"));
    return file.open(QIODevice::ReadOnly) ? file.readLine() : QByteArray();
}

bool ProfileNames(int port)
{
    const QSettings profile(QString::fromLatin1(g_szRegistryKey), QString::fromLatin1(g_szProfileName));
    return profile.contains(QStringLiteral("Ports/COM%1").arg(port));
}

// Sets each line setting named (by its shown text; empty leaves it), noting
// first what the dialog said about the file's own settings.
struct LineAnswer {
    QStringList choices; // baud rate, parity, data bits, stop bits
    QString refusedShown;
    bool openAtFirst = false;

    PortChooserRunner Runner()
    {
        return [this](CPortChooserDlg& dialog) {
            const auto* refused = dialog.findChild<QLabel*>(QStringLiteral("refusedSettings"));
            refusedShown = refused && !refused->isHidden() ? refused->text() : QString();
            openAtFirst = OpenButton(dialog)->isEnabled();
            const char* names[] = {"baudRate", "parity", "dataBits", "stopBits"};
            for (int i = 0; i < choices.size(); ++i) {
                auto* choice = dialog.findChild<QComboBox*>(QLatin1String(names[i]));
                if (!choices[i].isEmpty())
                    choice->setCurrentText(choices[i]);
            }
            OpenButton(dialog)->click();
            return dialog.result();
        };
    }
};

} // namespace

class PortChooserTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanup();

    void dialog_highlightsTheCurrentAndTakesTheRowPickedOrThePathTyped_data();
    void dialog_highlightsTheCurrentAndTakesTheRowPickedOrThePathTyped();
    void dialog_saysWhyItIsOfferedAndWhatAFirstChoiceSets_data();
    void dialog_saysWhyItIsOfferedAndWhatAFirstChoiceSets();
    void stableNames_comeFirstWithWhatTheyLeadTo_andNamesLeadingNowhereAreLeftOut();

    void noChannelFile_cancelLeavesPortZeroClosedAndTheProfileUntouched();
    void anotherDeviceWhileOpen_closesAndOpensItWithDtrWhereTheBoxSays();
    void lineSettings_areShownMendedAndWrittenAsLine1_data();
    void lineSettings_areShownMendedAndWrittenAsLine1();

private:
    QTemporaryDir m_profile;
    ChooserAnswer m_answer;
};

void PortChooserTest::initTestCase()
{
    QVERIFY(m_profile.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_profile.path()));
}

void PortChooserTest::cleanup()
{
    SetPortChooserRunner({});
    m_answer = ChooserAnswer();
    QSettings(QString::fromLatin1(g_szRegistryKey), QString::fromLatin1(g_szProfileName)).clear();
}

void PortChooserTest::dialog_highlightsTheCurrentAndTakesTheRowPickedOrThePathTyped_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("as offered: the current device") << -1 << QString() << "/dev/ttyUSB0";
    QTest::newRow("a row picked") << 0 << QString() << kDevices[0].path;
    QTest::newRow("a path typed, blanks dropped") << -1 << " /tmp/rf350 " << "/tmp/rf350";
    QTest::newRow("a row, then a path typed") << 1 << "/dev/ttyACM0" << "/dev/ttyACM0";
    QTest::newRow("nothing: Open is refused") << -1 << "" << "";
}

void PortChooserTest::dialog_highlightsTheCurrentAndTakesTheRowPickedOrThePathTyped()
{
    QFETCH(int, row);
    QFETCH(QString, typed);
    QFETCH(QString, chosen);
    CPortChooserDlg dialog(Request(QStringLiteral("/dev/ttyUSB0")));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QTreeWidget* list = DeviceList(dialog);
    QCOMPARE(RowTexts(list->topLevelItem(0)), (QStringList{kDevices[0].path, kDevices[0].description, "FTDI"}));
    QVERIFY(list->topLevelItem(2)->isSelected());

    if (row >= 0) {
        const QRect cell = list->visualItemRect(list->topLevelItem(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    }
    if (!typed.isNull())
        PathField(dialog)->setText(typed);

    QCOMPARE(dialog.ChosenPath(), chosen);
    QCOMPARE(OpenButton(dialog)->isEnabled(), !chosen.isEmpty());
}

void PortChooserTest::dialog_saysWhyItIsOfferedAndWhatAFirstChoiceSets_data()
{
    const QString problem = QStringLiteral("COM1 (/dev/ttyUSB0): No such file or directory");
    QTest::addColumn<QString>("problem");
    QTest::addColumn<bool>("defaulted");
    QTest::addColumn<QString>("shownProblem");
    QTest::addColumn<bool>("saysDefaults");
    QTest::newRow("offered: the port did not open") << problem << false << problem << false;
    QTest::newRow("first start: no channel file") << "COM0 is not a valid port number" << true << QString() << true;
    QTest::newRow("asked for from the menu") << QString() << false << QString() << false;
}

void PortChooserTest::dialog_saysWhyItIsOfferedAndWhatAFirstChoiceSets()
{
    QFETCH(QString, problem);
    QFETCH(bool, defaulted);
    QFETCH(QString, shownProblem);
    QFETCH(bool, saysDefaults);

    CPortChooserDlg dialog(Request(QString(), problem, defaulted));

    const auto* label = dialog.findChild<QLabel*>(QStringLiteral("problem"));
    QCOMPARE(label ? label->text() : QString(), shownProblem);
    QStringList texts;
    for (const QLabel* each : dialog.findChildren<QLabel*>())
        texts << each->text();
    QCOMPARE(texts.join('|').contains(QStringLiteral("9600 baud, odd parity, 7 data bits and 1 stop bit")), saysDefaults);
}

void PortChooserTest::stableNames_comeFirstWithWhatTheyLeadTo_andNamesLeadingNowhereAreLeftOut()
{
    QTemporaryDir devices;
    QTemporaryDir byId;
    const QString device = devices.filePath(QStringLiteral("ttyFAKE0"));
    QFile(device).open(QIODevice::WriteOnly);
    const QString stable = byId.filePath(QStringLiteral("usb-Maker_Adapter_123-if00-port0"));
    QVERIFY(QFile::link(device, stable));
    QVERIFY(QFile::link(devices.filePath(QStringLiteral("unplugged")), byId.filePath(QStringLiteral("usb-Gone-if00"))));

    const QList<SerialDevice> listed = ListSerialDevices(byId.path());

    QVERIFY(!listed.isEmpty());
    QCOMPARE(listed[0].path, stable);
    QCOMPARE(listed[0].description, QStringLiteral("stable name of %1").arg(device));
    for (const SerialDevice& each : listed.mid(1))
        QVERIFY2(!each.path.startsWith(byId.path()), qPrintable(each.path));
}

void PortChooserTest::noChannelFile_cancelLeavesPortZeroClosedAndTheProfileUntouched()
{
    ViewHarness h;
    h.Start();
    const QString problem = h.View().PortProblem();
    SetPortChooserRunner(m_answer.Runner());

    CPortChoice(h.View(), nullptr).OfferIfPortClosed();

    QCOMPARE(m_answer.offers, 1);
    QCOMPARE(g_nCommPort, 0);
    QVERIFY(!ProfileNames(1));
    QVERIFY(!h.Port().IsOpen());
    QCOMPARE(h.View().PortProblem(), problem);
    // No zero byte for the parity letter: the dialog's defaults, read back
    // at the next start as COM1.
    QCOMPARE(PortLineSaved(h), QByteArray("1  9600 O 7 1\r\n"));
}

void PortChooserTest::anotherDeviceWhileOpen_closesAndOpensItWithDtrWhereTheBoxSays()
{
    StartedPanel h;
    h.View().Form().Button(IDC_DTR_POWER)->click();
    h.Port().calls.clear();
    m_answer.typed = QStringLiteral("/dev/ttyACM0");
    SetPortChooserRunner(m_answer.Runner());

    CPortChoice(h.View(), nullptr).Offer();

    QCOMPARE(h.Port().calls.mid(0, 5), (QStringList{"close", "open /dev/ttyACM0", "RTS 1", "DTR 0", "write ?\\n"}));
    QCOMPARE(h.View().Comm().DeviceName(), QStringLiteral("/dev/ttyACM0"));
    QCOMPARE(g_nCommPort, 1);
}

void PortChooserTest::lineSettings_areShownMendedAndWrittenAsLine1_data()
{
    QTest::addColumn<QByteArray>("fileLine");
    QTest::addColumn<QString>("refused");
    QTest::addColumn<QStringList>("choices");
    QTest::addColumn<QByteArray>("savedLine");
    QTest::addColumn<QString>("opened"); // the settings the port was opened with

    QTest::newRow("all four changed") << QByteArray("1  9600 O 7 1") << QString()
                                      << QStringList{"4800", "Even", "8", "2"} << QByteArray("1  4800 E 8 2") << "4800 E 8 2";
    QTest::newRow("untouched, a lowercase letter too") << QByteArray("1 19200 n 8 1") << QString() << QStringList()
                                                       << QByteArray("1 19200 n 8 1") << "19200 N 8 1";
    QTest::newRow("a rate wider than the field") << QByteArray("1  9600 O 7 1") << QString()
                                                 << QStringList{"115200", "None"} << QByteArray("1 115200 N 7 1") << "115200 N 7 1";
    QTest::newRow("parity X mended") << QByteArray("1  9600 X 7 1") << "parity X" << QStringList{"", "Odd"}
                                     << QByteArray("1  9600 O 7 1") << "9600 O 7 1";
    QTest::newRow("baud rate 0 mended") << QByteArray("1     0 O 7 1") << "baud rate 0" << QStringList{"9600"}
                                        << QByteArray("1  9600 O 7 1") << "9600 O 7 1";
    QTest::newRow("data and stop bits mended") << QByteArray("1  9600 O 9 3") << "9 data bits, 3 stop bits"
                                               << QStringList{"", "", "7", "1"} << QByteArray("1  9600 O 7 1") << "9600 O 7 1";
}

// Settings the port refuses are named in the dialog and keep Open disabled
// until mended; what the user chose opens the port and is line 1 of the file.
void PortChooserTest::lineSettings_areShownMendedAndWrittenAsLine1()
{
    QFETCH(QByteArray, fileLine);
    QFETCH(QString, refused);
    QFETCH(QStringList, choices);
    QFETCH(QByteArray, savedLine);
    QFETCH(QString, opened);
    const QByteArray file = fileLine + "\n 7000.00  7300.00   0   9\n";
    ViewHarness h(&file);
    h.Start();
    LineAnswer answer{choices};
    SetPortChooserRunner(answer.Runner());

    CPortChoice(h.View(), nullptr).Offer();

    QCOMPARE(answer.refusedShown.contains(refused), true);
    QCOMPARE(answer.refusedShown.isEmpty(), refused.isEmpty());
    QCOMPARE(answer.openAtFirst, refused.isEmpty());
    QVERIFY(h.Port().IsOpen());
    const CommSettings& applied = h.Port().applied;
    QCOMPARE(QStringLiteral("%1 %2 %3 %4").arg(applied.baudRate).arg(QLatin1Char(applied.parity)).arg(applied.dataBits).arg(applied.stopBits),
             opened);
    QCOMPARE(PortLineSaved(h), savedLine + "\r\n");
}

QTEST_MAIN(PortChooserTest)
#include "test_portchooser.moc"
