#include "channeleditor/channelswindow.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QUndoStack>
#include <QVBoxLayout>
#include <algorithm>

#include "channeleditor/channelcsv.h"
#include "channeleditor/channelseam.h"
#include "channeleditor/channelslotsmodel.h"
#include "channeleditor/csvfile.h"
#include "channeleditor/painttimer.h"
#include "channeleditor/slotdelegate.h"
#include "channeleditor/slotedits.h"
#include "channeleditor/slotfields.h"

namespace {

QString Rows(int count) { return count == 1 ? QStringLiteral("1 row") : QStringLiteral("%1 rows").arg(count); }
QString Slots(int count) { return count == 1 ? QStringLiteral("1 slot") : QStringLiteral("%1 slots").arg(count); }

// Wide enough for the longest text a column shows, and its caption.
int ColumnWidth(const QFontMetrics& metrics, SlotColumn column)
{
    const char* widest[] = {"299", "99999.99", "USB", "Medium", "Audio2", "Off/Off", "Wwwwwwwwwwwwwwwwwwwwwww"};
    const int text = metrics.horizontalAdvance(QLatin1String(widest[int(column)]));
    return std::max(text, metrics.horizontalAdvance(ColumnCaption(column))) + 3 * metrics.averageCharWidth();
}

// The slot with the radio's values; a setting the radio has not reported
// keeps the slot's own, and is named in `kept`.
ChannelSlot WithReported(const ChannelSlot& slot, const ChannelSlot& now, QStringList& kept)
{
    ChannelSlot value = StoredFrom(slot);
    value.freq = now.freq;
    const std::pair<char ChannelSlot::*, char> letters[] = {
        {&ChannelSlot::mode, now.mode}, {&ChannelSlot::agc, now.agc}, {&ChannelSlot::input, now.input}};
    const char* names[] = {"the mode", "the AGC", "the audio input"};
    for (int i = 0; i < 3; ++i) {
        if (letters[i].second)
            value.*letters[i].first = letters[i].second;
        else
            kept << QLatin1String(names[i]);
    }
    if (now.route)
        value.route = now.route;
    return value;
}

// "7150.00 kHz, LSB, Slow, Mic, Off/Off", as the table shows them.
QString ShownFields(int slot, const ChannelSlot& value)
{
    QStringList shown;
    for (SlotColumn column : {SlotColumn::Frequency, SlotColumn::Mode, SlotColumn::Agc, SlotColumn::Input, SlotColumn::Route})
        shown << FieldText(slot, value, column, FieldUse::Shown);
    shown.removeAll(QString());
    shown.front() += QStringLiteral(" kHz");
    return shown.join(QStringLiteral(", "));
}

} // namespace

CChannelsWindow::CChannelsWindow(CChannelSlotsModel& model, CChannelSeam& seam, QWidget* owner)
    : QWidget(owner, Qt::Window), m_model(model), m_seam(seam),
      m_filtered(new QSortFilterProxyModel(this)), m_table(new QTableView(this)), m_status(new QLabel(this))
{
    setWindowTitle(QStringLiteral("Channels[*]"));
    setObjectName(QStringLiteral("channelsWindow"));
    auto* layout = new QVBoxLayout(this);
    auto* bar = new QMenuBar(this);
    layout->setMenuBar(bar);
    layout->addWidget(BuildFilter());
    BuildTable();
    layout->addWidget(m_table, 1);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setAccessibleName(QStringLiteral("Channels window status"));
    m_status->setWordWrap(true);
    layout->addWidget(m_status);
    layout->addWidget(BuildButtons());
    BuildMenus(bar);
    connect(&m_model, &CChannelSlotsModel::Refused, this, &CChannelsWindow::Say);
    // A refusal stays only until an edit goes in.
    connect(&m_model, &CChannelSlotsModel::Accepted, this, [this] { Say(QString()); });
    connect(&m_model, &CChannelSlotsModel::EditsChanged, this, &CChannelsWindow::ShowEdited);
    resize(m_table->horizontalHeader()->length() + 60, 560);
}

QWidget* CChannelsWindow::BuildFilter()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* label = new QLabel(QStringLiteral("&Filter:"), row);
    m_filter = new QLineEdit(row);
    m_filter->setObjectName(QStringLiteral("filter"));
    m_filter->setAccessibleName(QStringLiteral("Filter channels"));
    m_filter->setPlaceholderText(QStringLiteral("Text in any column"));
    m_filter->setClearButtonEnabled(true);
    label->setBuddy(m_filter);
    layout->addWidget(label);
    layout->addWidget(m_filter, 1);
    connect(m_filter, &QLineEdit::textChanged, m_filtered, &QSortFilterProxyModel::setFilterFixedString);
    return row;
}

