#include "web/webcommands.h"

#include <QLineEdit>

#include "panel/combocontrols.h"
#include "panel/tavrinview.h"
#include "res/resource.h"
#include "web/beatwatch.h"
#include "web/webaudio.h"
#include "web/webkeying.h"
#include "web/weblog.h"
#include "web/webmessages.h"

namespace {

using namespace WebMessage;
using Role = OperatorRole;

constexpr int kLongestEntry = 64;

QString ControlName(const WebCall& call) { return call.message.value(QStringLiteral("control")).toString(); }

// A push button, radio button or check box: its click's handler.
QString Press(const WebCommand& command, const WebCall& call)
{
    call.station.view->OnCmdMsg(command.control, Notification::Clicked);
    return {};
}

// Typed over whatever the edit held: the text goes where the form's
// exchange reads it, the form is read in as after a keystroke, and the
// edit is left, which runs its handler where it has one.
QString Enter(const WebCommand& command, const WebCall& call)
{
    const QString text = call.message.value(QStringLiteral("text")).toString();
    if (text.size() > kLongestEntry)
        return QStringLiteral("That is too long for \"%1\".").arg(ControlName(call));
    CTavrinView& view = *call.station.view;
    view.Form().Edit(command.control)->setText(text);
    view.OnFormToState();
    view.OnStateToForm();
    view.OnCmdMsg(command.control, Notification::KillFocus);
    return {};
}

// The item becomes the list's selection, and the list's close-up runs.
QString Choose(const WebCommand& command, const WebCall& call)
{
    ComboControl* list = call.station.view->Form().Combo(command.control);
    const int index = call.message.value(QStringLiteral("index")).toInt(-1);
    if (index < 0 || index >= list->Count())
        return QStringLiteral("\"%1\" has no item %2.").arg(ControlName(call)).arg(index);
    list->SetCurSel(index);
    call.station.view->OnCmdMsg(command.control, Notification::CloseUp);
    return {};
}

// The row becomes the list's selection, and the list's double-click runs.
QString Recall(const WebCommand& command, const WebCall& call)
{
    ComboControl* list = call.station.view->Form().Combo(command.control);
    const int row = call.message.value(QStringLiteral("row")).toInt(-1);
    if (row < 0 || row >= list->Count())
        return QStringLiteral("The channel list has no row %1.").arg(row);
    list->SetCurSel(row);
    call.station.view->OnCmdMsg(command.control, Notification::DoubleClick);
    return {};
}

// Who holds the transmitter, a page's heartbeat and the watchdogs are the
// keying's: it never reaches the panel's buttons from anywhere else.
template <QString (CWebKeying::*how)(const WebSession&, const QObject*)>
QString Keying(const WebCommand&, const WebCall& call)
{
    if (!call.station.keying)
        return QStringLiteral("Keying is not available.");
    return (call.station.keying->*how)(call.session, call.page);
}

QString Beat(const WebCommand&, const WebCall& call)
{
    if (call.station.beats)
        call.station.beats->Beat(call.page);
    return {};
}

QString Listen(const WebCommand&, const WebCall& call)
{
    if (!call.station.audio)
        return QStringLiteral("The station's sound is not available.");
    return call.station.audio->Listen(call.session, call.page, call.message.value(QStringLiteral("on")).toBool());
}

constexpr QLatin1String kShownOnly;  // no command reaches it

#define ROW(command, id, role, flags, section, run) {command, id, #id, Role::role, section, flags, run}

// The controls in the order a phone shows them, what is heard and tuned
// first. Voice and data VOX let the microphone or the data line key the
// transmitter, so they are the transmit role's, as Ext PTT is; VOX Off only
// takes that away.
const WebCommand kCommands[] = {
    ROW(kShownOnly, IDC_FREQ, Listen, 0, "Tuning", nullptr),
    ROW(kPress, IDC_FREQ_DOWN, Operate, 0, "Tuning", &Press),
    ROW(kPress, IDC_FREQ_UP, Operate, 0, "Tuning", &Press),
    ROW(kChoose, IDC_MODE, Operate, 0, "Tuning", &Choose),
    ROW(kChoose, IDC_AGC, Operate, 0, "Tuning", &Choose),
    ROW(kEnter, IDC_FREQ_ENTRY, Operate, 0, "Tuning", &Enter),
    ROW(kPress, IDC_SET_FREQ, Operate, 0, "Tuning", &Press),
    ROW(kPress, IDC_STEP_500K, Operate, 0, "Tuning", &Press),
    ROW(kPress, IDC_STEP_100K, Operate, 0, "Tuning", &Press),
    ROW(kPress, IDC_STEP_50K, Operate, 0, "Tuning", &Press),
    ROW(kPress, IDC_STEP_10K, Operate, 0, "Tuning", &Press),
    ROW(kPress, IDC_STEP_5K, Operate, 0, "Tuning", &Press),
    ROW(kPress, IDC_STEP_1K, Operate, 0, "Tuning", &Press),
    ROW(kPress, IDC_STEP_500, Operate, 0, "Tuning", &Press),
    ROW(kPress, IDC_STEP_100, Operate, 0, "Tuning", &Press),
    ROW(kPress, IDC_STEP_50, Operate, 0, "Tuning", &Press),
    ROW(kPress, IDC_STEP_10, Operate, 0, "Tuning", &Press),
    ROW(kPress, IDC_XMIT, Transmit, kWebLogsItself, "Transmit", &Keying<&CWebKeying::Key>),
    ROW(kPress, IDC_RECEIVE, Transmit, kWebLogsItself, "Transmit", &Keying<&CWebKeying::Receive>),
    ROW(kPress, IDC_TUNE, Transmit, kWebLogsItself, "Transmit", &Keying<&CWebKeying::Tune>),
    ROW(kPress, IDC_EXT_PTT, Transmit, 0, "Transmit", &Press),
    ROW(kRecall, IDC_CHANNELS, Operate, 0, "Channels", &Recall),
    ROW(kPress, IDC_SAVE_CHANNEL, Operate, 0, "Channels", &Press),
    ROW(kPress, IDC_CHAN_SCAN, Operate, 0, "Channels", &Press),
    ROW(kEnter, IDC_CHAN_LOWER, Operate, 0, "Channels", &Enter),
    ROW(kEnter, IDC_CHAN_UPPER, Operate, 0, "Channels", &Enter),
    ROW(kPress, IDC_JOG_UP, Operate, 0, "Scan", &Press),
    ROW(kPress, IDC_JOG_DOWN, Operate, 0, "Scan", &Press),
    ROW(kEnter, IDC_SCAN_LOWER, Operate, 0, "Scan", &Enter),
    ROW(kEnter, IDC_SCAN_UPPER, Operate, 0, "Scan", &Enter),
    ROW(kPress, IDC_INPUT_MIC, Operate, 0, "Audio", &Press),
    ROW(kPress, IDC_INPUT_AUDIO2, Operate, 0, "Audio", &Press),
    ROW(kPress, IDC_INPUT_PATCH, Operate, 0, "Audio", &Press),
    ROW(kPress, IDC_MUTE, Operate, 0, "Audio", &Press),
    ROW(kPress, IDC_SIDE_TONE, Operate, 0, "Audio", &Press),
    ROW(kPress, IDC_CLIPPING, Operate, 0, "Switches", &Press),
    ROW(kPress, IDC_BPF_OFF, Operate, 0, "Switches", &Press),
    ROW(kPress, IDC_LOCAL_AUDIO, Operate, 0, "Switches", &Press),
    ROW(kPress, IDC_VOX_OFF, Operate, 0, "VOX", &Press),
    ROW(kPress, IDC_VOX_VOICE, Transmit, 0, "VOX", &Press),
    ROW(kPress, IDC_VOX_DATA, Transmit, 0, "VOX", &Press),
    ROW(kEnter, IDC_RF_GAIN, Operate, 0, "RF Gain", &Enter),
    ROW(kPress, IDC_SET_RF_GAIN, Operate, 0, "RF Gain", &Press),
    ROW(kEnter, IDC_BFO, Operate, 0, "BFO", &Enter),
    ROW(kPress, IDC_SET_BFO, Operate, 0, "BFO", &Press),
    ROW(kPress, IDC_METER_AUDIO, Operate, 0, "Meter", &Press),
    ROW(kPress, IDC_METER_LINE, Operate, 0, "Meter", &Press),
    ROW(kPress, IDC_METER_PATCH, Operate, 0, "Meter", &Press),
    ROW(kPress, IDC_METER_FWD, Operate, 0, "Meter", &Press),
    ROW(kPress, IDC_METER_REV, Operate, 0, "Meter", &Press),
    ROW(kPress, IDC_METER_VSWR, Operate, 0, "Meter", &Press),
    ROW(kPress, IDC_AMP_POWER, Operate, 0, "Amplifier", &Press),
    ROW(kShownOnly, IDC_AMP_READY, Listen, 0, "Amplifier", nullptr),
    ROW(kPress, IDC_AMP_OPERATE, Operate, 0, "Amplifier", &Press),
    ROW(kShownOnly, IDC_AMP_TUNING, Listen, 0, "Amplifier", nullptr),
    ROW(kShownOnly, IDC_LAST_COMMAND, Listen, 0, "Status", nullptr),
    ROW(kShownOnly, IDC_STATUS, Listen, 0, "Status", nullptr),
    {kKey, 0, nullptr, Role::Transmit, nullptr, kWebLogsItself, &Keying<&CWebKeying::Key>},
    {kUnkey, 0, nullptr, Role::Transmit, nullptr, kWebLogsItself, &Keying<&CWebKeying::Unkey>},
    {kBeat, 0, nullptr, Role::Transmit, nullptr, kWebLogsItself | kWebOnArrival, &Beat},
    {kListen, 0, nullptr, Role::Listen, nullptr, 0, &Listen},
};

#undef ROW

// "IDC_FREQ_UP" -> "freq-up"
QString WebNameOf(const char* resourceName)
{
    QString name = QString::fromLatin1(resourceName);
    if (name.startsWith(QLatin1String("IDC_")))
        name.remove(0, 4);
    return name.toLower().replace(QLatin1Char('_'), QLatin1Char('-'));
}

std::vector<WebControl> BuildControls()
{
    std::vector<WebControl> controls;
    for (const WebCommand& command : kCommands)
        if (command.control != 0)
            controls.push_back({command.control, WebNameOf(command.resourceName), QString::fromLatin1(command.section),
                                command.run ? std::optional(command.leastRole) : std::nullopt});
    return controls;
}

QString Unknown(bool known, const QString& name, const QString& controlName, const WebControl* control)
{
    if (!known)
        return QStringLiteral("Not a command this panel knows.");
    if (!control)
        return QStringLiteral("No control \"%1\" on this panel.").arg(controlName);
    if (!control->role)
        return QStringLiteral("\"%1\" shows what the panel knows; it cannot be changed.").arg(controlName);
    if (name == kEnter)
        return QStringLiteral("\"%1\" takes no typing.").arg(controlName);
    if (name == kChoose)
        return QStringLiteral("\"%1\" has nothing to choose from.").arg(controlName);
    return QStringLiteral("\"%1\" is not a button.").arg(controlName);
}

const WebCommand* FindWebCommand(const QJsonObject& message, QString& why)
{
    const QString name = message.value(QStringLiteral("command")).toString();
    const QString controlName = message.value(QStringLiteral("control")).toString();
    const WebControl* shown = FindWebControl(controlName);
    // A recall names no control: a page has one channel list.
    const int control = name == kRecall ? IDC_CHANNELS : shown ? shown->id : 0;
    bool known = false;
    for (const WebCommand& command : kCommands) {
        if (command.run && command.command == name && command.control == control)
            return &command;
        known = known || (command.run && command.command == name);
    }
    why = Unknown(known, name, controlName, shown);
    return nullptr;
}

bool Reaches(OperatorRole role, OperatorRole least)
{
    switch (least) {
    case OperatorRole::Operate: return MayOperate(role);
    case OperatorRole::Transmit: return MayTransmit(role);
    default: return role != OperatorRole::Watch;  // the fleet's watchers reach no station
    }
}

// The role is checked here, on the server: a page's disabled controls are
// no guard against a hand-made message.
QString RoleRefusal(OperatorRole role, OperatorRole least)
{
    if (Reaches(role, least))
        return {};
    if (!MayOperate(role))
        return QStringLiteral("Your role (%1) may watch but not change the radio.").arg(RoleName(role));
    return QStringLiteral("Your role (%1) may not transmit.").arg(RoleName(role));
}

QString What(const QJsonObject& message)
{
    return (message.value(QStringLiteral("command")).toString() + QLatin1Char(' ')
            + message.value(QStringLiteral("control")).toString()).trimmed();
}

void LogRefusal(const WebSession& session, const QJsonObject& message, const QString& refusal)
{
    qCWarning(lcWeb) << session.name << "as" << RoleName(session.role) << What(message) << "refused:" << refusal;
}

} // namespace

const WebCommand* AdmitWebCommand(const QJsonObject& message, const WebSession& session, QString& why)
{
    const WebCommand* command = FindWebCommand(message, why);
    if (command)
        why = RoleRefusal(session.role, command->leastRole);
    if (why.isEmpty())
        return command;
    LogRefusal(session, message, why);
    return nullptr;
}

QString RunWebCommand(const WebCommand& command, const WebCall& call)
{
    const bool ready = command.control == 0 || call.station.view;
    const QString refusal = ready ? command.run(command, call) : QStringLiteral("The panel is not ready.");
    if (!refusal.isEmpty())
        LogRefusal(call.session, call.message, refusal);
    else if (!(command.flags & kWebLogsItself))
        qCInfo(lcWeb) << call.session.name << "as" << RoleName(call.session.role) << What(call.message);
    return refusal;
}

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
