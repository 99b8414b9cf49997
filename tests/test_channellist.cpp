// The channel list: storing a line typed into the list's edit field, and
// recalling a slot by double-click or from the keyboard, with the exact
// commands and their order.
#include <QAbstractButton>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QtTest>
#include <cstring>

#include "channels/channellist.h"
#include "channels/channeltable.h"
#include "channels/recallkeys.h"
#include "link/reportedstate.h"
#include "panel/combocontrols.h"
#include "panel/modeagcstate.h"
#include "panel/tavrinview.h"
#include "panel/tuningstate.h"
#include "res/resource.h"
#include "support/samplefile.h"
#include "support/panelkit.h"

namespace {

// Mic, USB, Slow: what the radio reports before each recall below.
const QByteArray kReport = "H1 M1 A2 \n";
const QByteArray kDirectReport = "H1 M1 A2 G00 \n";

// A panel started on the sample file (slots 0 to 3 stored, the rest never
// stored), with the start-up queries taken off the line.
class SamplePanel : public ViewHarness {
public:
    SamplePanel() : ViewHarness(&SampleChannelFileOnce())
    {
        Start();
        TakeWrites();
    }

    SimpleCombo& Channels() { return *static_cast<SimpleCombo*>(View().Form().Combo(IDC_CHANNELS)); }

    void TypeLine(const QByteArray& line) { Channels().EditField()->setText(ToWidgetText(line)); }

    void PressSave() { QTest::mouseClick(View().Form().Button(IDC_SAVE_CHANNEL), Qt::LeftButton); }

    void Save(const QByteArray& line)
    {
        TypeLine(line);
        PressSave();
    }

    // The line exactly as the list shows it once its row is selected.
    QByteArray ShownLine(int row)
    {
        View().m_cbChannels.SetCurSel(row);
        return View().m_cbChannels.GetWindowText();
    }

    void Recall(int row)
    {
        View().m_cbChannels.SetCurSel(row);
        View().OnDblClkChannels();
    }
};


QByteArray Description(int slot) { return QByteArray(g_chChanDesc[slot], kDescLength); }

QByteArray Letters(int slot)
{
    return QByteArray() + g_chChanMode[slot] + g_chChanAgc[slot] + g_chChanInput[slot] + g_chChanRoute[slot];
}

// 29 characters and the line feed, as a stored description is held.
QByteArray Padded(const QByteArray& text) { return text.leftJustified(kDescLength - 1, ' ') + '\n'; }

QByteArray ReadFile(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray ChannelFile() { return ReadFile(QStringLiteral("h350save.dat")); }

// Every byte of the table, so "nothing stored" can be checked whole.
QByteArray TableBytes()
{
    QByteArray bytes(reinterpret_cast<const char*>(g_dChanFreq), sizeof g_dChanFreq);
    bytes.append(g_chChanMode, sizeof g_chChanMode);
    bytes.append(g_chChanAgc, sizeof g_chChanAgc);
    bytes.append(g_chChanInput, sizeof g_chChanInput);
    bytes.append(g_chChanRoute, sizeof g_chChanRoute);
    bytes.append(&g_chChanDesc[0][0], sizeof g_chChanDesc);
    return bytes;
}

QByteArrayList ListItems(const SimpleCombo& list)
{
    QByteArrayList items;
    for (int i = 0; i < list.Count(); ++i)
        items << list.ItemText(i);
    return items;
}

void MakeFileOld()
{
    QFile file(QStringLiteral("h350save.dat"));
    file.open(QIODevice::ReadWrite);
    file.setFileTime(QDateTime(QDate(2001, 1, 1), QTime(12, 0)), QFileDevice::FileModificationTime);
}

QDateTime FileTime() { return QFileInfo(QStringLiteral("h350save.dat")).lastModified(); }

// Chooses "Recall" in the context menu the event opens, as Enter on it would.
void RecallFromContextMenu(QWidget* receiver, QContextMenuEvent::Reason reason, const QPoint& at)
{
    QTimer::singleShot(0, [] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu)
            return;
        menu->setActiveAction(menu->actions().value(0));
        QTest::keyClick(menu, Qt::Key_Return);
    });
    QContextMenuEvent event(reason, at, receiver->mapToGlobal(at));
    QApplication::sendEvent(receiver, &event);
}

} // namespace