// Double-click and Enter recall, as in the channel list, so a cell is
// edited with F2 or by typing over it.
void CChannelsWindow::BuildTable()
{
    m_filtered->setSourceModel(&m_model);
    m_filtered->setFilterKeyColumn(-1);
    m_filtered->setFilterCaseSensitivity(Qt::CaseInsensitive);
    m_table->setObjectName(QStringLiteral("slots"));
    m_table->setAccessibleName(QStringLiteral("Channels"));
    m_table->setAccessibleDescription(QStringLiteral("Enter or double-click recalls a channel; F2 edits a cell."));
    m_table->setModel(m_filtered);
    m_table->setItemDelegate(new CSlotDelegate(m_table));
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    m_table->setTabKeyNavigation(false);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    for (int column = 0; column < kSlotColumnCount; ++column)
        m_table->setColumnWidth(column, ColumnWidth(m_table->fontMetrics(), ColumnAt(column)));
    m_table->horizontalHeader()->setStretchLastSection(true);
    connect(m_table, &QAbstractItemView::activated, this, &CChannelsWindow::OnActivated);
    // A reader arriving by keyboard lands on a cell, not on nothing.
    m_table->setCurrentIndex(m_filtered->index(0, 0));
}

QWidget* CChannelsWindow::BuildButtons()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* store = new QPushButton(QStringLiteral("S&tore current"), row);
    store->setObjectName(QStringLiteral("storeCurrent"));
    store->setToolTip(QStringLiteral("Puts the radio's frequency, mode, AGC, audio input and Ext PTT/local audio "
                                     "into the selected slot (Ctrl+T)"));
    auto* import = new QPushButton(QStringLiteral("&Import..."), row);
    auto* exportStored = new QPushButton(QStringLiteral("E&xport..."), row);
    auto* save = new QPushButton(QStringLiteral("&Save"), row);
    auto* close = new QPushButton(QStringLiteral("Close"), row);
    for (QPushButton* button : {store, import, exportStored, save, close})
        button->setAutoDefault(false);
    layout->addWidget(store);
    layout->addWidget(import);
    layout->addWidget(exportStored);
    layout->addStretch(1);
    layout->addWidget(save);
    layout->addWidget(close);
    connect(store, &QPushButton::clicked, this, &CChannelsWindow::StoreCurrent);
    connect(import, &QPushButton::clicked, this, &CChannelsWindow::OnImport);
    connect(exportStored, &QPushButton::clicked, this, [this] { OnExport(false); });
    connect(save, &QPushButton::clicked, this, &CChannelsWindow::Save);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    return row;
}

void CChannelsWindow::BuildMenus(QMenuBar* bar)
{
    BuildFileMenu(bar->addMenu(QStringLiteral("&File")));
    BuildEditMenu(bar->addMenu(QStringLiteral("&Edit")));
    QMenu* channel = bar->addMenu(QStringLiteral("C&hannel"));
    channel->addAction(QStringLiteral("&Recall"), this, [this] { OnActivated(m_table->currentIndex()); });
    channel->addAction(QStringLiteral("S&tore current"), QKeySequence(Qt::CTRL | Qt::Key_T), this,
                       &CChannelsWindow::StoreCurrent);
}

void CChannelsWindow::BuildFileMenu(QMenu* file)
{
    file->addAction(QStringLiteral("&Save"), QKeySequence::Save, this, &CChannelsWindow::Save);
    file->addAction(QStringLiteral("&Import..."), QKeySequence(Qt::CTRL | Qt::Key_I), this, &CChannelsWindow::OnImport);
    file->addAction(QStringLiteral("&Export Stored Slots..."), QKeySequence(Qt::CTRL | Qt::Key_E), this,
                    [this] { OnExport(false); });
    file->addAction(QStringLiteral("Export &All 300 Slots..."), this, [this] { OnExport(true); });
    file->addSeparator();
    file->addAction(QStringLiteral("&Close"), QKeySequence::Close, this, &QWidget::close);
}

