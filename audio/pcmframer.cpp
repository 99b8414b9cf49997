#include "audio/pcmframer.h"

#include <cstring>

#include "audio/audioconstants.h"

QVector<QVector<qint16>> CPcmFramer::Append(const QByteArray& pcm)
{
    m_pending.append(pcm);
    QVector<QVector<qint16>> frames;
    qsizetype taken = 0;
    while (m_pending.size() - taken >= kAudioFrameBytes) {
        QVector<qint16> frame(kAudioFrameSamples);
        std::memcpy(frame.data(), m_pending.constData() + taken, kAudioFrameBytes);
        frames.append(frame);
        taken += kAudioFrameBytes;
    }
    m_pending.remove(0, taken);
    return frames;
}
