#include "radiomodel.h"

#include "statusreport.h"

#include <cstring>

namespace radiosim {
namespace {

// The radio's stepping commands move one place along a fixed cycle.
constexpr char modeCycle[] = "1234";     // USB LSB AM CW
constexpr char agcCycle[] = "234";       // Slow Medium Fast: Off is not on it
constexpr char audioCycle[] = "123";     // Mic Audio2 Patch
constexpr char voxCycle[] = "012";       // Off Voice Data
constexpr char meterCycle[] = "123456";  // Audio Line Patch Fwd Rev VSWR

// A setting outside the cycle (AGC Off, for one) steps onto its first place,
// so "A\n" from Off gives Slow.
char stepped(char current, const char *cycle)
{
    const char *at = current ? std::strchr(cycle, current) : nullptr;
    if (!at || !at[1])
        return cycle[0];
    return at[1];
}

bool isOneOf(const QByteArray &value, const char *allowed)
{
    return value.size() == 1 && value.at(0) && std::strchr(allowed, value.at(0));
}

void setSwitch(bool &target, const QByteArray &value)
{
    if (isOneOf(value, "01"))
        target = value.at(0) == '1';
}

} // namespace

RadioModel::RadioModel(const RadioState &initial)
    : m_state(initial)
{
}

QByteArray RadioModel::feed(const QByteArray &bytes)
{
    QByteArray replies;
    for (const Command &command : m_tokenizer.feed(bytes))
        replies += handle(command);
    return replies;
}

QByteArray RadioModel::handle(const Command &command)
{
    const RadioState before = m_state;
    settleTransients();
    if (Handler handler = handlerFor(command.letter))
        (this->*handler)(command.value);
    ++m_commandsHandled;
    if (command.letter == '?')
        return StatusReport::full(m_state);
    return StatusReport::changes(before, m_state);
}

RadioModel::Handler RadioModel::handlerFor(char letter)
{
    static const struct { char letter; Handler handler; } table[] = {
        {'K', &RadioModel::key}, {'U', &RadioModel::unkey},
        {'?', &RadioModel::query}, {'F', &RadioModel::tune},
        {'M', &RadioModel::stepOrSetMode}, {'A', &RadioModel::stepOrSetAgc},
        {'H', &RadioModel::stepAudioInput}, {'V', &RadioModel::stepVox},
        {'D', &RadioModel::stepMeter}, {'S', &RadioModel::toggleSideTone},
        {'I', &RadioModel::toggleClipping}, {'(', &RadioModel::setMute},
        {'\'', &RadioModel::setExtPtt}, {'"', &RadioModel::setLocalAudio},
        {',', &RadioModel::setBpfOff}, {'G', &RadioModel::setRfGain},
        {'B', &RadioModel::setBfo}, {'O', &RadioModel::switchAmplifier},
    };
    for (const auto &row : table) {
        if (row.letter == letter)
            return row.handler;
    }
    return nullptr;
}

// The amplifier needs a moment after power-on and after a retune. The model
// has no clock, so "a moment" is until the next command: a powered amplifier
// is ready, and a tuning one done, by the time the radio reads its next line.
void RadioModel::settleTransients()
{
    if (m_state.amplifier == '2')
        m_state.amplifier = '3';
    m_state.ampTuning = false;
}

void RadioModel::key(const QByteArray &) { m_state.keyed = true; }
void RadioModel::unkey(const QByteArray &) { m_state.keyed = false; }
void RadioModel::query(const QByteArray &) {}

void RadioModel::tune(const QByteArray &value)
{
    const int frequency = value.toInt();
    if (frequency == m_state.frequency10Hz)
        return;
    m_state.frequency10Hz = frequency;
    // A ready or operating amplifier retunes its output network.
    if (m_state.amplifier == '3' || m_state.amplifier == '4')
        m_state.ampTuning = true;
}

// A radio without direct commands ignores the value forms, as the panel
// would only send them after the radio has reported its RF gain.
void RadioModel::stepOrSetMode(const QByteArray &value)
{
    if (value.isEmpty())
        m_state.mode = stepped(m_state.mode, modeCycle);
    else if (m_state.directMode && isOneOf(value, modeCycle))
        m_state.mode = value.at(0);
}

void RadioModel::stepOrSetAgc(const QByteArray &value)
{
    if (value.isEmpty())
        m_state.agc = stepped(m_state.agc, agcCycle);
    else if (m_state.directMode && isOneOf(value, "1234"))
        m_state.agc = value.at(0);
}

void RadioModel::stepAudioInput(const QByteArray &)
{
    m_state.audioInput = stepped(m_state.audioInput, audioCycle);
}

void RadioModel::stepVox(const QByteArray &)
{
    m_state.vox = stepped(m_state.vox, voxCycle);
}

void RadioModel::stepMeter(const QByteArray &)
{
    m_state.meter = stepped(m_state.meter, meterCycle);
}

void RadioModel::toggleSideTone(const QByteArray &) { m_state.sideTone = !m_state.sideTone; }
void RadioModel::toggleClipping(const QByteArray &) { m_state.clipping = !m_state.clipping; }

// The radio's mute command is inverted: "(0" mutes, "(1" unmutes.
void RadioModel::setMute(const QByteArray &value)
{
    if (isOneOf(value, "01"))
        m_state.muted = value.at(0) == '0';
}

void RadioModel::setExtPtt(const QByteArray &value) { setSwitch(m_state.extPtt, value); }
void RadioModel::setLocalAudio(const QByteArray &value) { setSwitch(m_state.localAudio, value); }
void RadioModel::setBpfOff(const QByteArray &value) { setSwitch(m_state.bpfOff, value); }

void RadioModel::setRfGain(const QByteArray &value)
{
    if (m_state.directMode)
        m_state.rfGain = value;
}

void RadioModel::setBfo(const QByteArray &value)
{
    if (value.toInt() <= 200)
        m_state.bfoCode = value;
}

// "O1" switches off from anywhere and "O2" powers up from off; "O3" and
// "O4" only move between ready and operating.
void RadioModel::switchAmplifier(const QByteArray &value)
{
    char &amp = m_state.amplifier;
    const char wanted = value.at(0);
    if (wanted == '0' || wanted == '1')
        amp = '1';
    else if (wanted == '2' && (amp == '0' || amp == '1'))
        amp = '2';
    else if ((wanted == '3' && amp == '4') || (wanted == '4' && amp == '3'))
        amp = wanted;
}

} // namespace radiosim
