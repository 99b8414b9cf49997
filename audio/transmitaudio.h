#pragma once
// The holder's microphone, from the browser, into the transmitter: each
// Opus frame the gate admits is decoded and played to the sound-card output
// wired to the radio's microphone input.
//
// The delay is kept short by holding little: the sound card is asked for a
// small buffer, and what it has no room for waits here for at most five
// frames, the oldest going first. The output is opened once, at Start, and
// kept, corked between transmissions: a PulseAudio stream that is started,
// or flushed, can sit up to two seconds before it plays, and a transmission
// would begin that late; one that is uncorked plays at once. When the gate
// shuts, what waits here is thrown away; only what the
// sound card already holds, a few tens of milliseconds, still plays, into
// a transmitter that is no longer keyed.
#include <QAudioDevice>
#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>

#include "audio/micgate.h"

class COpusDecoder;
class QAudioSink;
class QIODevice;

class CTransmitAudio : public QObject {
    Q_OBJECT
public:
    explicit CTransmitAudio(const CTransmitterQuestions& transmitter, QObject* parent = nullptr);
    ~CTransmitAudio() override;

    // False, with error set, when the decoder cannot be made or the output
    // cannot play 48 kHz mono 16-bit audio or be opened.
    bool Start(const QAudioDevice& output, QString& error);
    void Stop();

    // A frame of the microphone of web session `session`.
    void Offer(const QString& session, const QByteArray& opus);
    // Flushes at once if the gate has shut; for the unkey, by any path.
    void Look();

    quint64 Played() const { return m_played; }
    quint64 Dropped() const { return m_dropped; }

signals:
    // The output went away (a card unplugged, the sound server gone).
    void Failed(const QString& why);

private:
    void Play(const QByteArray& opus);
    void Pump();
    void Flush();
    // Flushes and corks the output until the gate next opens.
    void Rest();

    CMicGate m_gate;
    std::unique_ptr<COpusDecoder> m_decoder;
    QAudioDevice m_output;
    QAudioSink* m_sink = nullptr;
    QIODevice* m_playing = nullptr;  // the sink's input while it is started
    QByteArray m_waiting;            // decoded, until the sink has room
    QTimer m_pump;
    quint64 m_played = 0;
    quint64 m_dropped = 0;
};