void CChannelsWindow::BuildEditMenu(QMenu* edit)
{
    QAction* undo = m_model.UndoStack().createUndoAction(this, QStringLiteral("&Undo"));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = m_model.UndoStack().createRedoAction(this, QStringLiteral("&Redo"));
    redo->setShortcut(QKeySequence::Redo);
    edit->addActions({undo, redo});
    edit->addSeparator();
    edit->addAction(QStringLiteral("Cu&t"), QKeySequence::Cut, this, &CChannelsWindow::Cut);
    edit->addAction(QStringLiteral("&Copy"), QKeySequence::Copy, this, &CChannelsWindow::Copy);
    edit->addAction(QStringLiteral("&Paste"), QKeySequence::Paste, this, &CChannelsWindow::Paste);
    edit->addAction(QStringLiteral("C&lear"), QKeySequence::Delete, this, &CChannelsWindow::Clear);
    edit->addSeparator();
    edit->addAction(QStringLiteral("Select &All"), QKeySequence::SelectAll, m_table, &QAbstractItemView::selectAll);
    edit->addAction(QStringLiteral("&Find"), QKeySequence::Find, m_filter, [this] { m_filter->setFocus(); });
}

QString CChannelsWindow::Status() const { return m_status->text(); }

void CChannelsWindow::Say(const QString& text) { m_status->setText(text); }

void CChannelsWindow::ShowEdited() { setWindowModified(m_model.HasUnsavedEdits()); }

QList<int> CChannelsWindow::SelectedSlots() const
{
    QList<int> chosen;
    for (const QModelIndex& row : m_table->selectionModel()->selectedRows())
        chosen << m_filtered->mapToSource(row).row();
    if (chosen.isEmpty() && m_table->currentIndex().isValid())
        chosen << m_filtered->mapToSource(m_table->currentIndex()).row();
    std::sort(chosen.begin(), chosen.end());
    return chosen;
}

void CChannelsWindow::OnActivated(const QModelIndex& index)
{
    if (index.isValid())
        Recall(m_filtered->mapToSource(index).row());
}

// The radio is tuned to what the channel list holds. A slot edited here and
// not saved holds something else, so it is not recalled at all.
void CChannelsWindow::Recall(int slot)
{
    if (m_model.IsEdited(slot)) {
        Say(QStringLiteral("Slot %1 has edits that are not saved: save them, then recall it.").arg(slot));
        return;
    }
    switch (m_seam.Recall(slot)) {
    case RecallResult::Sent: Say(QStringLiteral("Recalled slot %1.").arg(slot)); break;
    case RecallResult::NoListLine:
        Say(QStringLiteral("Slot %1 was not recalled: the channel list is empty until the channel file is saved.").arg(slot));
        break;
    case RecallResult::PortFailed:
        Say(QStringLiteral("Slot %1 was not recalled: the serial port failed (the title says why).").arg(slot));
        break;
    }
}

void CChannelsWindow::StoreCurrent()
{
    const QModelIndex current = m_table->currentIndex();
    if (!current.isValid()) {
        Say(QStringLiteral("Select the slot to store the radio's frequency in."));
        return;
    }
    const std::optional<ChannelSlot> now = m_seam.Reported();
    if (!now) {
        Say(QStringLiteral("Nothing was stored: the radio has not reported a frequency yet."));
        return;
    }
    const int slot = m_filtered->mapToSource(current).row();
    QStringList kept;
    const ChannelSlot value = WithReported(m_model.Slots()[slot], *now, kept);
    m_model.Change(QStringLiteral("Store current in slot %1").arg(slot), {{slot, value}});
    QString said = QStringLiteral("Stored %1 in slot %2.").arg(ShownFields(slot, value), QString::number(slot));
    if (!kept.isEmpty())
        said += QStringLiteral(" The radio has not reported %1, which the slot keeps.").arg(kept.join(QStringLiteral(" or ")));
    if (now->route == '\0')
        said += QStringLiteral(" Ext PTT off with local audio on has no letter in the channel file; the slot keeps its own.");
    Say(said + QStringLiteral(" Save writes it to the channel file."));
}

bool CChannelsWindow::Save()
{
    const int edited = int(m_model.EditedSlots().size());
    if (!m_model.Save(m_seam)) {
        Say(QStringLiteral("Not saved: the channel file was not replaced. The edits are still here."));
        return false;
    }
    Say(edited == 0 ? QStringLiteral("Nothing to save.") : QStringLiteral("Saved %1 to the channel file.").arg(Slots(edited)));
    return true;
}

bool CChannelsWindow::AskAboutEdits()
{
    const int edited = int(m_model.EditedSlots().size());
    if (edited == 0)
        return true;
    const QMessageBox::StandardButton answer = QMessageBox::question(
        this, QStringLiteral("Channels"),
        QStringLiteral("%1 in the Channels window %2 not saved. Save them to the channel file?")
            .arg(Slots(edited), edited == 1 ? QStringLiteral("is") : QStringLiteral("are")),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save)
        return Save();
    if (answer == QMessageBox::Discard) {
        m_model.Revert();
        return true;
    }
    return false;
}

