#pragma once
#include "panel/cstring.h"

// The mode and AGC the user last asked for, as the radio's setting characters.
extern char g_chNewMode;
extern char g_chNewAgc;

// Letter, setting character and line feed; empty for a setting that is
// still unknown (a zero byte).
CString ValueCommand(char letter, char value);
