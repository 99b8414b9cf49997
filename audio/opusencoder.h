#pragma once
// Turns 20 ms of 48 kHz mono samples into one Opus frame. Made by Create,
// which says why when libopus refuses; the encoder goes with the object.
#include <QByteArray>
#include <QString>
#include <memory>

struct OpusEncoder;

class COpusEncoder {
public:
    enum class Use { Voice, Audio };  // OPUS_APPLICATION_VOIP or _AUDIO

    static std::unique_ptr<COpusEncoder> Create(Use use, QString& error);
    ~COpusEncoder();
    COpusEncoder(const COpusEncoder&) = delete;
    COpusEncoder& operator=(const COpusEncoder&) = delete;

    // `samples` holds exactly kAudioFrameSamples. Empty, with error set,
    // when it cannot be encoded.
    QByteArray Encode(const qint16* samples, QString& error);

private:
    explicit COpusEncoder(OpusEncoder* encoder) : m_encoder(encoder) {}
    OpusEncoder* m_encoder;
};
