#pragma once
// The channel list's lines are put into it here, and kept as the list
// shows them, a line a row: whoever reads what the list shows (a web page)
// reads it from g_channelLines, never from the list.
#include <QStringList>

class CComboBox;

extern QStringList g_channelLines;

// The list afresh: one line for each slot of the channel table.
void ShowEveryChannel(CComboBox& list);
// A slot's line put in anew at its row, as deleting the row and inserting
// it again does: a list that has no such row gains none past its end.
void ShowChannel(CComboBox& list, int slot);
