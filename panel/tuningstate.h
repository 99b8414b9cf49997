#pragma once
// Program-wide tuning values.
#include "link/reportedstate.h"

extern char g_szSendDigits[8];  // seven digits of the frequency to send, and a NUL
extern double g_dStep;          // tuning step in kHz
extern float g_fScanLower;      // jog Lower Limit, kHz
extern float g_fScanUpper;      // jog Upper Limit, kHz
extern float g_fFreqEntry;      // value of the last frequency Set
extern char g_chTxState;        // 'K' while keyed, 'U' in receive
extern BYTE g_bChanScan;        // a channel scan is running

// The seven-digit field holds 0.00 to 99999.99 kHz; anything else would put
// characters other than digits on the line.
bool FrequencyFitsField(double frequency);

// The seven digits of a frequency, NUL-terminated; '?' marks all seven when
// the frequency does not fit the field.
void EncodeFrequencyDigits(double frequency, char digits[8]);

// One step of the jog from f, wrapping between the scan limits: the
// frequency JogUp or JogDown would send if the radio had reported f. Limits
// that make no range (both 0, or Lower not below Upper) wrap nothing: the
// step is then StepFrom's.
double JogUpFrom(double f);
double JogDownFrom(double f);

// f moved by step (negative: down), held within the radio's 0 to
// 29999.99 kHz.
double StepFrom(double f, double step);
