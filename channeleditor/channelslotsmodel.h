#pragma once
// The 300 slots as the Channels window shows and edits them: a copy of the
// channel table, one row per slot, one column per field. Edits stay in the
// copy, each an undoable step, until Save puts the edited slots into the
// table and writes the channel file through the panel.
#include <QAbstractTableModel>
#include <QMap>
#include <QUndoStack>

#include "channeleditor/channelslot.h"
#include "channeleditor/slotfields.h"

class CChannelSeam;
class QFont;

class CChannelSlotsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CChannelSlotsModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // A text the field cannot take is refused, with Refused saying why.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    const ChannelSlots& Slots() const { return m_slots; }
    QUndoStack& UndoStack() { return m_undo; }

    // One undoable step; a change that changes nothing is no step.
    void Change(const QString& what, const QMap<int, ChannelSlot>& values);
    // The slots take these values now; the undo history's own way in.
    void Put(const QMap<int, ChannelSlot>& values);

    bool IsEdited(int slot) const { return m_slots[slot] != m_saved[slot]; }
    QList<int> EditedSlots() const;
    bool HasUnsavedEdits() const { return !EditedSlots().isEmpty(); }

    // The panel put new values into the table: slots the user has not
    // edited here follow them.
    void TakeFromTable(int first, int last);
    // Every unsaved edit goes, with the undo history.
    void Revert();
    // The edited slots into the table and the table to the channel file.
    // When the file is not written the table is left as it was and the
    // edits stay unsaved.
    bool Save(CChannelSeam& seam);

signals:
    void Refused(const QString& why);
    // A cell took the text typed into it.
    void Accepted();
    void EditsChanged();

private:
    void ShowRows(int first, int last);
    QString SpokenText(int slot, SlotColumn column) const;
    QVariant ToolTip(int slot, SlotColumn column) const;
    static QFont EditedFont();

    ChannelSlots m_slots;
    ChannelSlots m_saved;  // what the table held when last looked at
    QUndoStack m_undo;
};
