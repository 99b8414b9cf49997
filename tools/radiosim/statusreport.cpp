#include "statusreport.h"

namespace radiosim {
namespace {

QByteArray field(char code, QByteArray value, int width)
{
    return (code + value).leftJustified(width, ' ');
}

QByteArray flag(char code, bool on)
{
    return field(code, on ? "1" : "0", 3);
}

QByteArray setting(char code, char value)
{
    return field(code, QByteArray(1, value), 3);
}

QByteArray joined(const QList<ReportField> &fields)
{
    QByteArray line;
    for (const ReportField &f : fields)
        line += f.text;
    return line + '\n';
}

QByteArray textFor(const QList<ReportField> &fields, char key)
{
    for (const ReportField &f : fields) {
        if (f.key == key)
            return f.text;
    }
    return {};
}

} // namespace

QList<ReportField> StatusReport::fields(const RadioState &s)
{
    QList<ReportField> out = {
        {'F', field('F', s.frequencyDigits(), 9)},
        {'M', setting('M', s.mode)},
        {'A', setting('A', s.agc)},
        {'H', setting('H', s.audioInput)},
        {'V', setting('V', s.vox)},
        {'D', setting('D', s.meter)},
        {'S', flag('S', s.sideTone)},
        {'I', flag('I', s.clipping)},
        // The radio's mute field is inverted like its command: '0' is muted.
        {'(', flag('(', !s.muted)},
        {'\'', flag('\'', s.extPtt)},
        {'"', flag('"', s.localAudio)},
        {',', flag(',', s.bpfOff)},
        {'O', setting('O', s.amplifier)},
        {'*', flag('*', s.ampTuning)},
        {'T', field(s.keyed ? 'K' : 'U', {}, 2)},
    };
    // A 'G' field would switch the panel to direct commands for good, which
    // only a radio that accepts them may provoke.
    if (s.directMode)
        out.append({'G', field('G', s.rfGain.leftJustified(2, '0', true), 4)});
    out.append({'B', field('B', s.bfoCode.leftJustified(3, '0', true), 6)});
    return out;
}

QByteArray StatusReport::full(const RadioState &state)
{
    return joined(fields(state));
}

QByteArray StatusReport::changes(const RadioState &before, const RadioState &after)
{
    const QList<ReportField> old = fields(before);
    QList<ReportField> changed;
    for (const ReportField &f : fields(after)) {
        if (textFor(old, f.key) != f.text)
            changed.append(f);
    }
    return changed.isEmpty() ? QByteArray() : joined(changed);
}

} // namespace radiosim
