#include "web/webpanelstate.h"

#include <optional>

#include "panel/templatelookup.h"
#include "reading/panelreading.h"
#include "res/formtemplate.h"
#include "res/resource.h"
#include "web/webcommands.h"

namespace {

// The frequency entry is not among them: what is typed there belongs to
// the page (or the desktop) typing it, and goes to the radio with Set.
const CString* EditText(const PanelReading& panel, int id)
{
    switch (id) {
    case IDC_FREQ: return &panel.freqText;
    case IDC_SCAN_UPPER: return &panel.scanUpper;
    case IDC_SCAN_LOWER: return &panel.scanLower;
    case IDC_CHAN_LOWER: return &panel.chanLower;
    case IDC_CHAN_UPPER: return &panel.chanUpper;
    case IDC_RF_GAIN: return &panel.rfGain;
    case IDC_BFO: return &panel.bfo;
    case IDC_LAST_COMMAND: return &panel.lastCommand;
    case IDC_STATUS: return &panel.lastReport;
    default: return nullptr;
    }
}

const int* CheckBox(const PanelReading& panel, int id)
{
    switch (id) {
    case IDC_CLIPPING: return &panel.clipping;
    case IDC_SIDE_TONE: return &panel.sideTone;
    case IDC_BPF_OFF: return &panel.bpfOff;
    case IDC_EXT_PTT: return &panel.extPtt;
    case IDC_MUTE: return &panel.mute;
    case IDC_LOCAL_AUDIO: return &panel.localAudio;
    case IDC_AMP_POWER: return &panel.ampPower;
    case IDC_AMP_READY: return &panel.ampReady;
    case IDC_AMP_OPERATE: return &panel.ampOperate;
    case IDC_AMP_TUNING: return &panel.ampTuning;
    default: return nullptr;
    }
}

// A radio group's position, by the id of its first button.
const int* RadioGroup(const PanelReading& panel, int firstId)
{
    switch (firstId) {
    case IDC_STEP_500K: return &panel.step;
    case IDC_INPUT_MIC: return &panel.audioInput;
    case IDC_JOG_UP: return &panel.jog;
    case IDC_VOX_OFF: return &panel.vox;
    case IDC_XMIT: return &panel.txRx;
    case IDC_METER_AUDIO: return &panel.meter;
    default: return nullptr;
    }
}

// The item a report's setting character selects, as the parser selects it
// by (value AND 0x0F) - 1; a value that names no item selects none.
QString ListItem(const FormControl& list, char reported)
{
    const int index = (reported & 0x0F) - 1;
    for (int i = 0; list.items && list.items[i]; ++i)
        if (i == index)
            return QString::fromLatin1(list.items[i]);
    return QString();
}

std::optional<QJsonValue> Shown(const PanelReading& panel, const FormControl& control)
{
    switch (control.kind) {
    case ControlKind::Edit:
        if (const CString* text = EditText(panel, control.id))
            return QJsonValue(ToWidgetText(*text));
        break;
    case ControlKind::CheckBox:
        if (const int* box = CheckBox(panel, control.id))
            return QJsonValue(*box != 0);
        break;
    case ControlKind::RadioButton: {
        const RadioPlace place = RadioPlaceOf(g_formTavrin, control.id);
        if (const int* group = RadioGroup(panel, place.firstId))
            return QJsonValue(*group == place.position);
        break;
    }
    case ControlKind::ComboDropDown:
        return QJsonValue(ListItem(control, control.id == IDC_MODE ? panel.mode : panel.agc));
    default:
        break;
    }
    return std::nullopt;
}

QString LinkWords(const PanelReading& panel)
{
    if (!panel.portOpen)
        return panel.portProblem.isEmpty() ? QStringLiteral("port closed") : panel.portProblem;
    return panel.silent ? QStringLiteral("radio silent") : QString();
}

} // namespace

QJsonObject WebPanelState::ValuesChangedSince(const WebPanelState& before) const
{
    QJsonObject changed;
    for (auto value = values.begin(); value != values.end(); ++value)
        if (before.values.value(value.key()) != value.value())
            changed.insert(value.key(), value.value());
    return changed;
}

bool WebPanelState::operator==(const WebPanelState& other) const
{
    return values == other.values && channels == other.channels && link == other.link;
}

WebPanelState WebPanelStateOf(const PanelReading& panel)
{
    WebPanelState state;
    for (const WebControl& control : WebControls()) {
        const FormControl* shape = TemplateControl(g_formTavrin, control.id);
        if (const std::optional<QJsonValue> value = shape ? Shown(panel, *shape) : std::nullopt)
            state.values.insert(control.name, *value);
    }
    state.channels = panel.channelLines;
    state.values.insert(QStringLiteral("transmit"), panel.RadioKeyed());
    state.values.insert(QStringLiteral("scanning"), panel.chanScan);
    state.link = LinkWords(panel);
    return state;
}
