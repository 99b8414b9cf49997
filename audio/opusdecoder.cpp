#include "audio/opusdecoder.h"

#include <opus/opus.h>

#include "audio/audioconstants.h"

namespace {
// The longest frame Opus has, 120 ms: whatever a sender chose fits.
constexpr int kMaxFrameSamples = kAudioSampleRate * 120 / 1000;

QString DecoderProblem(const char* what, int code)
{
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(what), QString::fromLatin1(opus_strerror(code)));
}
} // namespace

std::unique_ptr<COpusDecoder> COpusDecoder::Create(QString& error)
{
    int code = OPUS_OK;
    OpusDecoder* decoder = opus_decoder_create(kAudioSampleRate, 1, &code);
    if (code != OPUS_OK) {
        error = DecoderProblem("cannot make the Opus decoder", code);
        return nullptr;
    }
    return std::unique_ptr<COpusDecoder>(new COpusDecoder(decoder));
}

COpusDecoder::~COpusDecoder()
{
    opus_decoder_destroy(m_decoder);
}

QVector<qint16> COpusDecoder::Decode(const QByteArray& packet, QString& error)
{
    if (packet.isEmpty()) {
        error = QStringLiteral("an empty audio frame");
        return {};
    }
    QVector<qint16> samples(kMaxFrameSamples);
    const int count = opus_decode(m_decoder, reinterpret_cast<const unsigned char*>(packet.constData()),
                                  int(packet.size()), samples.data(), kMaxFrameSamples, 0);
    if (count < 0) {
        error = DecoderProblem("cannot decode the audio", count);
        return {};
    }
    samples.resize(count);
    return samples;
}