class ChannelListTest : public QObject {
    Q_OBJECT
private slots:
    void savingALine_storesFromColumn23AndRewritesFile_data();
    void savingALine_storesFromColumn23AndRewritesFile();
    void savingOnlyNumberAndFrequency_keepsLettersAndBlanksDescription();
    void savingALineTakenFromTheList_rewritesAnIdenticalFile();
    void savingWithoutAChannelNumberInTheTable_storesNothingAndSaysSo_data();
    void savingWithoutAChannelNumberInTheTable_storesNothingAndSaysSo();
    void savedLineRecalledFromTheList_sendsItsSettingsInOrder_data();
    void savedLineRecalledFromTheList_sendsItsSettingsInOrder();
    void recallingANeverStoredSlot_sendsLastWantedModeAgcAndZeroFrequency_data();
    void recallingANeverStoredSlot_sendsLastWantedModeAgcAndZeroFrequency();
    void doubleClickOnAnIndexOutsideTheTable_recallsNothing_data();
    void doubleClickOnAnIndexOutsideTheTable_recallsNothing();
    void doubleClickDuringAScan_stopsItThereWithTheButtonStillPushed();
    void realDoubleClickOnAListRow_recallsThatChannel();
    void singleClickOnAListRow_onlyShowsItsLine();
    void keyboardRecall_sendsWhatADoubleClickSends_data();
    void keyboardRecall_sendsWhatADoubleClickSends();
};

void ChannelListTest::savingALine_storesFromColumn23AndRewritesFile_data()
{
    QTest::addColumn<QByteArray>("typed");
    QTest::addColumn<double>("frequency");
    QTest::addColumn<QByteArray>("letters");
    QTest::addColumn<QByteArray>("description");
    QTest::addColumn<QByteArray>("listPrefix");
    QTest::addColumn<QByteArray>("recordPrefix");

    QTest::newRow("full-width frequency") << QByteArray("  5 14250.00 U F M L - Net") << 14250.0
                                          << QByteArray("UFML") << QByteArray("Net")
                                          << QByteArray("  5 14250.00 U F M L - ")
                                          << QByteArray("  5 14250.00 U F M L");
    QTest::newRow("narrow frequency shifts the text left") << QByteArray("  5 7100.00 L S M R - Net") << 7100.0
                                                           << QByteArray("LSMR") << QByteArray("et")
                                                           << QByteArray("  5  7100.00 L S M R - ")
                                                           << QByteArray("  5  7100.00 L S M R");
    QTest::newRow("narrow frequency padded to the field") << QByteArray("  5  7100.00 L S M R - Net") << 7100.0
                                                          << QByteArray("LSMR") << QByteArray("Net")
                                                          << QByteArray("  5  7100.00 L S M R - ")
                                                          << QByteArray("  5  7100.00 L S M R");
    QTest::newRow("description longer than 29 is cut")
        << QByteArray("  5 10000.00 A M P T - 0123456789abcdefghijklmnopqrstuvwxyz") << 10000.0
        << QByteArray("AMPT") << QByteArray("0123456789abcdefghijklmnopqrs")
        << QByteArray("  5 10000.00 A M P T - ") << QByteArray("  5 10000.00 A M P T");
    QTest::newRow("description keeps inner and leading blanks")
        << QByteArray("  5  2182.00 U S M T -   Distress  watch") << 2182.0 << QByteArray("USMT")
        << QByteArray("  Distress  watch") << QByteArray("  5  2182.00 U S M T - ")
        << QByteArray("  5  2182.00 U S M T");
}

