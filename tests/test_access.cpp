// The panel through a screen reader's eyes, read with Qt's own
// accessibility interfaces: the names of the controls that take focus, the
// channel lines as text, and one event for each real change the radio
// reports.
#include <QAbstractButton>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QtTest>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include "access/channellinetext.h"
#include "access/panelaccess.h"
#include "panel/combocontrols.h"
#include "panel/tavrinview.h"
#include "panel/tuningstate.h"
#include "portwatch/lostlinkreceive.h"
#include "res/resource.h"
#include "support/panelkit.h"
#include "support/samplefile.h"
#include "support/viewharness.h"

namespace {

// A panel on the sample channel file, made accessible before its first
// update as the program does, shown, the start-up queries off the line.
class AccessiblePanel : public ViewHarness {
public:
    AccessiblePanel() : ViewHarness(&SampleChannelFileOnce())
    {
        MakePanelAccessible(View());
        Start();
        TakeWrites();
        View().show();
    }

    QWidget* Item(int id) { return View().Form().Item(id); }
    SimpleCombo& Channels() { return *dynamic_cast<SimpleCombo*>(View().Form().Combo(IDC_CHANNELS)); }
};

QString NameOf(QObject* object)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(QAccessible::Name) : QString();
}

// Every value-change event, as a screen reader would be told of it.
struct HeardChange {
    QObject* object;
    QString value;
};
QList<HeardChange> g_heard;

void RecordChange(QAccessibleEvent* event)
{
    if (event->type() == QAccessible::ValueChanged)
        g_heard << HeardChange{event->object(), static_cast<QAccessibleValueChangeEvent*>(event)->value().toString()};
}

QList<HeardChange> HeardFrom(QObject* object)
{
    QList<HeardChange> from;
    for (const HeardChange& change : g_heard)
        if (change.object == object)
            from << change;
    return from;
}

void DumpTree(QAccessibleInterface* iface, int depth, QStringList& lines)
{
    if (!iface)
        return;
    const QAccessible::State state = iface->state();
    if (state.focusable && !state.invisible) {
        lines << QStringLiteral("%1%2 \"%3\"").arg(QString(depth * 2, QLatin1Char(' ')),
                                                   QString::number(iface->role(), 16),
                                                   iface->text(QAccessible::Name));
    }
    // Of the channel list's 300 lines, the first few tell how all read.
    const int children = iface->role() == QAccessible::List ? qMin(iface->childCount(), 6) : iface->childCount();
    for (int i = 0; i < children; ++i)
        DumpTree(iface->child(i), depth + 1, lines);
}

} // namespace

class AccessTest : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void accessibilityTree_namesEveryControlThatTakesFocus();
    void controls_areNamedAfterTheirLabelOrFrame_data();
    void controls_areNamedAfterTheirLabelOrFrame();
    void labels_standForTheirControls_data();
    void labels_standForTheirControls();
    void frequencyDisplay_isReachedWithTabAfterTheCommandEcho();
    void channelLines_readAsCleanText_data();
    void channelLines_readAsCleanText();
    void channelList_readsItsLinesThroughTheInterface();
    void savedChannel_readsAsTextToo();
    void reportThatChangesAValue_raisesOneEvent_data();
    void reportThatChangesAValue_raisesOneEvent();
    void reportArrivingCharacterByCharacter_raisesOneEvent();
    void refreshWithoutReport_raisesNothing();
    void transmitState_followsWhicheverChangedLast_data();
    void transmitState_followsWhicheverChangedLast();
};

void AccessTest::init()
{
    g_heard.clear();
    QAccessible::installUpdateHandler(RecordChange);
    // What a screen reader's arrival does: without it, Qt raises no events.
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true);
    QVERIFY(QAccessible::isActive());
}

void AccessTest::cleanup()
{
    QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(false);
    QAccessible::installUpdateHandler(nullptr);
}

