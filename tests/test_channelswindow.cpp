// The Channels window, shown, driven by keys: editing in place with undo and
// save, recall as the channel list recalls, the row operations, an import
// taken whole or not at all, and the questions asked before edits are lost.
#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QTableView>
#include <QTimer>
#include <QUndoStack>
#include <QtTest>

#include "channeleditor/channeleditor.h"
#include "channeleditor/channelslotsmodel.h"
#include "channeleditor/channelswindow.h"
#include "channeleditor/slotfields.h"
#include "channels/channelfile.h"
#include "channels/channellist.h"
#include "panel/combocontrols.h"
#include "panel/tavrinview.h"
#include "res/resource.h"
#include "support/panelkit.h"
#include "support/samplefile.h"

namespace {

QByteArray FileBytes(const QString& name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The sample file (slots 0 to 3 stored) on a started panel, the Channels
// window opened by its menu item and active.
class ChannelsOnPanel : public ViewHarness {
public:
    ChannelsOnPanel() : ViewHarness(&SampleChannelFileOnce()), editor(View(), &radio, nullptr)
    {
        Start();
        Feed("H1 M1 A2 \n");  // Mic, USB, Slow
        TakeWrites();
        radio.actions().front()->trigger();
    }

    CChannelsWindow& Window() { return *editor.Window(); }
    QTableView& Table() { return *Window().Table(); }
    const CChannelSlotsModel& Model() { return static_cast<const CChannelSlotsModel&>(*ModelOf(Table())); }
    static const QAbstractItemModel* ModelOf(QTableView& table)
    {
        return static_cast<QAbstractProxyModel*>(table.model())->sourceModel();
    }
    SimpleCombo& List() { return *static_cast<SimpleCombo*>(View().Form().Combo(IDC_CHANNELS)); }

    // As a click on the cell: it becomes current, and its row the selection.
    void Select(int row, SlotColumn column = SlotColumn::Slot)
    {
        const QModelIndex cell = Table().model()->index(row, int(column));
        Table().selectionModel()->setCurrentIndex(cell, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }

    // F2, the text over what the cell held, Enter: as a user edits.
    void Type(int row, SlotColumn column, const QString& text)
    {
        Select(row, column);
        QTest::keyClick(&Table(), Qt::Key_F2);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), text);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_VERIFY(!Table().indexWidget(Table().currentIndex()));  // the editor commits queued
    }

    void Keys(QKeySequence::StandardKey key)
    {
        const QKeySequence sequence(key);
        QTest::keySequence(&Table(), sequence);
    }

    QString Shown(int slot, SlotColumn column) { return Model().index(slot, int(column)).data().toString(); }

    QMenu radio;
    CChannelEditor editor;
};

// Clicks a button of the next message box as soon as it is up.
void Answer(QMessageBox::StandardButton button)
{
    QTimer::singleShot(0, qApp, [button] {
        QTRY_VERIFY(qobject_cast<QMessageBox*>(QApplication::activeModalWidget()));
        qobject_cast<QMessageBox*>(QApplication::activeModalWidget())->button(button)->click();
    });
}

} // namespace

class TestChannelsWindow : public QObject {
    Q_OBJECT
private slots:
    void editUndoRedoAndSave_reachTheFileAndTheList();
    void textTheFileCannotHold_isRefusedWithAReason();
    void recallFromTheTable_sendsWhatADoubleClickInTheListSends_data();
    void recallFromTheTable_sendsWhatADoubleClickInTheListSends();
    void storeCurrent_putsWhatTheRadioReportsIntoTheSlot_data();
    void storeCurrent_putsWhatTheRadioReportsIntoTheSlot();
    void copyPasteCutAndClear_moveWholeRows();
    void import_isOneStepAndNothingWhenARowIsBad();
    void unsavedEdits_areAskedAboutOrLeftOutOfTheFile();
    void screenReader_hearsTheTableAndItsCells();
};

