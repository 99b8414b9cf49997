#include "remote/rigcommands.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <iterator>

#include "keying/transmitholder.h"
#include "remote/dumpstate.h"
#include "remote/riginfo.h"
#include "remote/riglineparser.h"
#include "remote/rigmodes.h"

namespace {

RigAnswer Status(RigStatus status)
{
    RigAnswer answer;
    answer.status = status;
    return answer;
}

RigAnswer Values(QList<RigValue> values)
{
    RigAnswer answer;
    answer.values = std::move(values);
    return answer;
}

RigAnswer Names(const QByteArray& names, bool forSet)
{
    RigAnswer answer;
    answer.names = names;
    answer.statusAfterNames = forSet;
    return answer;
}

template <size_t N>
bool IsOneOf(QByteArrayView token, const char* const (&names)[N])
{
    return std::any_of(std::begin(names), std::end(names), [token](const char* name) { return token == name; });
}

// The radio has one VFO; these are the names a client may give it.
bool IsOurVfo(QByteArrayView token)
{
    static const char* const ours[] = {"VFOA", "currVFO", "VFO", "Main", "MainA", "TX", "RX"};
    return IsOneOf(token, ours);
}

bool IsOtherVfo(QByteArrayView token)
{
    static const char* const others[] = {"VFOB", "VFOC", "MEM", "Sub", "SubA", "SubB", "SubC", "MainB", "MainC"};
    return IsOneOf(token, others);
}

RigAnswer GetFrequency(RigCall& call)
{
    const std::optional<qint64> hz = call.rig.ReportedFrequencyHz();
    if (!hz)
        return Status(RigStatus::NotAvailable);
    return Values({{"Frequency", QByteArray::number(*hz)}});
}

RigAnswer SetFrequency(RigCall& call)
{
    bool ok = false;
    const double hz = call.args[0].toDouble(&ok);
    if (!ok)
        return Status(RigStatus::InvalidArgument);
    RigAnswer answer = Status(call.rig.SetFrequency(hz));
    answer.expected.frequencyHz = hz;
    return answer;
}

// The mode as this client set it: a data mode reads back while the radio
// stays on its sideband.
const RigMode* ShownMode(RigCall& call)
{
    const RigMode* mode = ModeForSetting(call.rig.ReportedMode());
    if (!mode)
        return nullptr;
    const RigMode*& dataMode = call.client.dataMode;
    if (dataMode && dataMode->setting != mode->setting)
        dataMode = nullptr;  // the radio has gone to another mode since
    return dataMode ? dataMode : mode;
}

RigAnswer GetMode(RigCall& call)
{
    const RigMode* shown = ShownMode(call);
    if (!shown)
        return Status(RigStatus::NotAvailable);
    return Values({{"Mode", shown->token}, {"Passband", QByteArray::number(shown->passbandHz)}});
}

// What Log4OM polls. Any name but another VFO's is the radio's one, as
// rigctld takes a name it does not know for the current VFO.
RigAnswer GetVfoInfo(RigCall& call)
{
    if (call.args[0] == "?")
        return Names("VFOA ", false);
    if (IsOtherVfo(call.args[0]))
        return Status(RigStatus::NotAvailable);
    const std::optional<qint64> hz = call.rig.ReportedFrequencyHz();
    const RigMode* shown = ShownMode(call);
    if (!hz || !shown)
        return Status(RigStatus::NotAvailable);
    return Values({{"Freq", QByteArray::number(*hz)},
                   {"Mode", shown->token},
                   {"Width", QByteArray::number(shown->passbandHz)},
                   {"Split", "0"},
                   {"SatMode", "0"}});
}

// One block of text, which rigctld ends with a line of its own in every
// reply, as it does a list of names.
RigAnswer GetRigInfo(RigCall& call)
{
    const std::optional<qint64> hz = call.rig.ReportedFrequencyHz();
    const RigMode* shown = ShownMode(call);
    if (!hz || !shown)
        return Status(RigStatus::NotAvailable);
    return Names(RigInfoText(*hz, shown->token, shown->passbandHz), false);
}

// Whole or decimal, -1 (no change) and 0 (the default) among them.
bool IsPassband(const QByteArray& token)
{
    bool ok = false;
    const double hz = token.toDouble(&ok);
    return ok && std::isfinite(hz);
}

// The passband is the radio's own; a client's choice is checked and ignored.
RigAnswer SetMode(RigCall& call)
{
    if (call.args[0] == "?")
        return Names(ModeNames(), true);
    const RigMode* mode = ModeForToken(call.args[0]);
    if (!mode || (call.args.size() > 1 && !IsPassband(call.args[1])))
        return Status(RigStatus::InvalidArgument);
    RigAnswer answer = Status(call.rig.SetMode(mode->setting));
    if (answer.status == RigStatus::Ok)
        call.client.dataMode = ModeForSetting(mode->setting) == mode ? nullptr : mode;
    answer.expected.mode = mode->setting;
    return answer;
}

RigAnswer GetPtt(RigCall& call) { return Values({{"PTT", call.rig.ReportedTransmit() ? "1" : "0"}}); }

// 1 to 3 (keyed, keyed for the microphone, keyed for data) are one Xmit here.
RigAnswer SetPtt(RigCall& call)
{
    const QByteArray& ptt = call.args[0];
    if (ptt.size() != 1 || ptt[0] < '0' || ptt[0] > '3')
        return Status(RigStatus::InvalidArgument);
    const bool key = ptt[0] != '0';
    CTransmitHolder* holder = call.client.holder;
    if (key && holder && !holder->Claim(call.client.keyer))
        return Status(RigStatus::Rejected);
    if (!key && holder)
        holder->NoteUnkeyReason(QStringLiteral("rig-control T 0"), call.client.keyer);
    RigAnswer answer = Status(key ? call.rig.Key() : call.rig.Unkey());
    answer.keyRequested = key;
    answer.expected.transmit = key;
    return answer;
}

RigAnswer GetVfo(RigCall&) { return Values({{"VFO", "VFOA"}}); }

RigAnswer SetVfo(RigCall& call)
{
    const QByteArray& vfo = call.args[0];
    if (vfo == "?")
        return Names("VFOA ", true);
    if (IsOurVfo(vfo))
        return Status(RigStatus::Ok);
    return Status(IsOtherVfo(vfo) ? RigStatus::NotAvailable : RigStatus::InvalidArgument);
}

RigAnswer GetSplitVfo(RigCall&) { return Values({{"Split", "0"}, {"TX VFO", "VFOA"}}); }
RigAnswer CheckVfo(RigCall&) { return Values({{"ChkVFO", "0"}}); }
RigAnswer GetPowerStatus(RigCall&) { return Values({{"Power Status", "1"}}); }
// A client of Debian 12's Hamlib asks this before every mode change and
// changes the mode only when it reads 0.
RigAnswer GetLockMode(RigCall&) { return Values({{"Locked", "0"}}); }

// Commands carry no VFO in front, as chk_vfo says; the mode that wants one
// is not offered.
RigAnswer SetVfoOption(RigCall& call)
{
    if (call.args[0] == "0")
        return Status(RigStatus::Ok);
    return Status(call.args[0] == "1" ? RigStatus::NotAvailable : RigStatus::InvalidArgument);
}

// The same lines every time: made once, shared by every answer.
RigAnswer DumpState(RigCall&)
{
    static const QList<RigValue> values = [] {
        QList<RigValue> lines;
        for (const QByteArray& line : DumpStateLines())
            lines.append({{}, line});
        return lines;
    }();
    return Values(values);
}

RigAnswer Quit(RigCall&)
{
    RigAnswer answer;
    answer.quit = true;
    return answer;
}

// Known commands for what the radio does not have.
RigAnswer Lacking(RigCall&) { return Status(RigStatus::NotAvailable); }

// No level or function can be read or set; asked for the list, it is empty.
RigAnswer NoneToSet(RigCall& call) { return call.args[0] == "?" ? Names({}, true) : Lacking(call); }
RigAnswer NoneToGet(RigCall& call) { return call.args[0] == "?" ? Names({}, false) : Lacking(call); }

constexpr unsigned kVfoReading = kRigTakesVfo | kRigReadsRadio;

const RigCommand kCommands[] = {
    {'f', "get_freq", 0, 0, kVfoReading, &GetFrequency},
    {'F', "set_freq", 1, 1, kRigTakesVfo, &SetFrequency},
    {'m', "get_mode", 0, 0, kVfoReading, &GetMode},
    {'M', "set_mode", 1, 2, kRigTakesVfo, &SetMode},
    {'t', "get_ptt", 0, 0, kVfoReading, &GetPtt},
    {'T', "set_ptt", 1, 1, kRigTakesVfo, &SetPtt},
    {'v', "get_vfo", 0, 0, 0, &GetVfo},
    {'V', "set_vfo", 1, 1, 0, &SetVfo},
    {'s', "get_split_vfo", 0, 0, kVfoReading, &GetSplitVfo},
    {0, "chk_vfo", 0, 0, 0, &CheckVfo},
    {0, "set_vfo_opt", 1, 1, 0, &SetVfoOption},
    {0, "get_powerstat", 0, 0, 0, &GetPowerStatus},
    {0, "get_lock_mode", 0, 0, 0, &GetLockMode},
    {0, "dump_state", 0, 0, 0, &DumpState},
    {0, "get_vfo_info", 1, 1, kRigReadsRadio, &GetVfoInfo},
    {0, "get_rig_info", 0, 0, kRigReadsRadio, &GetRigInfo},
    {'q', "quit", 0, 0, 0, &Quit},
    {'Q', "quit", 0, 0, 0, &Quit},
    {'S', "set_split_vfo", 2, 2, kRigTakesVfo, &Lacking},
    {'I', "set_split_freq", 1, 1, kRigTakesVfo, &Lacking},
    {'i', "get_split_freq", 0, 0, kRigTakesVfo, &Lacking},
    {'X', "set_split_mode", 1, 2, kRigTakesVfo, &Lacking},
    {'x', "get_split_mode", 0, 0, kRigTakesVfo, &Lacking},
    {'J', "set_rit", 1, 1, kRigTakesVfo, &Lacking},
    {'j', "get_rit", 0, 0, kRigTakesVfo, &Lacking},
    {'Z', "set_xit", 1, 1, kRigTakesVfo, &Lacking},
    {'z', "get_xit", 0, 0, kRigTakesVfo, &Lacking},
    {'L', "set_level", 1, 2, kRigTakesVfo, &NoneToSet},
    {'l', "get_level", 1, 1, kRigTakesVfo, &NoneToGet},
    {'U', "set_func", 1, 2, kRigTakesVfo, &NoneToSet},
    {'u', "get_func", 1, 1, kRigTakesVfo, &NoneToGet},
    {'b', "send_morse", 1, kRigRestOfLine, kRigTakesVfo, &Lacking},
    {0, "stop_morse", 0, 0, kRigTakesVfo, &Lacking},
    {0, "wait_morse", 0, 0, kRigTakesVfo, &Lacking},
    {0, "set_powerstat", 1, 1, 0, &Lacking},
};

// The table's row for each short name; none for a byte that names nothing.
const std::array<const RigCommand*, 256>& CommandsByShortName()
{
    static const auto byName = [] {
        std::array<const RigCommand*, 256> rows{};
        for (const RigCommand& command : kCommands)
            if (command.shortName && !rows[quint8(command.shortName)])
                rows[quint8(command.shortName)] = &command;
        return rows;
    }();
    return byName;
}

// Refused before it runs: a VFO the radio lacks, or too few or too many
// arguments. A VFO in front is taken off the arguments.
RigStatus Refusal(const RigCommand& command, QByteArrayList& args)
{
    if ((command.flags & kRigTakesVfo) && !args.isEmpty() && IsRigVfoName(args.first())
        && IsOtherVfo(args.takeFirst()))
        return RigStatus::NotAvailable;
    if (args.size() < command.minArgs || args.size() > command.maxArgs)
        return RigStatus::InvalidArgument;
    return RigStatus::Ok;
}

} // namespace

