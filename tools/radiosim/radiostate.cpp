#include "radiostate.h"

#include <QtGlobal>
#include <cmath>
#include <tuple>

namespace radiosim {

void RadioState::setFrequencyKHz(double kHz)
{
    const long long steps = std::llround(kHz * 100.0);
    frequency10Hz = int(qBound(0LL, steps, (long long)maxFrequency10Hz));
}

QByteArray RadioState::frequencyDigits() const
{
    return QByteArray::number(frequency10Hz).rightJustified(7, '0');
}

static auto fieldsOf(const RadioState &s)
{
    return std::tie(s.frequency10Hz, s.mode, s.agc, s.audioInput, s.vox, s.meter,
                    s.amplifier, s.ampTuning, s.sideTone, s.clipping, s.muted,
                    s.extPtt, s.localAudio, s.bpfOff, s.keyed, s.rfGain,
                    s.bfoCode, s.directMode);
}

bool operator==(const RadioState &a, const RadioState &b)
{
    return fieldsOf(a) == fieldsOf(b);
}

} // namespace radiosim
