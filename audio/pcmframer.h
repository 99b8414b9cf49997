#pragma once
// The sound card hands over whatever it has, in pieces of any size; the
// encoder wants exactly 20 ms. What is left over waits for the next piece.
#include <QByteArray>
#include <QVector>

class CPcmFramer {
public:
    // Every whole frame (kAudioFrameSamples Int16 samples) now complete.
    QVector<QVector<qint16>> Append(const QByteArray& pcm);
    void Clear() { m_pending.clear(); }

private:
    QByteArray m_pending;
};
