#include "web/webcontrols.h"

#include "res/resource.h"

namespace {

struct Row {
    int id;
    const char* resourceName;
    WebUse use;
    const char* section;
};

#define WEB_CONTROL(id, use, section) {id, #id, use, section}

// In the order a phone shows them: what is heard and tuned first.
const Row kRows[] = {
    WEB_CONTROL(IDC_FREQ, WebUse::Shown, "Tuning"),
    WEB_CONTROL(IDC_FREQ_DOWN, WebUse::Operate, "Tuning"),
    WEB_CONTROL(IDC_FREQ_UP, WebUse::Operate, "Tuning"),
    WEB_CONTROL(IDC_MODE, WebUse::Operate, "Tuning"),
    WEB_CONTROL(IDC_AGC, WebUse::Operate, "Tuning"),
    WEB_CONTROL(IDC_FREQ_ENTRY, WebUse::Operate, "Tuning"),
    WEB_CONTROL(IDC_SET_FREQ, WebUse::Operate, "Tuning"),
    WEB_CONTROL(IDC_STEP_500K, WebUse::Operate, "Tuning"),
    WEB_CONTROL(IDC_STEP_100K, WebUse::Operate, "Tuning"),
    WEB_CONTROL(IDC_STEP_50K, WebUse::Operate, "Tuning"),
    WEB_CONTROL(IDC_STEP_10K, WebUse::Operate, "Tuning"),
    WEB_CONTROL(IDC_STEP_5K, WebUse::Operate, "Tuning"),
    WEB_CONTROL(IDC_STEP_1K, WebUse::Operate, "Tuning"),
    WEB_CONTROL(IDC_STEP_500, WebUse::Operate, "Tuning"),
    WEB_CONTROL(IDC_STEP_100, WebUse::Operate, "Tuning"),
    WEB_CONTROL(IDC_STEP_50, WebUse::Operate, "Tuning"),
    WEB_CONTROL(IDC_STEP_10, WebUse::Operate, "Tuning"),
    WEB_CONTROL(IDC_XMIT, WebUse::Keying, "Transmit"),
    WEB_CONTROL(IDC_RECEIVE, WebUse::Keying, "Transmit"),
    WEB_CONTROL(IDC_TUNE, WebUse::Keying, "Transmit"),
    WEB_CONTROL(IDC_EXT_PTT, WebUse::Transmit, "Transmit"),
    WEB_CONTROL(IDC_CHANNELS, WebUse::Operate, "Channels"),
    WEB_CONTROL(IDC_SAVE_CHANNEL, WebUse::Operate, "Channels"),
    WEB_CONTROL(IDC_CHAN_SCAN, WebUse::Operate, "Channels"),
    WEB_CONTROL(IDC_CHAN_LOWER, WebUse::Operate, "Channels"),
    WEB_CONTROL(IDC_CHAN_UPPER, WebUse::Operate, "Channels"),
    WEB_CONTROL(IDC_JOG_UP, WebUse::Operate, "Scan"),
    WEB_CONTROL(IDC_JOG_DOWN, WebUse::Operate, "Scan"),
    WEB_CONTROL(IDC_SCAN_LOWER, WebUse::Operate, "Scan"),
    WEB_CONTROL(IDC_SCAN_UPPER, WebUse::Operate, "Scan"),
    WEB_CONTROL(IDC_INPUT_MIC, WebUse::Operate, "Audio"),
    WEB_CONTROL(IDC_INPUT_AUDIO2, WebUse::Operate, "Audio"),
    WEB_CONTROL(IDC_INPUT_PATCH, WebUse::Operate, "Audio"),
    WEB_CONTROL(IDC_MUTE, WebUse::Operate, "Audio"),
    WEB_CONTROL(IDC_SIDE_TONE, WebUse::Operate, "Audio"),
    WEB_CONTROL(IDC_CLIPPING, WebUse::Operate, "Switches"),
    WEB_CONTROL(IDC_BPF_OFF, WebUse::Operate, "Switches"),
    WEB_CONTROL(IDC_LOCAL_AUDIO, WebUse::Operate, "Switches"),
    // Voice and data VOX let the microphone or the data line key the
    // transmitter, so they are the transmit role's, as Ext PTT is; VOX Off
    // only takes that away.
    WEB_CONTROL(IDC_VOX_OFF, WebUse::Operate, "VOX"),
    WEB_CONTROL(IDC_VOX_VOICE, WebUse::Transmit, "VOX"),
    WEB_CONTROL(IDC_VOX_DATA, WebUse::Transmit, "VOX"),
    WEB_CONTROL(IDC_RF_GAIN, WebUse::Operate, "RF Gain"),
    WEB_CONTROL(IDC_SET_RF_GAIN, WebUse::Operate, "RF Gain"),
    WEB_CONTROL(IDC_BFO, WebUse::Operate, "BFO"),
    WEB_CONTROL(IDC_SET_BFO, WebUse::Operate, "BFO"),
    WEB_CONTROL(IDC_METER_AUDIO, WebUse::Operate, "Meter"),
    WEB_CONTROL(IDC_METER_LINE, WebUse::Operate, "Meter"),
    WEB_CONTROL(IDC_METER_PATCH, WebUse::Operate, "Meter"),
    WEB_CONTROL(IDC_METER_FWD, WebUse::Operate, "Meter"),
    WEB_CONTROL(IDC_METER_REV, WebUse::Operate, "Meter"),
    WEB_CONTROL(IDC_METER_VSWR, WebUse::Operate, "Meter"),
    WEB_CONTROL(IDC_AMP_POWER, WebUse::Operate, "Amplifier"),
    WEB_CONTROL(IDC_AMP_READY, WebUse::Shown, "Amplifier"),
    WEB_CONTROL(IDC_AMP_OPERATE, WebUse::Operate, "Amplifier"),
    WEB_CONTROL(IDC_AMP_TUNING, WebUse::Shown, "Amplifier"),
    WEB_CONTROL(IDC_LAST_COMMAND, WebUse::Shown, "Status"),
    WEB_CONTROL(IDC_STATUS, WebUse::Shown, "Status"),
};

#undef WEB_CONTROL

std::vector<WebControl> BuildControls()
{
    std::vector<WebControl> controls;
    for (const Row& row : kRows)
        controls.push_back({row.id, WebNameOfResource(row.resourceName), row.use, QString::fromLatin1(row.section)});
    return controls;
}

} // namespace

const std::vector<WebControl>& WebControls()
{
    static const std::vector<WebControl> controls = BuildControls();
    return controls;
}

const WebControl* FindWebControl(const QString& name)
{
    for (const WebControl& control : WebControls())
        if (control.name == name)
            return &control;
    return nullptr;
}

QString WebNameOfResource(const char* resourceName)
{
    QString name = QString::fromLatin1(resourceName);
    if (name.startsWith(QLatin1String("IDC_")))
        name.remove(0, 4);
    return name.toLower().replace(QLatin1Char('_'), QLatin1Char('-'));
}

bool MayUse(OperatorRole role, WebUse use)
{
    switch (use) {
    case WebUse::Shown: return false;
    case WebUse::Operate: return MayOperate(role);
    case WebUse::Transmit:
    case WebUse::Keying: return MayTransmit(role);
    }
    return false;
}

QString UseName(WebUse use)
{
    switch (use) {
    case WebUse::Shown: return QString();
    case WebUse::Operate: return RoleName(OperatorRole::Operate);
    case WebUse::Transmit:
    case WebUse::Keying: return RoleName(OperatorRole::Transmit);
    }
    return QString();
}