void AccessTest::controls_areNamedAfterTheirLabelOrFrame_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("name");
    auto row = [](int id, const char* name) { QTest::newRow(name) << id << QString::fromLatin1(name); };
    row(IDC_FREQ_ENTRY, "Frequency entry");
    row(IDC_FREQ, "Frequency in kHz");
    row(IDC_RF_GAIN, "RF Gain");
    row(IDC_BFO, "BFO offset in Hz");
    row(IDC_SCAN_UPPER, "Upper Limit");
    row(IDC_SCAN_LOWER, "Lower Limit");
    row(IDC_CHAN_LOWER, "Chan Scan Lower");
    row(IDC_CHAN_UPPER, "Chan Scan Upper");
    row(IDC_SETTINGS, "Port settings");
    row(IDC_LAST_COMMAND, "Last command sent");
    row(IDC_STATUS, "Last status report");
    row(IDC_CHANNELS, "Channels");
    row(IDC_MODE, "Mode");
    row(IDC_AGC, "AGC");
    row(IDC_STEP_1K, "Delta F, 1 kHz");
    row(IDC_METER_FWD, "Meter, Fwd");
    row(IDC_AMP_OPERATE, "Amplifier, Oper");
    row(IDC_SIDE_TONE, "Audio, Side Tone");
    row(IDC_JOG_UP, "Scan Frequencies, Up");
    row(IDC_FREQ_UP, "Jog Frequency, Up");
    row(IDC_SET_RF_GAIN, "RF Gain, Set");
    row(IDC_SET_BFO, "BFO, Set");
    row(IDC_CLIPPING, "Clipping");
}

void AccessTest::controls_areNamedAfterTheirLabelOrFrame()
{
    QFETCH(int, id);
    QFETCH(QString, name);
    AccessiblePanel panel;
    QCOMPARE(NameOf(panel.Item(id)), name);
    // A combo box has focus in its edit field, which must say the same.
    if (ComboControl* combo = panel.View().Form().Combo(id))
        QCOMPARE(NameOf(combo->EditField()), name);
}

void AccessTest::labels_standForTheirControls_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("label");
    QTest::newRow("display") << int(IDC_FREQ) << QStringLiteral("Freq. in kHz");
    QTest::newRow("AGC") << int(IDC_AGC) << QStringLiteral("AGC");
    QTest::newRow("mode") << int(IDC_MODE) << QStringLiteral("Mode");
    QTest::newRow("chan scan lower") << int(IDC_CHAN_LOWER) << QStringLiteral("Lower");
    QTest::newRow("port settings") << int(IDC_SETTINGS) << QStringLiteral("COM Port Settings");
}

// A combo box's name on Linux is its current item; the label says what it is.
void AccessTest::labels_standForTheirControls()
{
    QFETCH(int, id);
    QFETCH(QString, label);
    AccessiblePanel panel;
    panel.Feed("M1 A2 \n");
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(panel.Item(id));
    QStringList labels;
    for (const auto& [labelIface, relation] : iface->relations(QAccessible::Label))
        labels << labelIface->text(QAccessible::Name);
    QCOMPARE(labels, QStringList{label});
}

void AccessTest::frequencyDisplay_isReachedWithTabAfterTheCommandEcho()
{
    AccessiblePanel panel;
    QVERIFY(QTest::qWaitForWindowActive(&panel.View()));
    QWidget* echo = panel.Item(IDC_LAST_COMMAND);
    QWidget* display = panel.Item(IDC_FREQ);
    echo->setFocus();
    QTest::keyClick(echo, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), display);
    QTest::keyClick(display, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), panel.Item(IDC_AGC));
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(display);
    QVERIFY(iface->state().readOnly);
    QVERIFY(iface->state().focusable);
}

void AccessTest::channelLines_readAsCleanText_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("read");
    QTest::newRow("stored") << QByteArray("  5 14250.00 U F M L - Net control                  \n")
                            << QStringLiteral("5 14250.00 U F M L - Net control");
    QTest::newRow("never stored") << QByteArray("  7     0.00 \0 \0 \0 \0 - ", 23) + QByteArray(29, '\0') + '\n'
                                  << QStringLiteral("7 0.00");
    QTest::newRow("control bytes in the description")
        << QByteArray("  1  7155.50 L S A R - a\tb\rc\x01" "d\x7f" "e\x85" "f         \n")
        << QStringLiteral("1 7155.50 L S A R - a b c d e f");
    QTest::newRow("zero byte in the description")
        << QByteArray("  2  3500.00 C F M T - ham\0radio            \n", 45) << QStringLiteral("2 3500.00 C F M T - ham");
    QTest::newRow("latin-1 kept") << QByteArray("  3  3600.00 U S M R - Z\xfcrich      \n")
                                  << QStringLiteral("3 3600.00 U S M R - Z\u00fcrich");
}

