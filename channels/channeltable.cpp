#include "channels/channeltable.h"

int g_nCommPort = 0;
int g_nBaudRate = 0;
char g_chParity = 0;
int g_nDataBits = 0;
int g_nStopBits = 0;
int g_nChanLower = 0;
int g_nChanUpper = 0;

double g_dChanFreq[kChannelCount] = {};
char g_chChanMode[kChannelCount] = {};
char g_chChanAgc[kChannelCount] = {};
char g_chChanInput[kChannelCount] = {};
char g_chChanRoute[kChannelCount] = {};
char g_chChanDesc[kChannelCount][kDescLength] = {};

// The prefix is cut at 23 characters whatever the frequency's width, so the
// description always starts in column 23.
CString BuildChannelLine(int slot)
{
    CString line = FormatText("%3d %8.2f %c %c %c %c - ", slot, g_dChanFreq[slot], g_chChanMode[slot],
                              g_chChanAgc[slot], g_chChanInput[slot], g_chChanRoute[slot]);
    line.truncate(23);
    line.append(g_chChanDesc[slot], kDescLength);
    return line;
}
