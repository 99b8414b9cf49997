#include "audio/opusencoder.h"

#include <opus/opus.h>

#include "audio/audioconstants.h"

namespace {
// Far above what 20 ms at 24 kbit/s needs (60 bytes), as libopus advises.
constexpr int kMaxPacketBytes = 1275;

QString EncoderProblem(const char* what, int code)
{
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(what), QString::fromLatin1(opus_strerror(code)));
}
} // namespace

std::unique_ptr<COpusEncoder> COpusEncoder::Create(Use use, QString& error)
{
    int code = OPUS_OK;
    const int application = use == Use::Voice ? OPUS_APPLICATION_VOIP : OPUS_APPLICATION_AUDIO;
    OpusEncoder* encoder = opus_encoder_create(kAudioSampleRate, 1, application, &code);
    if (code != OPUS_OK) {
        error = EncoderProblem("cannot make the Opus encoder", code);
        return nullptr;
    }
    std::unique_ptr<COpusEncoder> made(new COpusEncoder(encoder));
    code = opus_encoder_ctl(encoder, OPUS_SET_BITRATE(kAudioBitrate));
    if (code != OPUS_OK) {
        error = EncoderProblem("cannot set the Opus bitrate", code);
        return nullptr;
    }
    // Constrained VBR: a noisy band must not push a listener's stream far
    // above the bit rate for a second at a time.
    code = opus_encoder_ctl(encoder, OPUS_SET_VBR_CONSTRAINT(1));
    if (code != OPUS_OK) {
        error = EncoderProblem("cannot constrain the Opus bitrate", code);
        return nullptr;
    }
    return made;
}

COpusEncoder::~COpusEncoder()
{
    opus_encoder_destroy(m_encoder);
}

QByteArray COpusEncoder::Encode(const qint16* samples, QString& error)
{
    QByteArray packet(kMaxPacketBytes, Qt::Uninitialized);
    const int size = opus_encode(m_encoder, samples, kAudioFrameSamples,
                                 reinterpret_cast<unsigned char*>(packet.data()), kMaxPacketBytes);
    if (size < 0) {
        error = EncoderProblem("cannot encode the audio", size);
        return {};
    }
    packet.truncate(size);
    return packet;
}
