// The front panel, form 101: 358 x 215 dialog units, 8-point Arial.
#include "res/formtemplate.h"
#include "res/resource.h"

namespace {

using K = ControlKind;
constexpr bool G = true;  // starts a group
constexpr bool _ = false;

const char* const kAgcItems[] = {"Off", "Slow", "Medium", "Fast", nullptr};
const char* const kModeItems[] = {"USB", "LSB", "AM", "CW", nullptr};

constexpr unsigned kDisplay = StyleReadOnly | StyleCentred | StyleSunken;

const FormControl kControls[] = {
    {IDC_MSCOMM, K::HostedControl, "", 164, 196, 19, 19, _, StyleNone, nullptr},
    {IDC_LAST_COMMAND, K::Edit, "", 2, 199, 145, 12, _, StyleNone, nullptr},
    {IDC_STATIC, K::StaticText, "Freq. in kHz", 55, 0, 64, 8, G, StyleNone, nullptr},
    {IDC_FREQ, K::Edit, "", 41, 8, 77, 17, _, kDisplay, nullptr},
    {IDC_AGC, K::ComboDropDown, "", 3, 27, 46, 54, _, StyleNone, kAgcItems},
    {IDC_MODE, K::ComboDropDown, "", 4, 47, 46, 56, _, StyleVScroll, kModeItems},
    {IDC_STATIC, K::StaticText, "AGC", 14, 19, 15, 8, G, StyleNone, nullptr},
    {IDC_STATIC, K::StaticText, "Mode", 13, 39, 23, 8, G, StyleNone, nullptr},
    {IDC_FREQ_UP, K::PushButton, "Up", 117, 46, 20, 14, G, StyleNone, nullptr},
    {IDC_FREQ_DOWN, K::PushButton, "Down", 142, 46, 23, 14, G, StyleNone, nullptr},
    {IDC_STEP_500K, K::RadioButton, "500 kHz", 261, 9, 40, 10, G, StyleNone, nullptr},
    {IDC_STEP_100K, K::RadioButton, "100 kHz", 261, 18, 40, 10, _, StyleNone, nullptr},
    {IDC_STEP_50K, K::RadioButton, "50 kHz", 261, 27, 34, 10, _, StyleNone, nullptr},
    {IDC_STEP_10K, K::RadioButton, "10 kHz", 261, 36, 34, 10, _, StyleNone, nullptr},
    {IDC_STEP_5K, K::RadioButton, "5 kHz", 261, 45, 34, 10, _, StyleNone, nullptr},
    {IDC_STEP_1K, K::RadioButton, "1 kHz", 261, 54, 34, 10, _, StyleNone, nullptr},
    {IDC_STEP_500, K::RadioButton, "500 Hz", 261, 63, 40, 10, _, StyleNone, nullptr},
    {IDC_STEP_100, K::RadioButton, "100 Hz", 261, 72, 40, 10, _, StyleNone, nullptr},
    {IDC_STEP_50, K::RadioButton, "50 Hz", 261, 81, 34, 10, _, StyleNone, nullptr},
    {IDC_STEP_10, K::RadioButton, "10 Hz", 261, 90, 34, 10, _, StyleNone, nullptr},
    {IDC_SAVE_CHANNEL, K::PushButton, "Save Chnl", 202, 57, 40, 11, G, StyleNone, nullptr},
    {IDC_CHANNELS, K::ComboSimple, "", 0, 72, 257, 92, _, StyleVScroll, nullptr},
    {IDC_STATIC, K::StaticText, "Chnl  Freq  Mode  AGC  Audio I/O - Description", 2, 63, 189, 8, G, StyleNone, nullptr},
    {IDC_INPUT_MIC, K::RadioButton, "Mic", 305, 7, 27, 10, G, StyleNone, nullptr},
    {IDC_INPUT_AUDIO2, K::RadioButton, "Audio2", 305, 17, 39, 10, _, StyleNone, nullptr},
    {IDC_INPUT_PATCH, K::RadioButton, "Patch", 305, 27, 37, 10, _, StyleNone, nullptr},
    {IDC_RF_GAIN, K::Edit, "", 307, 113, 18, 12, _, StyleNone, nullptr},
    {IDC_SET_RF_GAIN, K::PushButton, "Set", 329, 113, 18, 13, G, StyleNone, nullptr},
    {IDC_BFO, K::Edit, "", 306, 141, 26, 12, _, StyleNone, nullptr},
    {IDC_STATIC, K::GroupBox, "RF Gain", 303, 103, 49, 27, _, StyleNone, nullptr},
    {IDC_STATIC, K::GroupBox, "Audio", 303, 0, 54, 60, _, StyleNone, nullptr},
    {IDC_STATIC, K::GroupBox, "Delta F", 259, 1, 43, 100, G, StyleNone, nullptr},
    {IDC_CLIPPING, K::CheckBox, "Clipping", 303, 71, 40, 10, _, StyleNone, nullptr},
    {IDC_SIDE_TONE, K::CheckBox, "Side Tone", 305, 45, 53, 10, G, StyleNone, nullptr},
    {IDC_JOG_UP, K::RadioButton, "Up", 172, 10, 23, 10, G, StyleNone, nullptr},
    {IDC_JOG_DOWN, K::RadioButton, "Down", 210, 10, 36, 10, _, StyleNone, nullptr},
    {IDC_SET_BFO, K::PushButton, "Set", 336, 141, 18, 13, G, StyleNone, nullptr},
    {IDC_STATIC, K::GroupBox, "VOX", 259, 101, 40, 40, _, StyleNone, nullptr},
    {IDC_VOX_OFF, K::RadioButton, "Off", 261, 109, 25, 10, G, StyleNone, nullptr},
    {IDC_VOX_VOICE, K::RadioButton, "Voice", 261, 119, 36, 10, _, StyleNone, nullptr},
    {IDC_VOX_DATA, K::RadioButton, "Data", 261, 129, 30, 10, _, StyleNone, nullptr},
    {IDC_XMIT, K::RadioButton, "Xmit", 2, 0, 37, 10, G, StyleNone, nullptr},
    {IDC_RECEIVE, K::RadioButton, "Receive", 2, 10, 39, 10, _, StyleNone, nullptr},
    {IDC_CHAN_SCAN, K::PushButton, "Chan Scan", 56, 29, 45, 9, G, StyleNone, nullptr},
    {IDC_STATIC, K::StaticText, "Lower", 56, 38, 19, 8, G, StyleNone, nullptr},
    {IDC_SCAN_UPPER, K::Edit, "", 212, 30, 40, 12, _, StyleNone, nullptr},
    {IDC_SCAN_LOWER, K::Edit, "", 171, 30, 40, 12, _, StyleNone, nullptr},
    {IDC_CHAN_LOWER, K::Edit, "", 56, 47, 23, 12, _, StyleNone, nullptr},
    {IDC_CHAN_UPPER, K::Edit, "", 86, 47, 23, 12, _, StyleNone, nullptr},
    {IDC_FREQ_ENTRY, K::Edit, "", 121, 23, 45, 12, _, StyleNone, nullptr},
    {IDC_SET_FREQ, K::PushButton, "Set", 133, 9, 20, 12, G, StyleNone, nullptr},
    {IDC_STATIC, K::GroupBox, "Frequency", 118, 0, 49, 37, _, StyleNone, nullptr},
    {IDC_STATIC, K::GroupBox, "Scan Frequencies", 169, 1, 88, 46, _, StyleNone, nullptr},
    {IDC_STATIC, K::StaticText, "Upper Limit", 212, 22, 35, 8, G, StyleNone, nullptr},
    {IDC_STATIC, K::StaticText, "Lower Limit", 172, 22, 35, 8, G, StyleNone, nullptr},
    {IDC_STATIC, K::StaticText, "Upper", 85, 38, 26, 8, G, StyleNone, nullptr},
    {IDC_TUNE, K::PushButton, "Tune", 261, 146, 26, 14, G, StyleNone, nullptr},
    {IDC_BPF_OFF, K::CheckBox, "BPF Off", 303, 81, 40, 10, _, StyleNone, nullptr},
    {IDC_METER_AUDIO, K::RadioButton, "Audio", 31, 171, 30, 10, G, StyleNone, nullptr},
    {IDC_METER_LINE, K::RadioButton, "Line", 31, 182, 28, 10, _, StyleNone, nullptr},
    {IDC_METER_PATCH, K::RadioButton, "Patch", 66, 171, 33, 10, _, StyleNone, nullptr},
    {IDC_METER_FWD, K::RadioButton, "Fwd", 66, 183, 27, 10, _, StyleNone, nullptr},
    {IDC_METER_REV, K::RadioButton, "Rev", 104, 171, 30, 10, _, StyleNone, nullptr},
    {IDC_METER_VSWR, K::RadioButton, "VSWR", 104, 183, 38, 10, _, StyleNone, nullptr},
    {IDC_STATIC, K::GroupBox, "Meter", 23, 163, 124, 33, _, StyleNone, nullptr},
    {IDC_EXT_PTT, K::CheckBox, "Ext PTT", 303, 62, 39, 10, _, StyleNone, nullptr},
    {IDC_STATUS, K::Edit, "", 202, 197, 145, 14, _, StyleNone, nullptr},
    {IDC_MUTE, K::CheckBox, "Mute", 305, 36, 30, 10, G, StyleNone, nullptr},
    {IDC_LOCAL_AUDIO, K::CheckBox, "LocalAudio", 303, 90, 51, 10, _, StyleNone, nullptr},
    {IDC_STATIC, K::GroupBox, "Amplifier", 218, 167, 140, 21, _, StyleNone, nullptr},
    {IDC_AMP_POWER, K::CheckBox, "Pwr", 218, 177, 31, 10, _, StyleNone, nullptr},
    {IDC_AMP_READY, K::CheckBox, "Rdy", 250, 176, 30, 10, _, StyleNone, nullptr},
    {IDC_AMP_OPERATE, K::CheckBox, "Oper", 282, 176, 39, 10, _, StyleNone, nullptr},
    {IDC_AMP_TUNING, K::CheckBox, "Tuning", 316, 176, 41, 10, _, StyleNone, nullptr},
    {IDC_SETTINGS, K::Edit, "", 156, 169, 48, 14, _, StyleRightAligned, nullptr},
    {IDC_STATIC, K::StaticText, "Jog Frequency", 115, 37, 51, 8, G, StyleNone, nullptr},
    {IDC_STATIC, K::StaticText, "COM Port Settings", 156, 161, 50, 8, G, StyleNone, nullptr},
    {IDC_STATIC, K::GroupBox, "BFO", 302, 131, 55, 30, _, StyleNone, nullptr},
    {IDC_DTR_POWER, K::CheckBox, "Power (DTR)", 155, 185, 58, 10, _, StyleNone, nullptr},
};

static_assert(sizeof kControls / sizeof kControls[0] == 79, "form 101 has 79 controls");

} // namespace

const FormTemplate g_formTavrin = {358, 215, "Arial", 8, kControls, 79};
