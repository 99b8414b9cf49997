// Tuning: the step buttons, Up and Down, the jog between the scan limits and
// direct entry. None of these writes the display: it follows the radio.
#include <QLoggingCategory>
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "link/commandchannel.h"
#include "panel/tavrinview.h"
#include "panel/tuningstate.h"

Q_DECLARE_LOGGING_CATEGORY(lcPanel)

char g_szSendDigits[8] = {};
double g_dStep = 1.0;
float g_fScanLower = 0.0f;
float g_fScanUpper = 0.0f;
float g_fFreqEntry = 0.0f;
char g_chTxState = 'U';
BYTE g_bChanScan = 0;

namespace {
const double kSteps[10] = {500.0, 100.0, 50.0, 10.0, 5.0, 1.0, 0.5, 0.1, 0.05, 0.01};
}

bool FrequencyFitsField(double frequency)
{
    // Half-up rounding to 10 Hz happens in the encoder, so the last value that
    // still fits is just under 99999.995.
    return std::isfinite(frequency) && frequency >= 0.0 && frequency + 0.005 < 100000.0;
}

void EncodeFrequencyDigits(double frequency, char digits[8])
{
    if (!FrequencyFitsField(frequency)) {
        // Marked as no frequency at all; SendFrequency will not send it.
        std::fill(digits, digits + 7, '?');
        digits[7] = '\0';
        return;
    }
    double a = frequency + 0.005;
    double c = 10000.0;
    for (int i = 0; i < 7; ++i) {
        const int d = static_cast<int>(a / c);
        digits[i] = static_cast<char>((d & 0xFF) | 0x30);
        a -= d * c;
        c *= 0.1;
    }
    digits[7] = '\0';
}

void CTavrinView::EncodeFrequency(double frequency) { EncodeFrequencyDigits(frequency, g_szSendDigits); }

// Refuses digits that EncodeFrequency could not make of a frequency outside
// the field: an out-of-range frequency is not sent at all.
void CTavrinView::SendFrequency()
{
    for (int i = 0; i < 7; ++i) {
        if (g_szSendDigits[i] < '0' || g_szSendDigits[i] > '9') {
            qCWarning(lcPanel) << "frequency outside 0.00 to 99999.99 kHz not sent";
            return;
        }
    }
    g_strCommand = "F";
    g_strCommand += QByteArray(g_szSendDigits, 7);
    g_strCommand += "\n";
    SendCommand();
}

namespace {
// What the radio tunes: a step is held within it, never wrapped.
constexpr double kRadioLowest = 0.0;
constexpr double kRadioHighest = 29999.99;

// Limits left at 0.00 and 0.00 (a first start) or typed the wrong way round
// give the wrap no range: it would send every step to one limit.
bool LimitsMakeARange() { return g_fScanLower < g_fScanUpper; }
} // namespace

double StepFrom(double f, double step) { return std::clamp(f + step, kRadioLowest, kRadioHighest); }

double JogUpFrom(double f)
{
    if (!LimitsMakeARange())
        return StepFrom(f, g_dStep);
    const double lower = g_fScanLower;
    const double upper = g_fScanUpper;
    double a = f < upper ? f : lower - g_dStep;
    if (a < lower)
        a = lower - g_dStep;
    return a + g_dStep;
}

double JogDownFrom(double f)
{
    if (!LimitsMakeARange())
        return StepFrom(f, -g_dStep);
    const double lower = g_fScanLower;
    const double upper = g_fScanUpper;
    double a = f > lower ? f : upper + g_dStep;
    if (a > upper)
        a = upper + g_dStep;
    return a - g_dStep;
}

void CTavrinView::JogUp()
{
    EncodeFrequency(JogUpFrom(DecodeFrequency()));
    SendFrequency();
}

void CTavrinView::JogDown()
{
    EncodeFrequency(JogDownFrom(DecodeFrequency()));
    SendFrequency();
}

void CTavrinView::OnFreqUp()
{
    if (g_chTxState == 'K')
        return;
    m_nJog = -1;
    JogUp();
    g_bChanScan = 0;
}

void CTavrinView::OnFreqDown()
{
    if (g_chTxState == 'K')
        return;
    m_nJog = -1;
    JogDown();
    g_bChanScan = 0;
}

void CTavrinView::SetTuningStep(int step)
{
    g_dStep = kSteps[step];
    m_nStep = step;
}

void CTavrinView::OnStep500kHz() { SetTuningStep(0); }
void CTavrinView::OnStep100kHz() { SetTuningStep(1); }
void CTavrinView::OnStep50kHz() { SetTuningStep(2); }
void CTavrinView::OnStep10kHz() { SetTuningStep(3); }
void CTavrinView::OnStep5kHz() { SetTuningStep(4); }
void CTavrinView::OnStep1kHz() { SetTuningStep(5); }
void CTavrinView::OnStep500Hz() { SetTuningStep(6); }
void CTavrinView::OnStep100Hz() { SetTuningStep(7); }
void CTavrinView::OnStep50Hz() { SetTuningStep(8); }
void CTavrinView::OnStep10Hz() { SetTuningStep(9); }

// A second click on the running direction stops the jog; the first step
// comes from the next tick of the jog timer.
void CTavrinView::OnJogUp()
{
    if (g_chTxState == 'K')
        return;
    m_nJog = m_nJog == 0 ? -1 : 0;
    g_bChanScan = 0;
}

void CTavrinView::OnJogDown()
{
    if (g_chTxState == 'K')
        return;
    m_nJog = m_nJog == 1 ? -1 : 1;
    g_bChanScan = 0;
}

void CTavrinView::OnSetFreq()
{
    UpdateData(false);
    m_nJog = -1;
    g_bChanScan = 0;
    std::sscanf(m_strFreqEntry.constData(), "%f", &g_fFreqEntry);
    EncodeFrequency(g_fFreqEntry);
    SendFrequency();
}