void ChannelListTest::savingALine_storesFromColumn23AndRewritesFile()
{
    QFETCH(QByteArray, typed);
    QFETCH(double, frequency);
    QFETCH(QByteArray, letters);
    QFETCH(QByteArray, description);
    QFETCH(QByteArray, listPrefix);
    QFETCH(QByteArray, recordPrefix);
    SamplePanel h;
    const QByteArray item4 = h.Channels().ItemText(4);
    const QByteArray item6 = h.Channels().ItemText(6);
    MakeFileOld();
    const QDateTime before = FileTime();

    h.Save(typed);

    QCOMPARE(g_dChanFreq[5], frequency);
    QCOMPARE(Letters(5), letters);
    QCOMPARE(Description(5), Padded(description));
    QCOMPARE(h.Channels().Count(), kChannelCount);
    QCOMPARE(h.Channels().ItemText(5), listPrefix + Padded(description));
    QCOMPARE(h.Channels().ItemText(4), item4);
    QCOMPARE(h.Channels().ItemText(6), item6);
    QCOMPARE(h.View().m_cbChannels.GetCurSel(), -1); // the new line is not selected
    QCOMPARE(g_nSelChannel, 5);
    QVERIFY(FileTime() > before);
    const QByteArray record = recordPrefix + "\r\n" + Padded(description).chopped(1) + "\r\n";
    QVERIFY2(ChannelFile().contains(record), record.constData());
    QCOMPARE(Shown(h.TakeWrites()), Shown({})); // saving does not retune
    QVERIFY(h.messages.isEmpty());
}

void ChannelListTest::savingOnlyNumberAndFrequency_keepsLettersAndBlanksDescription()
{
    SamplePanel h;
    h.Save(" 12  3500.00 C O P T - Old description");

    h.Save("12 7100");

    QCOMPARE(g_dChanFreq[12], 7100.0);
    QCOMPARE(Letters(12), QByteArray("COPT"));
    QCOMPARE(Description(12), Padded(""));
    QCOMPARE(h.Channels().ItemText(12), " 12  7100.00 C O P T - " + Padded(""));
    QCOMPARE(g_nSelChannel, 12);
    QVERIFY(ChannelFile().contains(" 12  7100.00 C O P T\r\n" + QByteArray(29, ' ') + "\r\n"));
}

void ChannelListTest::savingALineTakenFromTheList_rewritesAnIdenticalFile()
{
    SamplePanel h;
    h.View().SaveChannelFile();
    const QByteArray baseline = ChannelFile();
    QVERIFY(baseline.contains("  1 14250.00 U F M L\r\nNet control"));
    for (int slot : {0, 1, 2, 3}) {
        const QByteArray table = TableBytes();
        const QByteArray line = h.ShownLine(slot);
        QVERIFY(QFile::remove(QStringLiteral("h350save.dat")));

        h.Save(line);

        QCOMPARE(TableBytes(), table);
        QCOMPARE(g_nSelChannel, slot);
        QCOMPARE(ChannelFile(), baseline);
    }
    QVERIFY(h.messages.isEmpty());
}

void ChannelListTest::savingWithoutAChannelNumberInTheTable_storesNothingAndSaysSo_data()
{
    QTest::addColumn<QByteArray>("typed");
    QTest::newRow("empty field") << QByteArray();
    QTest::newRow("blanks only") << QByteArray("     ");
    QTest::newRow("text first") << QByteArray("Net control");
    QTest::newRow("separator first") << QByteArray(" - 5 14250.00 U F M L");
    QTest::newRow("number 300") << QByteArray("300 14250.00 U F M L - Net");
    QTest::newRow("number -1") << QByteArray(" -1 14250.00 U F M L - Net");
    QTest::newRow("number 1000") << QByteArray("1000 7100.00 L S M R - Net");
}

