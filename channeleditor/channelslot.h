#pragma once
// One slot of the channel table, held apart from the table itself: the
// Channels window edits copies and puts them into the table only when the
// user saves, so the panel recalls and writes nothing unsaved.
#include <QByteArray>
#include <array>

#include "channels/channeltable.h"

struct ChannelSlot {
    double freq = 0.0;
    char mode = 0;
    char agc = 0;
    char input = 0;
    char route = 0;
    std::array<char, kDescLength> desc{};  // 29 characters, then a line feed

    // Byte for byte, as the file would hold it: a frequency that is not a
    // number still equals itself.
    bool operator==(const ChannelSlot& other) const;
    bool operator!=(const ChannelSlot& other) const { return !(*this == other); }
};

using ChannelSlots = std::array<ChannelSlot, kChannelCount>;

// As a never-stored slot stands once the file has been read: zero bytes,
// the description's closing line feed.
ChannelSlot NeverStoredSlot();
// Zero letters, frequency and description: nothing was ever put in it.
bool IsNeverStored(const ChannelSlot& slot);
// A slot about to be given its first field: blanks where the zero bytes of
// its description were, as Save Chnl leaves a slot it stores.
ChannelSlot StoredFrom(const ChannelSlot& slot);

ChannelSlot SlotFromTable(int slot);
ChannelSlots SlotsFromTable();
void PutSlotInTable(int slot, const ChannelSlot& value);

// The description without the blanks that pad it to 29 characters.
QByteArray DescriptionText(const ChannelSlot& slot);
// text holds at most 29 characters and no line feed.
void SetDescriptionText(ChannelSlot& slot, const QByteArray& text);
