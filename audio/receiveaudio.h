#pragma once
// The receiver's audio for remote listeners: captured from the sound-card
// input the radio's receive audio comes in on, cut into 20 ms frames,
// encoded once and handed to every listener's queue.
#include <QAudioDevice>
#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>

#include "audio/audiofanout.h"
#include "audio/pcmframer.h"

class COpusEncoder;
class QAudioSource;
class QIODevice;

class CReceiveAudio : public QObject {
    Q_OBJECT
public:
    explicit CReceiveAudio(QObject* parent = nullptr);
    ~CReceiveAudio() override;

    // False, with error set, when the encoder cannot be made or the input
    // cannot capture 48 kHz mono 16-bit audio.
    bool Start(const QAudioDevice& input, QString& error);
    void Stop();
    CAudioFanOut& Listeners() { return m_listeners; }

    // Samples as captured (48 kHz mono Int16, any amount); what the sound
    // card delivers comes through here.
    void Feed(const QByteArray& pcm);

signals:
    // Each listener's queue has one more frame.
    void FramePublished();
    void Failed(const QString& why);

private:
    bool MakeEncoder(QString& error);
    void ReadCaptured();
    void NoteSourceState();

    std::unique_ptr<COpusEncoder> m_encoder;
    CPcmFramer m_framer;
    CAudioFanOut m_listeners;
    QAudioSource* m_source = nullptr;
    QIODevice* m_captured = nullptr;
    bool m_encodeFailed = false;  // said once, not fifty times a second
};
