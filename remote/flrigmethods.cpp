#include "remote/flrigmethods.h"

#include <cmath>

#include "keying/transmitholder.h"
#include "remote/rigmodes.h"
#include "remote/rigseam.h"

namespace {

struct FlrigCall {
    CRigSeam& rig;
    CTransmitHolder* holder;
    FlrigClient& client;
    const QVariantList& params;
};

FlrigAnswer Value(const QVariant& value)
{
    FlrigAnswer answer;
    answer.value = value;
    return answer;
}

FlrigAnswer Fault(XmlRpcFault code, const QString& reason)
{
    FlrigAnswer answer;
    answer.fault = code;
    answer.reason = reason;
    return answer;
}

FlrigAnswer BadParameter(const QString& wanted) { return Fault(XmlRpcFault::BadParameters, wanted); }

QString StatusReason(RigStatus status)
{
    switch (status) {
    case RigStatus::IoError:
        return QStringLiteral("the radio's port is closed");
    case RigStatus::TimedOut:
        return QStringLiteral("no report from the radio");
    case RigStatus::NotAvailable:
        return QStringLiteral("the radio has not reported it yet");
    case RigStatus::InvalidArgument:
        return QStringLiteral("the radio cannot take that value");
    default:
        return QStringLiteral("refused");
    }
}

// A set that reached the panel; it is answered when the report shows it.
FlrigAnswer Sent(RigStatus status)
{
    return status == RigStatus::Ok ? Value(QString()) : Fault(XmlRpcFault::Refused, StatusReason(status));
}

bool IsWhole(const QVariant& value) { return value.typeId() == QMetaType::LongLong; }

FlrigAnswer GetVersion(FlrigCall&) { return Value(QStringLiteral("1.4.7")); }
FlrigAnswer GetTransceiver(FlrigCall&) { return Value(QStringLiteral("RF-350")); }
FlrigAnswer ListMethods(FlrigCall&) { return Value(FlrigMethodNames()); }
FlrigAnswer GetAB(FlrigCall&) { return Value(QStringLiteral("A")); }
FlrigAnswer GetSplit(FlrigCall&) { return Value(0); }

std::optional<qint64> Frequency(FlrigCall& call) { return call.rig.ReportedFrequencyHz(); }

FlrigAnswer NotReportedYet(const char* what)
{
    return Fault(XmlRpcFault::Refused, QStringLiteral("the radio has not reported its %1 yet").arg(QLatin1String(what)));
}

// As flrig answers it: whole hertz, as a string.
FlrigAnswer GetVfo(FlrigCall& call)
{
    const std::optional<qint64> hz = Frequency(call);
    return hz ? Value(QString::number(*hz)) : NotReportedYet("frequency");
}

FlrigAnswer GetFrequency(FlrigCall& call)
{
    const std::optional<qint64> hz = Frequency(call);
    return hz ? Value(double(*hz)) : NotReportedYet("frequency");
}

FlrigAnswer SetFrequency(FlrigCall& call)
{
    const QVariant& given = call.params[0];
    if (!IsWhole(given) && given.typeId() != QMetaType::Double)
        return BadParameter(QStringLiteral("the frequency is a number of hertz, int or double"));
    const double hz = given.toDouble();
    if (!std::isfinite(hz))
        return BadParameter(QStringLiteral("the frequency is not a number"));
    FlrigAnswer answer = Sent(call.rig.SetFrequency(hz));
    answer.expected.frequencyHz = hz;
    return answer;
}

// The mode as this client set it: USB-D or LSB-D read back while the radio
// stays on that sideband.
const RigMode* ShownMode(FlrigCall& call)
{
    const RigMode* mode = ModeForSetting(call.rig.ReportedMode());
    const RigMode*& dataMode = call.client.state.dataMode;
    if (mode && dataMode && dataMode->setting != mode->setting)
        dataMode = nullptr;
    return mode && dataMode ? dataMode : mode;
}

FlrigAnswer GetMode(FlrigCall& call)
{
    const RigMode* mode = ShownMode(call);
    return mode ? Value(QLatin1String(mode->flrigName)) : NotReportedYet("mode");
}

FlrigAnswer SetMode(FlrigCall& call)
{
    const QVariant& given = call.params[0];
    if (given.typeId() != QMetaType::QString)
        return BadParameter(QStringLiteral("the mode is a string"));
    const RigMode* mode = ModeForFlrigName(given.toString());
    if (!mode)
        return BadParameter(QStringLiteral("the radio has no mode \"%1\"").arg(given.toString().left(20)));
    FlrigAnswer answer = Sent(call.rig.SetMode(mode->setting));
    if (!answer.fault)
        call.client.state.dataMode = ModeForSetting(mode->setting) == mode ? nullptr : mode;
    answer.expected.mode = mode->setting;
    return answer;
}

FlrigAnswer GetModes(FlrigCall&) { return Value(FlrigModeNames()); }

FlrigAnswer GetSideband(FlrigCall& call)
{
    const RigMode* mode = ModeForSetting(call.rig.ReportedMode());
    if (!mode)
        return NotReportedYet("mode");
    return Value(mode->setting == '2' ? QStringLiteral("L") : QStringLiteral("U"));
}

// The radio's passband goes with its mode and cannot be set.
FlrigAnswer GetBandwidth(FlrigCall& call)
{
    const RigMode* mode = ModeForSetting(call.rig.ReportedMode());
    if (!mode)
        return NotReportedYet("mode");
    return Value(QStringList{QString::number(mode->passbandHz), QString()});
}

FlrigAnswer GetBandwidths(FlrigCall&)
{
    QStringList widths{QStringLiteral("Bandwidth")};
    for (const RigMode& mode : g_rigModes)
        if (!widths.contains(QString::number(mode.passbandHz)))
            widths << QString::number(mode.passbandHz);
    return Value(QVariantList{widths});
}

FlrigAnswer GetPtt(FlrigCall& call) { return Value(call.rig.ReportedTransmit() ? 1 : 0); }

// The transmitter is the station's one: a key while someone else holds it
// is refused, named; an unkey from anyone is let through.
FlrigAnswer SetPtt(FlrigCall& call)
{
    const QVariant& given = call.params[0];
    if (!IsWhole(given) || (given.toLongLong() != 0 && given.toLongLong() != 1))
        return BadParameter(QStringLiteral("PTT is an int, 1 to key or 0 to unkey"));
    const bool key = given.toLongLong() == 1;
    if (key && call.holder && !call.holder->Claim(call.client.keyer)) {
        const std::optional<Keyer> holder = call.holder->Holder();
        return Fault(XmlRpcFault::Refused, QStringLiteral("the transmitter is held by %1")
                                               .arg(holder ? holder->Who() : QStringLiteral("another")));
    }
    if (!key && call.holder)
        call.holder->NoteUnkeyReason(QStringLiteral("flrig set_ptt 0"), call.client.keyer);
    FlrigAnswer answer = Sent(key ? call.rig.Key() : call.rig.Unkey());
    answer.keyRequested = key;
    answer.expected.transmit = key;
    return answer;
}

constexpr bool kReadsRadio = true;

struct FlrigMethod {
    const char* name;
    int params;
    bool readsRadio;
    FlrigAnswer (*run)(FlrigCall& call);
};

// The calls of Hamlib's FLRig client and of fldigi, WSJT-X and the loggers
// that use it. rig.get_pwrmeter_scale and rig.set_bwA are left out on
// purpose: a client probes them and takes the fault as "not there".
const FlrigMethod kMethods[] = {
    {"main.get_version", 0, false, &GetVersion},
    {"rig.get_xcvr", 0, false, &GetTransceiver},
    {"system.listMethods", 0, false, &ListMethods},
    {"rig.get_vfo", 0, kReadsRadio, &GetVfo},
    {"rig.get_vfoA", 0, kReadsRadio, &GetVfo},
    {"rig.get_vfoB", 0, kReadsRadio, &GetVfo},
    {"main.get_frequency", 0, kReadsRadio, &GetFrequency},
    {"rig.set_vfo", 1, false, &SetFrequency},
    {"rig.set_vfoA", 1, false, &SetFrequency},
    {"rig.set_frequency", 1, false, &SetFrequency},
    {"main.set_frequency", 1, false, &SetFrequency},
    {"rig.get_mode", 0, kReadsRadio, &GetMode},
    {"rig.get_modeA", 0, kReadsRadio, &GetMode},
    {"rig.set_mode", 1, false, &SetMode},
    {"rig.set_modeA", 1, false, &SetMode},
    {"rig.get_modes", 0, false, &GetModes},
    {"rig.get_sideband", 0, kReadsRadio, &GetSideband},
    {"rig.get_bw", 0, kReadsRadio, &GetBandwidth},
    {"rig.get_bwA", 0, kReadsRadio, &GetBandwidth},
    {"rig.get_bws", 0, false, &GetBandwidths},
    {"rig.get_AB", 0, false, &GetAB},
    {"rig.get_split", 0, false, &GetSplit},
    {"rig.get_ptt", 0, kReadsRadio, &GetPtt},
    {"rig.set_ptt", 1, false, &SetPtt},
    {"rig.set_ptt_fast", 1, false, &SetPtt},
};

const FlrigMethod* FindMethod(const QString& name)
{
    for (const FlrigMethod& method : kMethods)
        if (name == QLatin1String(method.name))
            return &method;
    return nullptr;
}

} // namespace

