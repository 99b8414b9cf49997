#pragma once
#include <cstdint>

#include "link/reportedstate.h"
#include "panel/cstring.h"

extern int32_t g_nBfoValue;  // offset in Hz last read from the BFO field
extern int32_t g_nBfoSent;   // offset in Hz of the last offset command
extern BYTE g_bBfoOn;        // an offset command is in force

// "B" and three digits: 100 is no offset, one step is 10 Hz.
CString BfoOffsetCommand(int32_t offsetHz);
