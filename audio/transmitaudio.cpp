#include "audio/transmitaudio.h"

#include <QAudioFormat>
#include <QAudioSink>

#include "audio/audioconstants.h"
#include "audio/opusdecoder.h"

CTransmitAudio::CTransmitAudio(const CTransmitterQuestions& transmitter, QObject* parent)
    : QObject(parent), m_gate(transmitter)
{
}

CTransmitAudio::~CTransmitAudio()
{
    Stop();
}

bool CTransmitAudio::Start(const QAudioDevice& output, QString& error)
{
    Stop();
    if (!m_decoder)
        m_decoder = COpusDecoder::Create(error);
    if (!m_decoder)
        return false;
    if (output.isNull()) {
        error = QStringLiteral("there is no audio output to feed the transmitter");
        return false;
    }
    if (!output.isFormatSupported(StationAudioFormat())) {
        error = QStringLiteral("the audio output \"%1\" cannot play 48 kHz mono 16-bit audio").arg(output.description());
        return false;
    }
    m_output = output;
    m_sink = new QAudioSink(output, StationAudioFormat(), this);
    return true;
}

void CTransmitAudio::Stop()
{
    Flush();
    delete m_sink;
    m_sink = nullptr;
}

void CTransmitAudio::Offer(const QString& session, const QByteArray& opus)
{
    const CMicGate::Verdict verdict = m_gate.Admit(session);
    if (verdict.flushFirst)
        Flush();
    if (verdict.play && m_sink)
        Play(opus);
    else
        ++m_dropped;
}

void CTransmitAudio::Look()
{
    if (m_gate.ShutSinceLastPlay())
        Flush();
}

void CTransmitAudio::Play(const QByteArray& opus)
{
    QString error;
    const QVector<qint16> samples = m_decoder->Decode(opus, error);
    if (samples.isEmpty()) {
        ++m_dropped;
        return;
    }
    // Started at the first frame of each transmission, so the sink's
    // buffer holds only this operator's audio.
    if (!m_playing)
        m_playing = m_sink->start();
    if (!m_playing) {
        emit Failed(QStringLiteral("the audio output \"%1\" cannot be opened").arg(m_output.description()));
        return;
    }
    const qsizetype bytes = samples.size() * qsizetype(sizeof(qint16));
    if (m_playing->write(reinterpret_cast<const char*>(samples.constData()), bytes) != bytes)
        ++m_dropped;
    else
        ++m_played;
}

void CTransmitAudio::Flush()
{
    if (!m_sink || !m_playing)
        return;
    m_sink->reset();
    m_sink->stop();
    m_playing = nullptr;
}
