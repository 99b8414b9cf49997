#pragma once
// One step of the Channels window's undo history: the slots it changed,
// before and after. An edit, a paste, a clear and a whole import are each
// one step.
#include <QMap>
#include <QUndoCommand>

#include "channeleditor/channelslot.h"

class CChannelSlotsModel;

class CSlotsChange : public QUndoCommand {
public:
    CSlotsChange(CChannelSlotsModel& model, const QString& text, QMap<int, ChannelSlot> after);
    void undo() override;
    void redo() override;

private:
    CChannelSlotsModel& m_model;
    QMap<int, ChannelSlot> m_before;
    QMap<int, ChannelSlot> m_after;
};
