#pragma once
// What the Channels window may ask of the panel: recall a slot as the
// channel list does, read what the radio reports now, write the table to
// the channel file, show new lines in the channel list, and hear when the
// panel changes the table or closes.
// The window reads the table itself (channels/channeltable.h) and writes it
// only through its own saves.
#include <QList>
#include <functional>
#include <optional>

#include "channeleditor/channelslot.h"

enum class RecallResult { Sent, NoListLine, PortFailed };

class CChannelSeam {
public:
    virtual ~CChannelSeam() = default;

    // What a double-click on the slot's line in the channel list does. A
    // list left empty by a missing channel file has no line to click.
    virtual RecallResult Recall(int slot) = 0;
    // What the radio last reported, as a slot holds it in the channel
    // file's letters; none before its first frequency. A letter is 0 for a
    // setting the radio has not reported, and the route is 0 for Ext PTT
    // off with local audio on, which no letter stands for. The description
    // is not the radio's, and is left as a never-stored slot's.
    virtual std::optional<ChannelSlot> Reported() const = 0;
    // The whole table to the channel file, as Save Chnl writes it; false
    // when the file was not replaced (the user has been told why).
    virtual bool SaveTable() = 0;
    // The channel list shows these slots as the table now holds them.
    virtual void ShowSlots(const QList<int>& which) = 0;
    // Called for every run of slots the panel itself puts new values in
    // (Save Chnl, the channel file read again).
    virtual void WatchTable(std::function<void(int first, int last)> changed) = 0;
    // Called as the panel's window closes, before it writes the file.
    virtual void WatchClosing(std::function<void()> closing) = 0;
};