void TestChannelsWindow::editUndoRedoAndSave_reachTheFileAndTheList()
{
    ChannelsOnPanel h;
    QCOMPARE(h.radio.actions().front()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_L));
    QVERIFY(QTest::qWaitForWindowActive(&h.Window()));
    const QByteArray before = FileBytes("h350save.dat");
    const QByteArray line5 = h.List().ItemText(5);

    h.Type(5, SlotColumn::Frequency, "7155.5");
    h.Type(5, SlotColumn::Description, "Evening net");
    QCOMPARE(h.Shown(5, SlotColumn::Frequency), "7155.50");
    QCOMPARE(h.Shown(5, SlotColumn::Description), "Evening net");
    QCOMPARE(Shown(h.TakeWrites()), Shown({}));  // the Enter that ends an edit recalls nothing
    QVERIFY(h.Window().isWindowModified());
    QCOMPARE(h.List().ItemText(5), line5);  // nothing reaches the panel unsaved
    h.Keys(QKeySequence::Undo);
    h.Keys(QKeySequence::Undo);
    QCOMPARE(h.Shown(5, SlotColumn::Frequency), QString());  // never stored again
    QVERIFY(!h.Window().isWindowModified());
    h.Keys(QKeySequence::Redo);
    h.Keys(QKeySequence::Redo);
    QCOMPARE(h.Shown(5, SlotColumn::Description), "Evening net");
    h.Keys(QKeySequence::Save);

    QVERIFY(!h.Window().isWindowModified());
    QCOMPARE(h.List().ItemText(5), BuildChannelLine(5));
    QVERIFY(h.List().ItemText(5).startsWith(QByteArray("  5  7155.50 ") + '\0'));
    QVERIFY(FileBytes("h350save.dat").contains(QByteArray("  5  7155.50 \0 \0 \0 \0\r\nEvening net", 33)));
    QCOMPARE(FileBytes("h350save.bak"), before);
    QCOMPARE(h.Window().Status(), "Saved 1 slot to the channel file.");
}

void TestChannelsWindow::textTheFileCannotHold_isRefusedWithAReason()
{
    ChannelsOnPanel h;
    QVERIFY(QTest::qWaitForWindowActive(&h.Window()));
    h.Type(1, SlotColumn::Description, QString(30, QLatin1Char('x')));
    QCOMPARE(h.Window().Status(), "Slot 1, Description: the description has 30 characters; it holds at most 29. "
                                  "Nothing was changed.");
    QCOMPARE(h.Shown(1, SlotColumn::Description), "Net control");
    QVERIFY(!h.Window().isWindowModified());
    // The reason goes once an edit is taken.
    h.Type(1, SlotColumn::Description, QStringLiteral("Net"));
    QCOMPARE(h.Window().Status(), QString());
}

void TestChannelsWindow::storeCurrent_putsWhatTheRadioReportsIntoTheSlot_data()
{
    QTest::addColumn<QByteArray>("report");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("stored");  // the row's fields, "|" between them
    QTest::addColumn<QString>("said");
    QTest::newRow("USB, Slow, Mic, both off") << QByteArray("F0715550 M1 A2 H1 '0 \"0 \n") << 1
                                              << "7155.50|USB|Slow|Mic|Off/Off|Net control"
                                              << "Stored 7155.50 kHz, USB, Slow, Mic, Off/Off in slot 1.";
    QTest::newRow("LSB, Fast, Patch, both on") << QByteArray("F1425000 M2 A4 H3 '1 \"1 \n") << 2
                                               << "14250.00|LSB|Fast|Patch|On/On|Distress watch"
                                               << "Stored 14250.00 kHz, LSB, Fast, Patch, On/On in slot 2.";
    QTest::newRow("a never-stored slot") << QByteArray("F0350000 M4 A1 H2 '1 \"0 \n") << 7
                                         << "3500.00|CW|Off|Audio2|On/Off|" << "in slot 7.";
    QTest::newRow("local audio alone keeps the route") << QByteArray("F0700000 M1 A2 H1 '0 \"1 \n") << 1
                                                       << "7000.00|USB|Slow|Mic|On/On|Net control" << "has no letter";
    QTest::newRow("no frequency yet") << QByteArray() << 1 << "14250.00|USB|Fast|Mic|On/On|Net control"
                                      << "Nothing was stored: the radio has not reported a frequency yet.";
}

