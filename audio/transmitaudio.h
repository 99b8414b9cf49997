#pragma once
// The holder's microphone, from the browser, into the transmitter: each
// Opus frame the gate admits is decoded and played to the sound-card output
// wired to the radio's microphone input. When the gate shuts, what the
// sound card still has buffered is thrown away, so nothing is heard after
// the unkey.
#include <QAudioDevice>
#include <QByteArray>
#include <QObject>
#include <QString>
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
    // cannot play 48 kHz mono 16-bit audio.
    bool Start(const QAudioDevice& output, QString& error);
    void Stop();

    // A frame of the microphone of web session `session`.
    void Offer(const QString& session, const QByteArray& opus);
    // Flushes at once if the gate has shut; for the unkey, by any path.
    void Look();

    quint64 Played() const { return m_played; }
    quint64 Dropped() const { return m_dropped; }

signals:
    void Failed(const QString& why);

private:
    void Play(const QByteArray& opus);
    void Flush();

    CMicGate m_gate;
    std::unique_ptr<COpusDecoder> m_decoder;
    QAudioDevice m_output;
    QAudioSink* m_sink = nullptr;
    QIODevice* m_playing = nullptr;  // while the sink is started
    quint64 m_played = 0;
    quint64 m_dropped = 0;
};