void ChannelListTest::savingWithoutAChannelNumberInTheTable_storesNothingAndSaysSo()
{
    QFETCH(QByteArray, typed);
    SamplePanel h;
    g_nSelChannel = 2;
    const QByteArray table = TableBytes();
    const QByteArrayList items = ListItems(h.Channels());
    MakeFileOld();
    const QDateTime before = FileTime();
    const QByteArray file = ChannelFile();

    h.Save(typed);

    QCOMPARE(h.messages.size(), 1);
    QVERIFY2(h.messages.first().startsWith(QStringLiteral("Save Chnl:")), qPrintable(h.messages.first()));
    QVERIFY(TableBytes() == table);
    QVERIFY(ListItems(h.Channels()) == items);
    QCOMPARE(g_nSelChannel, 2);
    QCOMPARE(ChannelFile(), file);
    QCOMPARE(FileTime(), before);
    QCOMPARE(Shown(h.TakeWrites()), Shown({}));
}

void ChannelListTest::savedLineRecalledFromTheList_sendsItsSettingsInOrder_data()
{
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<QByteArray>("typed");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QByteArrayList>("sent");

    // Step mode: audio input steps, Ext PTT, local audio, AGC steps, mode steps, frequency.
    QTest::newRow("step: Patch, L, Fast, USB")
        << kReport << QByteArray("  7 14250.00 U F P L - Net control") << 7
        << QByteArrayList{"H\nH\n", "'1\n", "\"1\n", "A\nA\n", "F1425000\n"};
    QTest::newRow("step: Audio2, T, Medium, CW")
        << kReport << QByteArray("  8  7100.50 C M A T - Night") << 8
        << QByteArrayList{"H\n", "'1\n", "\"0\n", "A\n", "M\nM\nM\n", "F0710050\n"};
    QTest::newRow("step: Mic, R, Off, LSB")
        << kReport << QByteArray("  9  3500.00 L O M R - Ragchew") << 9
        << QByteArrayList{"'0\n", "\"0\n", "M\n", "F0350000\n"};
    QTest::newRow("step: letters recall ignores")
        << kReport << QByteArray("  9  3500.00 x y z q - Odd") << 9 << QByteArrayList{"F0350000\n"};
    QTest::newRow("step: slot 299") << kReport << QByteArray("299 29999.99 A S A R - Top") << 299
                                    << QByteArrayList{"H\n", "'0\n", "\"0\n", "M\nM\n", "F2999999\n"};

    // Direct mode: AGC and mode as one value write, before the frequency.
    QTest::newRow("direct: CW and Slow")
        << kDirectReport << QByteArray("  8  7100.50 C S A T - x") << 8
        << QByteArrayList{"H\n", "'1\n", "\"0\n", "A2\nM4\n", "F0710050\n"};
    QTest::newRow("direct: USB and Fast")
        << kDirectReport << QByteArray("  7 14250.00 U F M L - y") << 7
        << QByteArrayList{"'1\n", "\"1\n", "A4\nM1\n", "F1425000\n"};
    QTest::newRow("direct: LSB and Off")
        << kDirectReport << QByteArray("  9  3500.00 L O P R - z") << 9
        << QByteArrayList{"H\nH\n", "'0\n", "\"0\n", "A1\nM2\n", "F0350000\n"};
    QTest::newRow("direct: AM and Medium")
        << kDirectReport << QByteArray("  0   475.00 A M M T - MF") << 0
        << QByteArrayList{"'1\n", "\"0\n", "A3\nM3\n", "F0047500\n"};
}

void ChannelListTest::savedLineRecalledFromTheList_sendsItsSettingsInOrder()
{
    QFETCH(QByteArray, report);
    QFETCH(QByteArray, typed);
    QFETCH(int, slot);
    QFETCH(QByteArrayList, sent);
    SamplePanel h;
    h.Feed(report);
    h.Save(typed);
    const QByteArray table = TableBytes();

    h.Save(h.ShownLine(slot));
    QCOMPARE(TableBytes(), table); // the shown line stores what it shows
    QCOMPARE(Shown(h.TakeWrites()), Shown({}));

    h.Recall(slot);

    QCOMPARE(g_nSelChannel, slot);
    QCOMPARE(Shown(h.TakeWrites()), Shown(sent));
}

