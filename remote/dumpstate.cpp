#include "remote/dumpstate.h"

#include "remote/rigmodes.h"

namespace {

// The panel cannot read or set the output power; these only give the
// transmit range the plausible figures a client checks for (mW).
constexpr int kLowPowerMw = 1000;
constexpr int kHighPowerMw = 100000;
constexpr unsigned kVfoA = 0x1;
constexpr unsigned kAntenna1 = 0x1;
constexpr int kTuningStepHz = 10;
// Replies need no radio round trip, so a client's own default wait suits.
constexpr int kTimeoutMs = 1000;

QByteArray Hex(unsigned value) { return "0x" + QByteArray::number(value, 16); }

QByteArray Range(int lowPowerMw, int highPowerMw)
{
    // 0.00 to 99999.99 kHz: what the seven digits of the frequency command hold.
    return "0.000000 99999990.000000 " + Hex(AllModeBits()) + ' ' + QByteArray::number(lowPowerMw) + ' '
           + QByteArray::number(highPowerMw) + ' ' + Hex(kVfoA) + ' ' + Hex(kAntenna1);
}

} // namespace

QByteArrayList DumpStateLines()
{
    const QByteArray endOfRanges = "0 0 0 0 0 0 0";
    QByteArrayList lines = {"1", "2", "0", Range(-1, -1), endOfRanges, Range(kLowPowerMw, kHighPowerMw), endOfRanges};
    lines << Hex(AllModeBits()) + ' ' + QByteArray::number(kTuningStepHz) << "0 0";
    for (const RigMode& mode : g_rigModes)
        lines << Hex(mode.hamlibBit) + ' ' + QByteArray::number(mode.passbandHz);
    lines << "0 0";
    // RIT, XIT, IF shift, announcements, preamplifiers, attenuators: none.
    lines << "0" << "0" << "0" << "0" << "0" << "0";
    // No functions, levels or parameters to get or set.
    for (int i = 0; i < 6; ++i)
        lines << "0x0";
    lines << "vfo_ops=0x0" << "ptt_type=0x1" << "has_set_vfo=0" << "has_get_vfo=0" << "has_set_freq=1"
          << "has_get_freq=1" << "has_set_conf=0" << "has_get_conf=0" << "has_power2mW=0" << "has_mW2power=0"
          << "timeout=" + QByteArray::number(kTimeoutMs) << "done";
    return lines;
}