FlrigAnswer RunFlrigCall(const XmlRpcCall& call, CRigSeam& rig, CTransmitHolder* holder, FlrigClient& client)
{
    const FlrigMethod* method = FindMethod(call.method);
    if (!method)
        return Fault(XmlRpcFault::NoSuchMethod, QStringLiteral("%1: unknown method name").arg(call.method.left(60)));
    if (call.params.size() != method->params)
        return BadParameter(QStringLiteral("%1 takes %2 parameter(s), not %3")
                                .arg(call.method).arg(method->params).arg(call.params.size()));
    if (method->readsRadio && rig.Link() != RigStatus::Ok)
        return Fault(XmlRpcFault::Refused, StatusReason(rig.Link()));
    FlrigCall context{rig, holder, client, call.params};
    return method->run(context);
}

QByteArray FormatFlrigAnswer(const FlrigAnswer& answer)
{
    return answer.fault ? XmlRpcFaultReply(*answer.fault, answer.reason) : XmlRpcValueReply(answer.value);
}

FlrigAnswer FlrigUnconfirmed(RigStatus status)
{
    if (status == RigStatus::IoError)
        return Fault(XmlRpcFault::Refused, StatusReason(status));
    return Fault(XmlRpcFault::Refused, QStringLiteral("the radio did not confirm it within 1 s"));
}

QStringList FlrigMethodNames()
{
    QStringList names;
    for (const FlrigMethod& method : kMethods)
        names << QLatin1String(method.name);
    return names;
}
