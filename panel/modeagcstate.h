#pragma once
// The mode and AGC the user last asked for, as the radio's setting characters.
extern char g_chNewMode;
extern char g_chNewAgc;
