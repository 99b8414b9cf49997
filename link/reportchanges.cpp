#include "link/reportchanges.h"

#include <cstring>

#include "link/reportedstate.h"
#include "panel/tavrinview.h"

namespace {

// A switch as its field gives it: '1' on, '0' off.
char Switch(int member) { return member != 0 ? '1' : '0'; }

// The radio reports Mute inverted, as "audio on".
char Mute(int member) { return member != 0 ? '0' : '1'; }

char Transmit(int txRx) { return txRx == 0 ? 'K' : txRx == 1 ? 'U' : '\0'; }

// The codes of CReportImage's values, in order; 'K' stands for 'K' and 'U',
// whose value is the code.
constexpr char kCodes[] = "KGAMHVDO\"'(*,IS";

} // namespace

bool ReportChanges::Has(char code) const
{
    for (const ReportField& field : fields)
        if (field.code == code)
            return true;
    return false;
}

CReportImage::CReportImage(const CTavrinView& view)
    : m_values{Transmit(view.m_nTxRx),   char(g_bStepMode),       g_chAgc,
               g_chMode,                  g_chAudioInput,          g_chVox,
               g_chMeter,                 char(g_nAmpState),       Switch(view.m_bLocalAudio),
               Switch(view.m_bExtPtt),    Mute(view.m_bMute),      Switch(view.m_bAmpTuning),
               Switch(view.m_bBpfOff),    Switch(view.m_bClipping), Switch(view.m_bSideTone)}
{
    static_assert(sizeof kCodes - 1 == kValues, "one code for each value");
    std::memcpy(m_digits, g_szReportDigits, kDigits);
}

ReportChanges CReportImage::ChangesTo(const CReportImage& after) const
{
    ReportChanges changes;
    if (std::memcmp(m_digits, after.m_digits, kDigits) != 0)
        changes.fields.append({'F', CString(after.m_digits, kDigits)});
    for (int i = 0; i < kValues; ++i) {
        if (m_values[i] == after.m_values[i])
            continue;
        const char code = kCodes[i];
        if (code == 'K')
            changes.fields.append({after.m_values[i], CString()});
        else if (code == 'G')
            changes.fields.append({'G', CString()});
        else
            changes.fields.append({code, CString(1, after.m_values[i])});
    }
    return changes;
}
