#pragma once

#include "commandtokenizer.h"
#include "radiostate.h"

#include <QByteArray>

namespace radiosim {

// The radio without its serial line: bytes from the panel go in, the bytes
// the radio answers with come out. Nothing here depends on time or chance,
// so the same input always gives the same state and the same answer.
//
// Answers: "?\n" gets a full status report. Any other command gets a short
// report holding just the fields it changed, or nothing if it changed
// nothing (a repeated "K" while keyed, "U" while receiving, a bare "D").
// Every report is one line ending in a single line feed.
class RadioModel
{
public:
    explicit RadioModel(const RadioState &initial = RadioState());

    QByteArray feed(const QByteArray &bytes);

    const RadioState &state() const { return m_state; }
    void setState(const RadioState &state) { m_state = state; }
    int commandsHandled() const { return m_commandsHandled; }

private:
    QByteArray handle(const Command &command);
    using Handler = void (RadioModel::*)(const QByteArray &value);
    static Handler handlerFor(char letter);
    void settleTransients();

    void key(const QByteArray &);
    void unkey(const QByteArray &);
    void query(const QByteArray &);
    void tune(const QByteArray &value);
    void stepOrSetMode(const QByteArray &value);
    void stepOrSetAgc(const QByteArray &value);
    void stepAudioInput(const QByteArray &);
    void stepVox(const QByteArray &);
    void stepMeter(const QByteArray &);
    void toggleSideTone(const QByteArray &);
    void toggleClipping(const QByteArray &);
    void setMute(const QByteArray &value);
    void setExtPtt(const QByteArray &value);
    void setLocalAudio(const QByteArray &value);
    void setBpfOff(const QByteArray &value);
    void setRfGain(const QByteArray &value);
    void setBfo(const QByteArray &value);
    void switchAmplifier(const QByteArray &value);

    CommandTokenizer m_tokenizer;
    RadioState m_state;
    int m_commandsHandled = 0;
};

} // namespace radiosim