void AccessTest::channelLines_readAsCleanText()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, read);
    QCOMPARE(ReadableChannelLine(line), read);
}

void AccessTest::channelList_readsItsLinesThroughTheInterface()
{
    AccessiblePanel panel;
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(panel.Channels().List());
    QCOMPARE(list->text(QAccessible::Name), QStringLiteral("Channels"));
    QCOMPARE(list->childCount(), 300);
    for (int row : {0, 3, 4, 299}) {
        const QString read = list->child(row)->text(QAccessible::Name);
        QCOMPARE(read, ReadableChannelLine(panel.Channels().ItemText(row)));
        QVERIFY2(read.startsWith(QString::number(row) + QLatin1Char(' ')), qPrintable(read));
        for (QChar c : read)
            QVERIFY2(c.isPrint(), qPrintable(read));
    }
}

void AccessTest::savedChannel_readsAsTextToo()
{
    AccessiblePanel panel;
    panel.Channels().EditField()->setText(QStringLiteral(" 12  7155.50 U F M L - Evening net"));
    QTest::mouseClick(panel.View().Form().Button(IDC_SAVE_CHANNEL), Qt::LeftButton);
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(panel.Channels().List());
    QCOMPARE(list->child(12)->text(QAccessible::Name), QStringLiteral("12 7155.50 U F M L - Evening net"));
}

// Feed: a first report, then a second one. The second either changes the
// value shown by `id` (one event, carrying the new value) or repeats it.
void AccessTest::reportThatChangesAValue_raisesOneEvent_data()
{
    QTest::addColumn<QByteArray>("first");
    QTest::addColumn<QByteArray>("second");
    QTest::addColumn<int>("id");
    QTest::addColumn<QStringList>("heard");
    QTest::newRow("new frequency") << QByteArray("F0700000 M1 U \n") << QByteArray("F0715550 \n") << int(IDC_FREQ)
                                   << QStringList{QStringLiteral("7155.500")};
    QTest::newRow("same frequency") << QByteArray("F0700000 M1 U \n") << QByteArray("F0700000 \n") << int(IDC_FREQ)
                                    << QStringList{};
    QTest::newRow("no frequency field") << QByteArray("F0700000 M1 U \n") << QByteArray("M1 U \n") << int(IDC_FREQ)
                                        << QStringList{};
    QTest::newRow("new mode") << QByteArray("F0700000 M1 U \n") << QByteArray("M2 \n") << int(IDC_MODE)
                              << QStringList{QStringLiteral("LSB")};
    QTest::newRow("same mode") << QByteArray("F0700000 M1 U \n") << QByteArray("F0700000 M1 U \n") << int(IDC_MODE)
                               << QStringList{};
    QTest::newRow("keyed") << QByteArray("F0700000 M1 U \n") << QByteArray("K \n") << int(IDC_XMIT)
                           << QStringList{QStringLiteral("Xmit")};
    QTest::newRow("unkeyed") << QByteArray("F0700000 M1 K \n") << QByteArray("U \n") << int(IDC_RECEIVE)
                             << QStringList{QStringLiteral("Receive")};
    QTest::newRow("still receiving") << QByteArray("F0700000 M1 U \n") << QByteArray("U M1 \n") << int(IDC_RECEIVE)
                                     << QStringList{};
}

void AccessTest::reportThatChangesAValue_raisesOneEvent()
{
    QFETCH(QByteArray, first);
    QFETCH(QByteArray, second);
    QFETCH(int, id);
    QFETCH(QStringList, heard);
    AccessiblePanel panel;
    panel.Feed(first);
    g_heard.clear();
    panel.Feed(second);
    QStringList values;
    for (const HeardChange& change : HeardFrom(panel.Item(id)))
        values << change.value;
    QCOMPARE(values, heard);
    // Nothing else was announced for a report that changed only this.
    QCOMPARE(g_heard.size(), heard.size());
}

