#pragma once
// The slot RecallChannel acts on: set by a double-click, by Save Chnl and by
// each scan step.
extern int g_nSelChannel;