const RigCommand* FindRigCommand(QByteArrayView name)
{
    const bool isLong = name.startsWith('\\');
    if (!isLong && name.size() != 1)
        return nullptr;
    // Every command a client sends is looked up here: a short name by its
    // byte, a long one compared where it lies, never copied.
    if (!isLong)
        return CommandsByShortName()[quint8(name[0])];
    const QByteArrayView longName = name.sliced(1);
    for (const RigCommand& command : kCommands)
        if (longName == QByteArrayView(command.longName))
            return &command;
    return nullptr;
}

bool IsRigVfoName(QByteArrayView token) { return IsOurVfo(token) || IsOtherVfo(token); }

// A reading is the radio's present state only while the radio is heard.
RigAnswer RunRigCommand(const RigRequest& request, CRigSeam& rig, RigClientState& client)
{
    const RigCommand* command = request.command;
    if (!command)
        return Status(RigStatus::NotImplemented);
    RigCall call{rig, client, request.args};
    RigStatus refused = Refusal(*command, call.args);
    if (refused == RigStatus::Ok && (command->flags & kRigReadsRadio))
        refused = rig.Link();
    RigAnswer answer = refused == RigStatus::Ok ? command->run(call) : Status(refused);
    answer.longName = command->longName;
    return answer;
}

QByteArrayList AnswerRigCommands(const QByteArray& line, CRigSeam& rig, RigClientState& client)
{
    const QList<RigRequest> requests = ParseRigLine(line);
    QByteArrayList replies;
    replies.reserve(requests.size());
    for (const RigRequest& request : requests) {
        const RigAnswer answer = RunRigCommand(request, rig, client);
        replies << FormatRigAnswer(request, answer);
        if (answer.quit)
            break;
    }
    return replies;
}

QByteArray AnswerRigLine(const QByteArray& line, CRigSeam& rig, RigClientState& client)
{
    return AnswerRigCommands(line, rig, client).join();
}

QByteArray AnswerRigLine(const QByteArray& line, CRigSeam& rig)
{
    RigClientState client;
    return AnswerRigLine(line, rig, client);
}
