#pragma once
// The channel table and the values line 1 and 2 of the channel file carry.
#include "panel/cstring.h"

constexpr int kChannelCount = 300;
constexpr int kDescLength = 30;  // 29 characters and a line feed

extern int g_nCommPort;
extern int g_nBaudRate;
extern char g_chParity;
extern int g_nDataBits;
extern int g_nStopBits;
extern int g_nChanLower;
extern int g_nChanUpper;

extern double g_dChanFreq[kChannelCount];
extern char g_chChanMode[kChannelCount];   // 'U' USB, 'L' LSB, 'A' AM, 'C' CW
extern char g_chChanAgc[kChannelCount];    // 'O' Off, 'S' Slow, 'M' Medium, 'F' Fast
extern char g_chChanInput[kChannelCount];  // 'M' Mic, 'A' Audio2, 'P' Patch
extern char g_chChanRoute[kChannelCount];  // Ext PTT and local audio: 'R', 'T' or 'L'
extern char g_chChanDesc[kChannelCount][kDescLength];

inline bool IsChannel(int slot) { return slot >= 0 && slot < kChannelCount; }

// A slot's number, frequency and four letters as a record of the channel
// file and a line of the list begin: "%3d %8.2f %c %c %c %c".
void AppendRecordFields(QByteArray& text, int slot);
// The 53-character line the channel list shows for a slot.
CString BuildChannelLine(int slot);
void AppendChannelLine(QByteArray& text, int slot);