void TestChannelsWindow::storeCurrent_putsWhatTheRadioReportsIntoTheSlot()
{
    QFETCH(QByteArray, report);
    QFETCH(int, slot);
    QFETCH(QString, stored);
    QFETCH(QString, said);
    ChannelsOnPanel h;
    QVERIFY(QTest::qWaitForWindowActive(&h.Window()));
    h.Feed(report);
    h.TakeWrites();
    auto row = [&h, slot] {
        QStringList fields;
        for (SlotColumn column : {SlotColumn::Frequency, SlotColumn::Mode, SlotColumn::Agc, SlotColumn::Input,
                                  SlotColumn::Route, SlotColumn::Description})
            fields << h.Shown(slot, column);
        return fields.join(QLatin1Char('|'));
    };
    const QString before = row();
    h.Select(slot, SlotColumn::Mode);

    QTest::keyClick(&h.Table(), Qt::Key_T, Qt::ControlModifier);

    QCOMPARE(row(), stored);
    QVERIFY2(h.Window().Status().contains(said), qPrintable(h.Window().Status()));
    QCOMPARE(Shown(h.TakeWrites()), Shown({}));  // nothing goes to the radio
    auto& undo = const_cast<CChannelSlotsModel&>(h.Model()).UndoStack();
    QCOMPARE(undo.count(), report.isEmpty() ? 0 : 1);
    if (undo.canUndo())
        undo.undo();
    QCOMPARE(row(), before);
    QVERIFY(!h.Model().HasUnsavedEdits());
}

void TestChannelsWindow::recallFromTheTable_sendsWhatADoubleClickInTheListSends_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("slot");
    for (int slot : {0, 1, 2, 3, 7})
        QTest::addRow("slot %d", slot) << QString() << slot << slot;
    QTest::newRow("filtered: the row of slot 2") << "distress" << 0 << 2;
}

void TestChannelsWindow::recallFromTheTable_sendsWhatADoubleClickInTheListSends()
{
    QFETCH(QString, filter);
    QFETCH(int, row);
    QFETCH(int, slot);
    QByteArrayList fromList;
    {
        ChannelsOnPanel h;
        h.List().SetCurSel(slot);
        emit h.List().doubleClicked();
        fromList = h.TakeWrites();
    }
    ChannelsOnPanel h;
    QVERIFY(QTest::qWaitForWindowActive(&h.Window()));
    h.Window().findChild<QLineEdit*>("filter")->setText(filter);
    h.Select(row);
    QTest::keyClick(&h.Table(), Qt::Key_Return);
    QCOMPARE(Shown(h.TakeWrites()), Shown(fromList));
    QCOMPARE(g_nSelChannel, slot);
    QCOMPARE(h.View().m_cbChannels.GetCurSel(), slot);

    // A slot edited and not saved holds other values than the radio would get.
    h.Type(row, SlotColumn::Frequency, "3650");
    QTest::keyClick(&h.Table(), Qt::Key_Return);
    QCOMPARE(Shown(h.TakeWrites()), Shown({}));
    QVERIFY(h.Window().Status().contains("not saved"));
}