void ChannelListTest::recallingANeverStoredSlot_sendsLastWantedModeAgcAndZeroFrequency_data()
{
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<int>("wantedMode"); // list index, -1 for never chosen
    QTest::addColumn<int>("wantedAgc");
    QTest::addColumn<QByteArrayList>("sent");

    QTest::newRow("step: CW and Fast wanted")
        << kReport << 3 << 3 << QByteArrayList{"A\nA\n", "M\nM\nM\n", "F0000000\n"};
    QTest::newRow("step: nothing wanted") << kReport << -1 << -1 << QByteArrayList{"F0000000\n"};
    QTest::newRow("direct: CW and Fast wanted") << kDirectReport << 3 << 3
                                                << QByteArrayList{"A4\nM4\n", "F0000000\n"};
    QTest::newRow("direct: only mode wanted") << kDirectReport << 1 << -1
                                              << QByteArrayList{"M2\n", "F0000000\n"};
    QTest::newRow("direct: only AGC wanted") << kDirectReport << -1 << 0
                                             << QByteArrayList{"A1\n", "F0000000\n"};
    QTest::newRow("direct: nothing wanted") << kDirectReport << -1 << -1 << QByteArrayList{"F0000000\n"};
}

void ChannelListTest::recallingANeverStoredSlot_sendsLastWantedModeAgcAndZeroFrequency()
{
    QFETCH(QByteArray, report);
    QFETCH(int, wantedMode);
    QFETCH(int, wantedAgc);
    QFETCH(QByteArrayList, sent);
    SamplePanel h;
    CTavrinView& view = h.View();
    h.Feed(report);
    if (wantedMode >= 0) {
        view.m_cbMode.SetCurSel(wantedMode);
        view.OnCloseUpMode();
    }
    if (wantedAgc >= 0) {
        view.m_cbAgc.SetCurSel(wantedAgc);
        view.OnCloseUpAgc();
    }
    h.TakeWrites();

    h.Recall(12);

    QCOMPARE(Shown(h.TakeWrites()), Shown(sent));
}

void ChannelListTest::doubleClickOnAnIndexOutsideTheTable_recallsNothing_data()
{
    QTest::addColumn<int>("row");
    QTest::newRow("no selection") << -1;
    QTest::newRow("a row past slot 299") << 300;
}

void ChannelListTest::doubleClickOnAnIndexOutsideTheTable_recallsNothing()
{
    QFETCH(int, row);
    SamplePanel h;
    h.Feed(kReport);
    h.View().m_cbChannels.InsertString(300, "300 14250.00 U F M L - beyond the table\n");
    h.TakeWrites();

    h.Recall(row);

    QCOMPARE(h.View().m_cbChannels.GetCurSel(), row);
    QCOMPARE(Shown(h.TakeWrites()), Shown({}));
}

void ChannelListTest::doubleClickDuringAScan_stopsItThereWithTheButtonStillPushed()
{
    SamplePanel h;
    h.Feed(kReport);
    CTavrinView& view = h.View();
    QTest::mouseClick(view.Form().Button(IDC_CHAN_SCAN), Qt::LeftButton);
    view.OnTimer(2);
    h.TakeWrites();

    h.Recall(3);

    QCOMPARE(g_bChanScan, BYTE(0));
    QVERIFY(view.m_btnChanScan.GetState());
    QCOMPARE(view.m_nJog, -1);
    QCOMPARE(g_nSelChannel, 3);
    QCOMPARE(Shown(h.TakeWrites()), Shown({"H\nH\n", "'0\n", "\"0\n", "A\n", "M\nM\n", "F1000000\n"}));
    view.OnTimer(2);
    QCOMPARE(Shown(h.TakeWrites()), Shown({}));
    QCOMPARE(g_nSelChannel, 3);
}

