#include "remote/rigcommands.h"

#include <QSet>
#include <cstring>

#include "remote/dumpstate.h"
#include "remote/rigmodes.h"

namespace {

using Handler = RigAnswer (*)(CRigSeam& rig, const QByteArrayList& args);

struct RigCommand {
    char shortName;        // 0: only the long name
    const char* longName;
    int minArgs;
    int maxArgs;
    bool takesVfo;         // "F VFOA 14074000" as well as "F 14074000"
    Handler run;
};

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

// The radio has one VFO; these are the names a client may give it.
bool IsOurVfo(const QByteArray& token)
{
    static const QSet<QByteArray> ours = {"VFOA", "currVFO", "VFO", "Main", "MainA", "TX", "RX"};
    return ours.contains(token);
}

bool IsOtherVfo(const QByteArray& token)
{
    static const QSet<QByteArray> others = {"VFOB", "VFOC", "MEM", "Sub", "SubA", "SubB", "SubC", "MainB", "MainC"};
    return others.contains(token);
}

RigAnswer GetFrequency(CRigSeam& rig, const QByteArrayList&)
{
    const std::optional<qint64> hz = rig.ReportedFrequencyHz();
    if (!hz)
        return Status(RigStatus::NotAvailable);
    return Values({{"Frequency", QByteArray::number(*hz)}});
}

RigAnswer SetFrequency(CRigSeam& rig, const QByteArrayList& args)
{
    bool ok = false;
    const double hz = args[0].toDouble(&ok);
    if (!ok)
        return Status(RigStatus::InvalidArgument);
    RigAnswer answer = Status(rig.SetFrequency(hz));
    answer.expected.frequencyHz = hz;
    return answer;
}

RigAnswer GetMode(CRigSeam& rig, const QByteArrayList&)
{
    const RigMode* mode = ModeForSetting(rig.ReportedMode());
    if (!mode)
        return Status(RigStatus::NotAvailable);
    return Values({{"Mode", mode->token}, {"Passband", QByteArray::number(mode->passbandHz)}});
}

// The passband is the radio's own; a client's choice is checked and ignored.
RigAnswer SetMode(CRigSeam& rig, const QByteArrayList& args)
{
    const std::optional<char> setting = SettingForToken(args[0]);
    bool passbandOk = true;
    if (args.size() > 1)
        args[1].toLongLong(&passbandOk);
    if (!setting || !passbandOk)
        return Status(RigStatus::InvalidArgument);
    RigAnswer answer = Status(rig.SetMode(*setting));
    answer.expected.mode = *setting;
    return answer;
}

RigAnswer GetPtt(CRigSeam& rig, const QByteArrayList&)
{
    return Values({{"PTT", rig.ReportedTransmit() ? "1" : "0"}});
}

// 1 to 3 (keyed, keyed for the microphone, keyed for data) are one Xmit here.
RigAnswer SetPtt(CRigSeam& rig, const QByteArrayList& args)
{
    const QByteArray& ptt = args[0];
    if (ptt.size() != 1 || ptt[0] < '0' || ptt[0] > '3')
        return Status(RigStatus::InvalidArgument);
    const bool key = ptt[0] != '0';
    RigAnswer answer = Status(key ? rig.Key() : rig.Unkey());
    answer.keyRequested = key;
    answer.expected.transmit = key;
    return answer;
}

RigAnswer GetVfo(CRigSeam&, const QByteArrayList&) { return Values({{"VFO", "VFOA"}}); }

RigAnswer SetVfo(CRigSeam&, const QByteArrayList& args)
{
    if (IsOurVfo(args[0]))
        return Status(RigStatus::Ok);
    return Status(IsOtherVfo(args[0]) ? RigStatus::NotAvailable : RigStatus::InvalidArgument);
}

RigAnswer GetSplitVfo(CRigSeam&, const QByteArrayList&) { return Values({{"Split", "0"}, {"TX VFO", "VFOA"}}); }
RigAnswer CheckVfo(CRigSeam&, const QByteArrayList&) { return Values({{"ChkVFO", "0"}}); }
RigAnswer GetPowerStatus(CRigSeam&, const QByteArrayList&) { return Values({{"Power Status", "1"}}); }
// A client of Debian 12's Hamlib asks this before every mode change and
// changes the mode only when it reads 0.
RigAnswer GetLockMode(CRigSeam&, const QByteArrayList&) { return Values({{"Locked", "0"}}); }

// Commands carry no VFO in front, as chk_vfo says; the mode that wants one
// is not offered.
RigAnswer SetVfoOption(CRigSeam&, const QByteArrayList& args)
{
    if (args[0] == "0")
        return Status(RigStatus::Ok);
    return Status(args[0] == "1" ? RigStatus::NotAvailable : RigStatus::InvalidArgument);
}

RigAnswer DumpState(CRigSeam&, const QByteArrayList&)
{
    QList<RigValue> values;
    for (const QByteArray& line : DumpStateLines())
        values.append({QByteArray(), line});
    return Values(values);
}

RigAnswer Quit(CRigSeam&, const QByteArrayList&)
{
    RigAnswer answer;
    answer.quit = true;
    return answer;
}

const RigCommand kCommands[] = {
    {'f', "get_freq", 0, 0, true, &GetFrequency},
    {'F', "set_freq", 1, 1, true, &SetFrequency},
    {'m', "get_mode", 0, 0, true, &GetMode},
    {'M', "set_mode", 1, 2, true, &SetMode},
    {'t', "get_ptt", 0, 0, true, &GetPtt},
    {'T', "set_ptt", 1, 1, true, &SetPtt},
    {'v', "get_vfo", 0, 0, false, &GetVfo},
    {'V', "set_vfo", 1, 1, false, &SetVfo},
    {'s', "get_split_vfo", 0, 0, true, &GetSplitVfo},
    {0, "chk_vfo", 0, 0, false, &CheckVfo},
    {0, "set_vfo_opt", 1, 1, false, &SetVfoOption},
    {0, "get_powerstat", 0, 0, false, &GetPowerStatus},
    {0, "get_lock_mode", 0, 0, false, &GetLockMode},
    {0, "dump_state", 0, 0, false, &DumpState},
    {'q', "quit", 0, 0, false, &Quit},
};

const RigCommand* FindCommand(const QByteArray& name)
{
    const bool isLong = name.startsWith('\\');
    if (!isLong && name.size() != 1)
        return nullptr;
    for (const RigCommand& command : kCommands) {
        if (isLong ? name.mid(1) == command.longName : command.shortName && name[0] == command.shortName)
            return &command;
    }
    return nullptr;
}

} // namespace

RigAnswer RunRigCommand(const RigRequest& request, CRigSeam& rig)
{
    const RigCommand* command = FindCommand(request.command);
    if (!command)
        return Status(RigStatus::NotImplemented);
    QByteArrayList args = request.args;
    RigStatus refused = RigStatus::Ok;
    if (command->takesVfo && !args.isEmpty() && (IsOurVfo(args.first()) || IsOtherVfo(args.first()))) {
        if (IsOtherVfo(args.first()))
            refused = RigStatus::NotAvailable;
        args.removeFirst();
    }
    if (refused == RigStatus::Ok && (args.size() < command->minArgs || args.size() > command->maxArgs))
        refused = RigStatus::InvalidArgument;
    RigAnswer answer = refused == RigStatus::Ok ? command->run(rig, args) : Status(refused);
    answer.longName = command->longName;
    return answer;
}

QByteArray AnswerRigLine(const QByteArray& line, CRigSeam& rig)
{
    const std::optional<RigRequest> request = ParseRigLine(line);
    return request ? FormatRigAnswer(*request, RunRigCommand(*request, rig)) : QByteArray();
}
