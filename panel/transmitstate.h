#pragma once
#include "link/reportedstate.h"

extern BYTE g_bTuning;          // a tune started with the Tune button is running
extern char g_chModeBeforeTune; // the reported mode when it began