void ChannelListTest::realDoubleClickOnAListRow_recallsThatChannel()
{
    SamplePanel h;
    h.Feed(kReport);
    h.TakeWrites();
    h.View().show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.View()));
    QListWidget* list = h.Channels().List();
    list->scrollToItem(list->item(3));
    const QPoint centre = list->visualItemRect(list->item(3)).center();

    // A real double-click: the first press and release, then the double-click
    // event and its release, as the window system delivers them.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, centre);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, centre);

    QCOMPARE(h.View().m_cbChannels.GetCurSel(), 3);
    QCOMPARE(g_nSelChannel, 3);
    QCOMPARE(Shown(h.TakeWrites()), Shown({"H\nH\n", "'0\n", "\"0\n", "A\n", "M\nM\n", "F1000000\n"}));
}

void ChannelListTest::singleClickOnAListRow_onlyShowsItsLine()
{
    SamplePanel h;
    h.Feed(kReport);
    h.TakeWrites();
    h.View().show();
    QVERIFY(QTest::qWaitForWindowExposed(&h.View()));
    QListWidget* list = h.Channels().List();
    const QPoint centre = list->visualItemRect(list->item(1)).center();

    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, centre);

    QCOMPARE(h.View().m_cbChannels.GetWindowText(), QByteArray("  1 14250.00 U F M L - Net control") + QByteArray(18, ' '));
    QCOMPARE(g_nSelChannel, 0);
    QCOMPARE(Shown(h.TakeWrites()), Shown({}));
}

void ChannelListTest::keyboardRecall_sendsWhatADoubleClickSends_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<int>("row");
    QTest::addColumn<QByteArrayList>("sent");
    // The sample file's slot 3 is 10000 kHz, AM, Medium, Patch, R; slot 1 is
    // 14250 kHz, USB, Fast, Mic, L. The radio reports Mic, USB, Slow.
    const QByteArrayList slot3 = {"H\nH\n", "'0\n", "\"0\n", "A\n", "M\nM\n", "F1000000\n"};
    const QByteArrayList slot1 = {"'1\n", "\"1\n", "A\nA\n", "F1425000\n"};
    QTest::newRow("Return") << "Return" << 3 << slot3;
    QTest::newRow("keypad Enter") << "Enter" << 1 << slot1;
    QTest::newRow("context menu from a right-click") << "right-click" << 3 << slot3;
    QTest::newRow("context menu from the Menu key") << "Menu key" << 1 << slot1;
    QTest::newRow("Return with no line selected") << "Return" << -1 << QByteArrayList();
}

void ChannelListTest::keyboardRecall_sendsWhatADoubleClickSends()
{
    QFETCH(QString, way);
    QFETCH(int, row);
    QFETCH(QByteArrayList, sent);
    SamplePanel h;
    new CRecallKeys(h.View());
    h.Feed(kReport);
    h.TakeWrites();
    QListWidget* list = h.Channels().List();
    list->setCurrentRow(row);
    // The right-click lands on the row's line whatever line the keys are on.
    const QPoint onRow = list->visualItemRect(list->item(3)).center();
    if (way == QStringLiteral("right-click"))
        list->setCurrentRow(0);

    if (way == QStringLiteral("Return"))
        QTest::keyClick(list, Qt::Key_Return);
    else if (way == QStringLiteral("Enter"))
        QTest::keyClick(list, Qt::Key_Enter, Qt::KeypadModifier);
    else if (way == QStringLiteral("right-click"))
        RecallFromContextMenu(list->viewport(), QContextMenuEvent::Mouse, onRow);
    else
        RecallFromContextMenu(list, QContextMenuEvent::Keyboard, QPoint(1, 1));

    QCOMPARE(Shown(h.TakeWrites()), Shown(sent));
    QCOMPARE(g_nSelChannel, row < 0 ? 0 : row);
}

QTEST_MAIN(ChannelListTest)
#include "test_channellist.moc"
