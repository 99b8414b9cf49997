#include "channeleditor/channelslotsmodel.h"

#include <QFont>
#include <algorithm>

#include "channeleditor/channelseam.h"
#include "channeleditor/slotfields.h"
#include "channeleditor/slotschange.h"

CChannelSlotsModel::CChannelSlotsModel(QObject* parent)
    : QAbstractTableModel(parent), m_slots(SlotsFromTable()), m_saved(m_slots)
{
}

int CChannelSlotsModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kChannelCount; }

int CChannelSlotsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kSlotColumnCount;
}

QVariant CChannelSlotsModel::data(const QModelIndex& index, int role) const
{
    const int slot = index.row();
    const SlotColumn column = ColumnAt(index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole: return FieldText(slot, m_slots[slot], column, FieldUse::Shown);
    case Qt::AccessibleTextRole: return SpokenText(slot, column);
    case Qt::ToolTipRole: return ToolTip(slot, column);
    case Qt::TextAlignmentRole:
        return column == SlotColumn::Slot || column == SlotColumn::Frequency
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter) : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::FontRole: return IsEdited(slot) ? QVariant(EditedFont()) : QVariant();
    default: return QVariant();
    }
}

// A listener hears what a sighted user sees in italics.
QString CChannelSlotsModel::SpokenText(int slot, SlotColumn column) const
{
    const QString spoken = FieldText(slot, m_slots[slot], column, FieldUse::Spoken);
    return column == SlotColumn::Slot && IsEdited(slot) ? spoken + QStringLiteral(", edited, not saved") : spoken;
}

QVariant CChannelSlotsModel::ToolTip(int slot, SlotColumn column) const
{
    if (column == SlotColumn::Route)
        return FieldText(slot, m_slots[slot], column, FieldUse::Spoken);
    return column == SlotColumn::Slot && IsEdited(slot) ? QStringLiteral("Edited, not saved") : QVariant();
}

QFont CChannelSlotsModel::EditedFont()
{
    QFont font;
    font.setItalic(true);
    return font;
}

QVariant CChannelSlotsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::AccessibleTextRole))
        return QAbstractTableModel::headerData(section, orientation, role);
    return ColumnCaption(ColumnAt(section));
}

Qt::ItemFlags CChannelSlotsModel::flags(const QModelIndex& index) const
{
    const Qt::ItemFlags flags = QAbstractTableModel::flags(index);
    return ColumnAt(index.column()) == SlotColumn::Slot ? flags : flags | Qt::ItemIsEditable;
}

bool CChannelSlotsModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (role != Qt::EditRole || !index.isValid())
        return false;
    const int slot = index.row();
    const SlotColumn column = ColumnAt(index.column());
    ChannelSlot next = m_slots[slot];
    const QString why = SetField(next, column, value.toString());
    if (!why.isEmpty()) {
        emit Refused(QStringLiteral("Slot %1, %2: %3. Nothing was changed.").arg(slot).arg(ColumnCaption(column), why));
        return false;
    }
    Change(QStringLiteral("Edit %1 of slot %2").arg(ColumnCaption(column)).arg(slot), {{slot, next}});
    emit Accepted();
    return true;
}

void CChannelSlotsModel::Change(const QString& what, const QMap<int, ChannelSlot>& values)
{
    const bool changes = std::any_of(values.keyValueBegin(), values.keyValueEnd(),
                                     [this](const auto& entry) { return m_slots[entry.first] != entry.second; });
    if (changes)
        m_undo.push(new CSlotsChange(*this, what, values));
}

void CChannelSlotsModel::Put(const QMap<int, ChannelSlot>& values)
{
    if (values.isEmpty())
        return;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        m_slots[it.key()] = it.value();
    ShowRows(values.firstKey(), values.lastKey());
}

QList<int> CChannelSlotsModel::EditedSlots() const
{
    QList<int> edited;
    for (int slot = 0; slot < kChannelCount; ++slot)
        if (IsEdited(slot))
            edited << slot;
    return edited;
}

void CChannelSlotsModel::TakeFromTable(int first, int last)
{
    first = std::max(first, 0);
    last = std::min(last, kChannelCount - 1);
    for (int slot = first; slot <= last; ++slot) {
        const ChannelSlot table = SlotFromTable(slot);
        if (!IsEdited(slot))
            m_slots[slot] = table;
        m_saved[slot] = table;
    }
    if (first <= last)
        ShowRows(first, last);
}

void CChannelSlotsModel::Revert()
{
    m_undo.clear();
    m_slots = m_saved;
    ShowRows(0, kChannelCount - 1);
}

bool CChannelSlotsModel::Save(CChannelSeam& seam)
{
    const QList<int> edited = EditedSlots();
    if (edited.isEmpty())
        return true;
    QMap<int, ChannelSlot> before;
    for (int slot : edited) {
        before[slot] = SlotFromTable(slot);
        PutSlotInTable(slot, m_slots[slot]);
    }
    if (!seam.SaveTable()) {
        for (int slot : edited)
            PutSlotInTable(slot, before[slot]);
        return false;
    }
    for (int slot : edited)
        m_saved[slot] = m_slots[slot];
    m_undo.setClean();
    seam.ShowSlots(edited);
    ShowRows(edited.front(), edited.back());
    return true;
}

void CChannelSlotsModel::ShowRows(int first, int last)
{
    emit dataChanged(index(first, 0), index(last, kSlotColumnCount - 1));
    emit EditsChanged();
}
