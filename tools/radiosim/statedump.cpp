#include "statedump.h"

#include <QSaveFile>

namespace radiosim {
namespace {

QByteArray line(const char *key, const QByteArray &value)
{
    return QByteArray(key) + '=' + value + '\n';
}

QByteArray line(const char *key, char value)
{
    return line(key, QByteArray(1, value));
}

QByteArray line(const char *key, bool value)
{
    return line(key, value ? '1' : '0');
}

} // namespace

QByteArray StateDump::text(const RadioState &s, int commandsHandled)
{
    return line("commands", QByteArray::number(commandsHandled))
        + line("frequency_khz", QByteArray::number(s.frequencyKHz(), 'f', 2))
        + line("frequency_digits", s.frequencyDigits())
        + line("mode", s.mode) + line("agc", s.agc)
        + line("audio_input", s.audioInput) + line("vox", s.vox)
        + line("meter", s.meter) + line("amplifier", s.amplifier)
        + line("amp_tuning", s.ampTuning) + line("side_tone", s.sideTone)
        + line("clipping", s.clipping) + line("muted", s.muted)
        + line("ext_ptt", s.extPtt) + line("local_audio", s.localAudio)
        + line("bpf_off", s.bpfOff) + line("keyed", s.keyed)
        + line("rf_gain", s.rfGain) + line("bfo_code", s.bfoCode)
        + line("direct_mode", s.directMode);
}

bool StateDump::write(const QString &path, const RadioState &state, int commandsHandled)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(text(state, commandsHandled));
    return file.commit();
}

} // namespace radiosim
