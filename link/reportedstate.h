#pragma once
// What the radio last reported. The handlers compare a wanted setting with
// these to work out how many stepping commands to send.

using BYTE = unsigned char;

extern char g_chAgc;              // '1' Off, '2' Slow, '3' Medium, '4' Fast
extern char g_chMode;             // '1' USB, '2' LSB, '3' AM, '4' CW
extern char g_chAudioInput;       // '1' Mic, '2' Audio2, '3' Patch
extern char g_chVox;              // '0' Off, '1' Voice, '2' Data
extern char g_chMeter;            // '1' Audio ... '6' VSWR
extern int g_nAmpState;           // character code of the last 'O' value
extern char g_szReportDigits[8];  // seven frequency digits and a NUL
extern BYTE g_bStepMode;          // 1 until the radio's first 'G' report
extern double g_dLastFreq;        // kHz, decoded at the end of every parse
// 'F' fields parsed so far. It tells a report that repeats the frequency
// from no report at all, which the digits alone cannot.
extern unsigned g_nFreqReports;
// Reports parsed so far: whether the radio is heard at all, and whether a
// report came after a given moment.
extern unsigned g_nReports;

// How many buffer characters a report field takes, its code included.
int ReportFieldLength(unsigned char code);

// kHz of seven frequency digits, each counted by its low four bits.
double DecodeFrequencyDigits(const char* digits);