void TestChannelsWindow::copyPasteCutAndClear_moveWholeRows()
{
    ChannelsOnPanel h;
    QVERIFY(QTest::qWaitForWindowActive(&h.Window()));
    h.Select(1);
    h.Keys(QKeySequence::Copy);
    QCOMPARE(QApplication::clipboard()->text(), "1,14250.00,USB,Fast,Mic,L,Net control\r\n");
    h.Select(10);
    h.Keys(QKeySequence::Paste);
    QVERIFY2(h.Model().Slots()[10] == h.Model().Slots()[1], qPrintable(h.Window().Status()));
    h.Select(2);
    h.Table().selectionModel()->select(h.Table().model()->index(3, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    h.Keys(QKeySequence::Cut);
    QVERIFY(IsNeverStored(h.Model().Slots()[2]) && IsNeverStored(h.Model().Slots()[3]));
    h.Select(298);
    h.Keys(QKeySequence::Paste);  // two rows fit from 298 on, not from 299
    QCOMPARE(h.Shown(299, SlotColumn::Description), "WWV time signal");
    h.Select(299);
    h.Keys(QKeySequence::Paste);
    QCOMPARE(h.Window().Status(), "2 rows from slot 299 on would run past slot 299. Nothing was pasted.");
    h.Select(10);
    h.Keys(QKeySequence::Delete);
    QVERIFY(IsNeverStored(h.Model().Slots()[10]));
    auto& undo = const_cast<CChannelSlotsModel&>(h.Model()).UndoStack();
    QCOMPARE(undo.count(), 4);
    while (undo.canUndo())
        undo.undo();
    QVERIFY(!h.Model().HasUnsavedEdits());
}

void TestChannelsWindow::import_isOneStepAndNothingWhenARowIsBad()
{
    ChannelsOnPanel h;
    QFile bad(h.Dir() + "/bad.csv");
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("Slot,Frequency kHz,Mode,AGC,Input,Route,Description\n20,7100,LSB,Slow,Mic,R,ok\n21,7100,FM,,,,\n22,,USB,,,,\n");
    bad.close();
    Answer(QMessageBox::Ok);
    h.Window().Import(bad.fileName());
    QCOMPARE(h.Window().Status(), "bad.csv was not imported: 2 rows are bad. Nothing was changed.");
    QVERIFY(!h.Model().HasUnsavedEdits());

    QFile good(h.Dir() + "/good.csv");
    QVERIFY(good.open(QIODevice::WriteOnly));
    good.write("20,7100,LSB,Slow,Mic,R,a\n21,3650,lsb,off,patch,t,b\n1,,,,,,\n");
    good.close();
    h.Window().Import(good.fileName());
    QCOMPARE(h.Model().EditedSlots(), QList<int>({1, 20, 21}));
    const_cast<CChannelSlotsModel&>(h.Model()).UndoStack().undo();
    QVERIFY(!h.Model().HasUnsavedEdits());
}

void TestChannelsWindow::unsavedEdits_areAskedAboutOrLeftOutOfTheFile()
{
    ChannelsOnPanel h;
    QVERIFY(QTest::qWaitForWindowActive(&h.Window()));
    h.Type(1, SlotColumn::Frequency, "14300");
    Answer(QMessageBox::Cancel);
    QVERIFY(!h.Window().close());
    QVERIFY(h.Model().IsEdited(1));
    Answer(QMessageBox::Discard);
    QVERIFY(h.Window().close());
    QVERIFY(!h.Model().HasUnsavedEdits());

    h.radio.actions().front()->trigger();
    QVERIFY(QTest::qWaitForWindowActive(&h.Window()));
    h.Type(1, SlotColumn::Frequency, "14300");
    Answer(QMessageBox::Save);
    QVERIFY(h.editor.MayClose());
    QCOMPARE(g_dChanFreq[1], 14300.0);

    // The panel closing by itself (a signal) asks nothing: the file keeps
    // what it held.
    h.radio.actions().front()->trigger();
    QVERIFY(QTest::qWaitForWindowActive(&h.Window()));
    h.Type(2, SlotColumn::Frequency, "2187.5");
    h.View().DestroyWindow();
    QCOMPARE(g_dChanFreq[2], 2182.0);
    QVERIFY(!h.Model().HasUnsavedEdits());
    QVERIFY(!h.Window().isVisible());
}

void TestChannelsWindow::screenReader_hearsTheTableAndItsCells()
{
    ChannelsOnPanel h;
    QAccessibleInterface* table = QAccessible::queryAccessibleInterface(&h.Table());
    QCOMPARE(table->text(QAccessible::Name), "Channels");
    QAccessibleInterface* route = table->tableInterface()->cellAt(1, int(SlotColumn::Route));
    QCOMPARE(route->text(QAccessible::Name), "Ext PTT on, local audio on");
    QCOMPARE(table->tableInterface()->cellAt(0, int(SlotColumn::Frequency))->text(QAccessible::Name), "7035.25 kHz");
    QCOMPARE(h.Window().findChild<QLineEdit*>("filter")->accessibleName(), "Filter channels");
}

QTEST_MAIN(TestChannelsWindow)
#include "test_channelswindow.moc"
