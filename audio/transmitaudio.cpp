#include "audio/transmitaudio.h"

#include <QAudioFormat>
#include <QAudioSink>

#include "audio/audioconstants.h"
#include "audio/opusdecoder.h"

namespace {

// What the sound card is asked to hold: enough for a late frame or two,
// little enough that the operator hears no echo of the delay.
constexpr int kSinkBufferBytes = 3 * kAudioFrameBytes;
// What waits for room in it; beyond this the oldest sound is dropped, so a
// sound card that stalls cannot build a standing delay. Five frames ride
// out a busy machine's late wakeups without chopping the voice.
constexpr int kMostWaitingBytes = 5 * kAudioFrameBytes;
// How soon to offer what waits again.
constexpr int kPumpMs = 5;

} // namespace

CTransmitAudio::CTransmitAudio(const CTransmitterQuestions& transmitter, QObject* parent)
    : QObject(parent), m_gate(transmitter)
{
    m_pump.setInterval(kPumpMs);
    connect(&m_pump, &QTimer::timeout, this, &CTransmitAudio::Pump);
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
    m_sink->setBufferSize(kSinkBufferBytes);
    m_playing = m_sink->start();
    if (!m_playing || m_sink->error() != QAudio::NoError) {
        error = QStringLiteral("the audio output \"%1\" cannot be opened").arg(output.description());
        Stop();
        return false;
    }
    // Corked until the gate first opens: an open stream that plays
    // nothing still wakes the station a hundred times a second.
    m_sink->suspend();
    // Running dry between transmissions is an underrun, not a fault.
    connect(m_sink, &QAudioSink::stateChanged, this, [this](QAudio::State state) {
        if (state == QAudio::StoppedState && m_sink->error() != QAudio::NoError && m_sink->error() != QAudio::UnderrunError)
            emit Failed(QStringLiteral("the audio output \"%1\" stopped (error %2)")
                            .arg(m_output.description()).arg(int(m_sink->error())));
    });
    return true;
}

void CTransmitAudio::Stop()
{
    Flush();
    if (m_sink) {
        m_sink->disconnect(this);
        m_sink->stop();
    }
    delete m_sink;
    m_sink = nullptr;
    m_playing = nullptr;
}

void CTransmitAudio::Offer(const QString& session, const QByteArray& opus)
{
    const CMicGate::Verdict verdict = m_gate.Admit(session);
    if (verdict.flushFirst)
        Rest();
    if (verdict.play && m_playing)
        Play(opus);
    else
        ++m_dropped;
}

void CTransmitAudio::Look()
{
    if (m_gate.ShutSinceLastPlay())
        Rest();
}

void CTransmitAudio::Rest()
{
    Flush();
    if (m_sink && m_sink->state() != QAudio::SuspendedState)
        m_sink->suspend();
}

void CTransmitAudio::Play(const QByteArray& opus)
{
    QString error;
    const QVector<qint16> samples = m_decoder->Decode(opus, error);
    if (samples.isEmpty()) {
        ++m_dropped;
        return;
    }
    m_waiting.append(reinterpret_cast<const char*>(samples.constData()), samples.size() * qsizetype(sizeof(qint16)));
    if (m_waiting.size() > kMostWaitingBytes) {
        m_waiting.remove(0, m_waiting.size() - kMostWaitingBytes);
        ++m_dropped;
    }
    ++m_played;
    if (m_sink->state() == QAudio::SuspendedState)
        m_sink->resume();
    Pump();
}

void CTransmitAudio::Pump()
{
    // Whole samples only, and never more than the sink has room for: what
    // it took beyond that would wait in a queue nobody bounds.
    const qint64 room = qMin<qint64>(m_sink ? m_sink->bytesFree() : 0, m_waiting.size()) & ~qint64(1);
    if (room > 0 && m_playing) {
        const qint64 wrote = m_playing->write(m_waiting.constData(), room);
        if (wrote > 0)
            m_waiting.remove(0, qsizetype(wrote));
    }
    if (m_waiting.isEmpty())
        m_pump.stop();
    else if (!m_pump.isActive())
        m_pump.start();
}

// Only what waits here: flushing the sink itself would stall its next
// transmission (see the header); corking it does not.
void CTransmitAudio::Flush()
{
    m_waiting.clear();
    m_pump.stop();
}