void CChannelsWindow::closeEvent(QCloseEvent* event)
{
    if (!AskAboutEdits())
        event->ignore();
}

QList<int> CChannelsWindow::CopySelected()
{
    const QList<int> chosen = SelectedSlots();
    QApplication::clipboard()->setText(QString::fromUtf8(SlotRowsAsCsv(m_model.Slots(), chosen)));
    return chosen;
}

void CChannelsWindow::Copy() { Say(QStringLiteral("Copied %1.").arg(Rows(int(CopySelected().size())))); }

void CChannelsWindow::Cut()
{
    const QList<int> chosen = CopySelected();
    m_model.Change(QStringLiteral("Cut %1").arg(Rows(int(chosen.size()))), ClearedSlots(chosen));
    Say(QStringLiteral("Cut %1.").arg(Rows(int(chosen.size()))));
}

// Rows go into consecutive slots from the current one on, wherever they
// were copied from.
void CChannelsWindow::Paste()
{
    const QModelIndex current = m_table->currentIndex();
    if (!current.isValid())
        return;
    QString why;
    const int first = m_filtered->mapToSource(current).row();
    const QMap<int, ChannelSlot> pasted = PastedSlots(QApplication::clipboard()->text().toUtf8(), first, why);
    if (!why.isEmpty()) {
        Say(why + QStringLiteral(" Nothing was pasted."));
        return;
    }
    m_model.Change(QStringLiteral("Paste %1").arg(Rows(int(pasted.size()))), pasted);
    Say(QStringLiteral("Pasted %1 into slots %2 to %3.").arg(Rows(int(pasted.size()))).arg(pasted.firstKey()).arg(pasted.lastKey()));
}

void CChannelsWindow::Clear()
{
    const QList<int> chosen = SelectedSlots();
    m_model.Change(QStringLiteral("Clear %1").arg(Slots(int(chosen.size()))), ClearedSlots(chosen));
    Say(QStringLiteral("Cleared %1.").arg(Slots(int(chosen.size()))));
}

void CChannelsWindow::OnImport()
{
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Import Channels"), QDir::currentPath(),
                                                      QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (!path.isEmpty())
        Import(path);
}

// Taken whole or not at all: one bad row and nothing changes, and every
// bad row is listed.
void CChannelsWindow::Import(const QString& path)
{
    QElapsedTimer started;
    started.start();
    QString why;
    const std::optional<QByteArray> bytes = ReadCsvFile(path, why);
    const ChannelRows rows = bytes ? ReadChannelRows(*bytes) : ChannelRows{};
    const QString name = QFileInfo(path).fileName();
    if (!bytes || !rows.problems.isEmpty()) {
        TellImportRefused(bytes ? QStringLiteral("%1 was not imported: %2 bad. Nothing was changed.")
                                      .arg(name, rows.problems.size() == 1 ? QStringLiteral("1 row is")
                                                                           : QStringLiteral("%1 rows are").arg(rows.problems.size()))
                                : why + QLatin1Char('.'),
                          rows.problems);
        return;
    }
    m_model.Change(QStringLiteral("Import %1").arg(name), PlacedBySlot(rows));
    Say(QStringLiteral("Imported %1 from %2. Save writes them to the channel file.").arg(Rows(int(rows.rows.size())), name));
    LogAfterNextPaint(m_table->viewport(), started, QStringLiteral("import of %1 rows shown").arg(rows.rows.size()));
}

void CChannelsWindow::TellImportRefused(const QString& text, const QStringList& problems)
{
    QMessageBox box(QMessageBox::Warning, QStringLiteral("Import Channels"), text, QMessageBox::Ok, this);
    box.setDetailedText(problems.join(QLatin1Char('\n')));
    Say(text);
    box.exec();
}

void CChannelsWindow::OnExport(bool allSlots)
{
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Export Channels"),
                                                      QDir::current().filePath(QStringLiteral("channels.csv")),
                                                      QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (!path.isEmpty())
        Export(path, allSlots);
}

void CChannelsWindow::Export(const QString& path, bool allSlots)
{
    QString why;
    if (WriteCsvFile(path, ChannelsAsCsv(m_model.Slots(), allSlots), why))
        Say(QStringLiteral("Exported %1 to %2.").arg(allSlots ? QStringLiteral("all 300 slots") : QStringLiteral("the stored slots"),
                                                    QFileInfo(path).fileName()));
    else
        Say(QStringLiteral("Not exported: %1.").arg(why));
}
