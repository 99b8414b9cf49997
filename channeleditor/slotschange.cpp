#include "channeleditor/slotschange.h"

#include "channeleditor/channelslotsmodel.h"

CSlotsChange::CSlotsChange(CChannelSlotsModel& model, const QString& text, QMap<int, ChannelSlot> after)
    : QUndoCommand(text), m_model(model), m_after(std::move(after))
{
    for (auto it = m_after.cbegin(); it != m_after.cend(); ++it)
        m_before[it.key()] = model.Slots()[it.key()];
}

void CSlotsChange::undo() { m_model.Put(m_before); }

void CSlotsChange::redo() { m_model.Put(m_after); }
