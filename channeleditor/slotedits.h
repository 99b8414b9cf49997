#pragma once
// The row operations of the Channels window as values: what a clear or a
// paste would put into which slots. The window makes each one undoable step.
#include <QByteArray>
#include <QMap>
#include <QString>

#include "channeleditor/channelslot.h"

// The slots back to never-stored.
QMap<int, ChannelSlot> ClearedSlots(const QList<int>& which);

// Rows copied as CSV, placed one after another from slot `first` on,
// whatever slots they came from. Nothing when why is set: the text holds a
// bad row, or the rows run past slot 299.
QMap<int, ChannelSlot> PastedSlots(const QByteArray& csv, int first, QString& why);
