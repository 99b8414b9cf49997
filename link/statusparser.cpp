// Status reports: a line of fields, each a code character and a value whose
// length depends on the code alone. There are no separators; the lengths set
// where the next field starts.
#include "link/commandchannel.h"
#include "link/reportedstate.h"
#include "panel/tavrinview.h"

char g_chAgc = 0;
char g_chMode = 0;
char g_chAudioInput = 0;
char g_chVox = 0;
char g_chMeter = 0;
int g_nAmpState = 0;
char g_szReportDigits[8] = {};
BYTE g_bStepMode = 1;
double g_dLastFreq = 0.0;
unsigned g_nFreqReports = 0;
unsigned g_nReports = 0;

int ReportFieldLength(unsigned char code)
{
    switch (code) {
    case '#': case '$': case '&': case '^':
        return 1;
    case '"': case '\'': case '(': case '*': case ',': case 'I': case 'S':
    case 'A': case 'M': case 'D': case 'H': case 'V': case 'O':
    case '!': case ')': case 'E': case 'R': case 'T': case 'Y': case 'Z':
        return 3;
    case 'G': case 'C': case 'J': case 'P':
        return 4;
    case 'X':
        return 5;
    case 'B':
        return 6;
    case 'F':
        return 9;
    default: // 'K', 'U' and every character without a row of its own
        return 2;
    }
}

namespace {

// A two-state switch: '1' sets, '0' clears, anything else leaves it be.
void ApplySwitch(int& member, char value, bool inverted = false)
{
    if (value == '1')
        member = inverted ? 0 : 1;
    else if (value == '0')
        member = inverted ? 1 : 0;
}

void ApplyAmplifier(CTavrinView& view, char value)
{
    g_nAmpState = value;
    switch (value) {
    case '0': case '1':
        view.m_bAmpPower = view.m_bAmpReady = view.m_bAmpOperate = 0;
        break;
    case '2': view.m_bAmpPower = 1; view.m_bAmpReady = 0; break;
    case '3': view.m_bAmpPower = 1; view.m_bAmpReady = 1; view.m_bAmpOperate = 0; break;
    case '4': view.m_bAmpPower = 1; view.m_bAmpReady = 0; view.m_bAmpOperate = 1; break;
    default: view.m_bAmpPower = 1; break;
    }
}

// The lists are only moved when the report brings a new value, so a choice
// the user made since the last report is left alone by a repeat.
void ApplyListChoice(CComboBox& list, char& reported, char value)
{
    if (value != reported)
        list.SetCurSel((value & 0x0F) - 1);
    reported = value;
}

} // namespace

void CTavrinView::ParseStatus()
{
    const CReportImage before(*this);
    char transmitField = 0;
    const qsizetype n = g_strReceive.size();
    const char* buffer = g_strReceive.constData();
    // A field cut short by the end of the buffer reads NUL past it.
    auto at = [buffer, n](qsizetype i) { return i < n ? buffer[i] : '\0'; };
    for (qsizetype p = 0; p < n; p += ReportFieldLength(static_cast<unsigned char>(buffer[p]))) {
        const char v = at(p + 1);
        switch (buffer[p]) {
        case 'K': m_nTxRx = 0; transmitField = 'K'; break;
        case 'U': m_nTxRx = 1; transmitField = 'U'; break;
        case '"': ApplySwitch(m_bLocalAudio, v); break;
        case '\'': ApplySwitch(m_bExtPtt, v); break;
        case '(': ApplySwitch(m_bMute, v, true); break; // the radio reports "audio on"
        case '*': ApplySwitch(m_bAmpTuning, v); break;
        case ',': ApplySwitch(m_bBpfOff, v); break;
        case 'I': ApplySwitch(m_bClipping, v); break;
        case 'S': ApplySwitch(m_bSideTone, v); break;
        case 'A': ApplyListChoice(m_cbAgc, g_chAgc, v); break;
        case 'M': ApplyListChoice(m_cbMode, g_chMode, v); break;
        case 'D': g_chMeter = v; m_nMeter = v - '1'; break;
        case 'H': g_chAudioInput = v; m_nAudioInput = v - '1'; break;
        case 'V': g_chVox = v; m_nVox = v - '0'; break;
        case 'O': ApplyAmplifier(*this, v); break;
        case 'G': g_bStepMode = 0; break;
        case 'F':
            for (int i = 0; i < 7; ++i)
                g_szReportDigits[i] = at(p + 1 + i);
            g_szReportDigits[7] = '\0';
            ++g_nFreqReports;
            break;
        default: break;
        }
    }
    g_dLastFreq = DecodeFrequency();
    m_strFreq = FormatText("%0.3f", g_dLastFreq);
    m_strStatus = g_strReceive;
    g_strReceive.clear();
    ++g_nReports;
    ReportChanges changes = before.ChangesTo(CReportImage(*this));
    changes.transmitField = transmitField;
    if (changes.TransmitMoved())
        AnnounceTransmit(false, true);
    emit ReportParsed(changes);
}

double DecodeFrequencyDigits(const char* digits)
{
    double sum = 0.0;
    double weight = 10000.0;
    // The weight is stepped by repeated multiplication, not taken from a
    // table, so the display rounds exactly as it always has.
    for (int i = 0; i < 7; ++i) {
        sum += (digits[i] & 0x0F) * weight;
        weight *= 0.1;
    }
    return sum;
}

double CTavrinView::DecodeFrequency() { return DecodeFrequencyDigits(g_szReportDigits); }
