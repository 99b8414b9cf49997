#pragma once
// The fields of a slot as text, one column each, and the limits the channel
// file puts on them. Editing a cell and importing a row both go through
// SetField, so both accept and refuse exactly the same text.
#include <QString>
#include <optional>

#include "channeleditor/channelslot.h"

enum class SlotColumn { Slot, Frequency, Mode, Agc, Input, Route, Description };
constexpr int kSlotColumnCount = 7;

inline SlotColumn ColumnAt(int column) { return static_cast<SlotColumn>(column); }

// The Channels window's column captions.
QString ColumnCaption(SlotColumn column);

// How a field is shown, written to a CSV file, or spoken by a screen reader.
// A never-stored slot shows nothing but its number.
enum class FieldUse { Shown, Exported, Spoken };
QString FieldText(int slot, const ChannelSlot& value, SlotColumn column, FieldUse use);

// The names a letter column offers, in the order the panel lists them.
QStringList LetterNames(SlotColumn column);

// Puts text into one field. On refusal the slot is unchanged and the
// result says why; an empty result means the field took the text. The
// first field given to a never-stored slot stores it; empty text leaves a
// never-stored slot as it is.
QString SetField(ChannelSlot& value, SlotColumn column, const QString& text);

// A slot number from 0 to 299, or a reason.
std::optional<int> ParseSlotNumber(const QString& text, QString& why);