void AccessTest::reportArrivingCharacterByCharacter_raisesOneEvent()
{
    AccessiblePanel panel;
    const QByteArray reports = "F0700000 M1 U \nF0703525 M2 K \nF0703525 M2 K \n";
    g_heard.clear();
    for (char c : reports)
        panel.Feed(QByteArray(1, c));
    QCOMPARE(HeardFrom(panel.Item(IDC_FREQ)).size(), 2);  // 0.000 -> 7000.000 -> 7035.250
    QCOMPARE(HeardFrom(panel.Item(IDC_FREQ)).last().value, QStringLiteral("7035.250"));
    QCOMPARE(HeardFrom(panel.Item(IDC_MODE)).size(), 2);  // none -> USB -> LSB
    QCOMPARE(HeardFrom(panel.Item(IDC_RECEIVE)).size(), 1);
    QCOMPARE(HeardFrom(panel.Item(IDC_XMIT)).size(), 1);
}

// Typing in a live field refreshes the whole form; nothing the radio shows
// changed, so nothing is announced.
void AccessTest::refreshWithoutReport_raisesNothing()
{
    AccessiblePanel panel;
    panel.Feed("F0700000 M1 U \n");
    g_heard.clear();
    QLineEdit* entry = panel.View().Form().Edit(IDC_FREQ_ENTRY);
    entry->setFocus();
    QTest::keyClicks(entry, QStringLiteral("7155"));
    panel.View().OnStateToForm();
    QCOMPARE(g_heard.size(), 0);
}

// Steps: a report from the radio ("K", "U"), a click the panel handles
// ("xmit", "receive", "tune"), or "lost": the link lost, which puts the
// panel back to receive outside the handlers.
void AccessTest::transmitState_followsWhicheverChangedLast_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("title");
    const QString keyed = QStringLiteral("transmitting");
    QTest::newRow("radio keyed") << QStringList{"K"} << keyed;
    QTest::newRow("radio keyed and back") << QStringList{"K", "U"} << QString();
    QTest::newRow("Xmit") << QStringList{"xmit"} << keyed;
    QTest::newRow("Xmit, answer, Receive") << QStringList{"xmit", "K", "receive"} << QString();
    QTest::newRow("Receive before the answer") << QStringList{"xmit", "receive", "K", "U"} << QString();
    QTest::newRow("keyed at the radio: Receive sends nothing") << QStringList{"K", "receive"} << keyed;
    QTest::newRow("Xmit, answer, link lost") << QStringList{"xmit", "K", "lost"} << QString();
    QTest::newRow("lost, then the radio keys") << QStringList{"xmit", "K", "lost", "U", "K"} << keyed;
    QTest::newRow("Tune") << QStringList{"tune"} << keyed;
    QTest::newRow("Tune ended") << QStringList{"tune", "K", "tune", "U"} << QString();
}

void AccessTest::transmitState_followsWhicheverChangedLast()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, title);
    AccessiblePanel panel;
    panel.Feed("F0700000 M1 U \n");
    new CLostLinkReceive(panel.View());
    for (const QString& step : steps)
        TakeTransmitStep(panel, step);
    QCOMPARE(panel.View().Title().Words(CWindowTitle::Transmitting), title);
}

// What a screen reader finds when it walks the panel, printed for a reader
// of the test log: every control that takes focus has a name, and none
// reads as an internal one.
void AccessTest::accessibilityTree_namesEveryControlThatTakesFocus()
{
    AccessiblePanel panel;
    panel.Feed("F0715550 M1 U \n");
    QStringList lines;
    DumpTree(QAccessible::queryAccessibleInterface(&panel.View()), 0, lines);
    qInfo().noquote() << "focusable objects (role in hex, name):\n" + lines.join(QLatin1Char('\n'));
    QVERIFY2(lines.size() >= 70, qPrintable(QString::number(lines.size())));
    for (const QString& line : lines) {
        QVERIFY2(!line.endsWith(QStringLiteral("\"\"")), qPrintable(line));
        QVERIFY2(!line.contains(QRegularExpression(QStringLiteral("control\\d"))), qPrintable(line));
    }
}

QTEST_MAIN(AccessTest)
#include "test_access.moc"
