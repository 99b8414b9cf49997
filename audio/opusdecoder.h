#pragma once
// Turns one Opus frame back into 48 kHz mono samples. Made by Create, which
// says why when libopus refuses; the decoder goes with the object.
#include <QByteArray>
#include <QString>
#include <QVector>
#include <memory>

struct OpusDecoder;

class COpusDecoder {
public:
    static std::unique_ptr<COpusDecoder> Create(QString& error);
    ~COpusDecoder();
    COpusDecoder(const COpusDecoder&) = delete;
    COpusDecoder& operator=(const COpusDecoder&) = delete;

    // The frame's samples (960 for a 20 ms frame). Empty, with error set,
    // for a frame that is not Opus: a browser's packet is not trusted.
    QVector<qint16> Decode(const QByteArray& packet, QString& error);

private:
    explicit COpusDecoder(OpusDecoder* decoder) : m_decoder(decoder) {}
    OpusDecoder* m_decoder;
};
