#include "channeleditor/channelslot.h"

#include <algorithm>
#include <cstring>

bool ChannelSlot::operator==(const ChannelSlot& other) const
{
    return std::memcmp(&freq, &other.freq, sizeof freq) == 0 && mode == other.mode && agc == other.agc
        && input == other.input && route == other.route && desc == other.desc;
}

ChannelSlot NeverStoredSlot()
{
    ChannelSlot slot;
    slot.desc[kDescLength - 1] = '\n';
    return slot;
}

bool IsNeverStored(const ChannelSlot& slot)
{
    const bool noDescription = std::all_of(slot.desc.begin(), slot.desc.end() - 1, [](char c) { return c == 0; });
    return noDescription && slot.freq == 0.0 && !slot.mode && !slot.agc && !slot.input && !slot.route;
}

ChannelSlot StoredFrom(const ChannelSlot& slot)
{
    if (!IsNeverStored(slot))
        return slot;
    ChannelSlot stored = slot;
    SetDescriptionText(stored, QByteArray());
    return stored;
}

ChannelSlot SlotFromTable(int slot)
{
    ChannelSlot value;
    value.freq = g_dChanFreq[slot];
    value.mode = g_chChanMode[slot];
    value.agc = g_chChanAgc[slot];
    value.input = g_chChanInput[slot];
    value.route = g_chChanRoute[slot];
    std::copy_n(g_chChanDesc[slot], kDescLength, value.desc.begin());
    return value;
}

ChannelSlots SlotsFromTable()
{
    ChannelSlots table;
    for (int slot = 0; slot < kChannelCount; ++slot)
        table[slot] = SlotFromTable(slot);
    return table;
}

void PutSlotInTable(int slot, const ChannelSlot& value)
{
    g_dChanFreq[slot] = value.freq;
    g_chChanMode[slot] = value.mode;
    g_chChanAgc[slot] = value.agc;
    g_chChanInput[slot] = value.input;
    g_chChanRoute[slot] = value.route;
    std::copy(value.desc.begin(), value.desc.end(), g_chChanDesc[slot]);
}

QByteArray DescriptionText(const ChannelSlot& slot)
{
    QByteArray text(slot.desc.data(), kDescLength - 1);
    while (text.endsWith(' '))
        text.chop(1);
    return text;
}

void SetDescriptionText(ChannelSlot& slot, const QByteArray& text)
{
    const QByteArray padded = text.leftJustified(kDescLength - 1, ' ', true);
    std::copy(padded.begin(), padded.end(), slot.desc.begin());
    slot.desc[kDescLength - 1] = '\n';
}
