#include "channels/channellines.h"

#include "channels/channeltable.h"
#include "panel/combocontrols.h"
#include "panel/controlhandles.h"

QStringList g_channelLines;

namespace {

void InsertLine(CComboBox& list, int slot)
{
    const CString line = BuildChannelLine(slot);
    if (list.InsertString(slot, line) >= 0)
        g_channelLines.insert(slot, DisplayedItemText(line));
}

} // namespace

void ShowEveryChannel(CComboBox& list)
{
    list.ResetContent();
    g_channelLines.clear();
    for (int slot = 0; slot < kChannelCount; ++slot)
        InsertLine(list, slot);
}

void ShowChannel(CComboBox& list, int slot)
{
    list.DeleteString(slot);
    if (slot >= 0 && slot < g_channelLines.size())
        g_channelLines.removeAt(slot);
    InsertLine(list, slot);
}
