#include "audio/receiveaudio.h"

#include <QAudioFormat>
#include <QAudioSource>

#include "audio/audioconstants.h"
#include "audio/opusencoder.h"

namespace {
constexpr int kSourceBufferFrames = 2;  // 40 ms
} // namespace

CReceiveAudio::CReceiveAudio(QObject* parent) : QObject(parent) {}

CReceiveAudio::~CReceiveAudio() = default;

bool CReceiveAudio::MakeEncoder(QString& error)
{
    // A radio's receive audio may be music or digital modes as well as
    // voice: the general profile keeps them all.
    if (!m_encoder)
        m_encoder = COpusEncoder::Create(COpusEncoder::Use::Audio, error);
    return m_encoder != nullptr;
}

bool CReceiveAudio::Start(const QAudioDevice& input, QString& error)
{
    Stop();
    if (!MakeEncoder(error))
        return false;
    if (input.isNull()) {
        error = QStringLiteral("there is no audio input to capture the receiver from");
        return false;
    }
    if (!input.isFormatSupported(StationAudioFormat())) {
        error = QStringLiteral("the audio input \"%1\" cannot capture 48 kHz mono 16-bit audio").arg(input.description());
        return false;
    }
    m_source = new QAudioSource(input, StationAudioFormat(), this);
    // A short buffer hands each frame over as soon as it is captured.
    m_source->setBufferSize(kSourceBufferFrames * kAudioFrameBytes);
    connect(m_source, &QAudioSource::stateChanged, this, &CReceiveAudio::NoteSourceState);
    m_captured = m_source->start();
    if (!m_captured) {
        error = QStringLiteral("the audio input \"%1\" cannot be opened").arg(input.description());
        Stop();
        return false;
    }
    connect(m_captured, &QIODevice::readyRead, this, &CReceiveAudio::ReadCaptured);
    return true;
}

void CReceiveAudio::Stop()
{
    if (m_source) {
        m_source->disconnect(this);
        m_source->stop();
        m_source->deleteLater();
    }
    m_source = nullptr;
    m_captured = nullptr;
    m_framer.Clear();
}

void CReceiveAudio::ReadCaptured()
{
    if (m_captured)
        Feed(m_captured->readAll());
}

void CReceiveAudio::NoteSourceState()
{
    if (m_source && m_source->error() != QAudio::NoError && m_source->error() != QAudio::UnderrunError)
        emit Failed(QStringLiteral("the audio input stopped (error %1)").arg(int(m_source->error())));
}

void CReceiveAudio::Feed(const QByteArray& pcm)
{
    QString error;
    if (!MakeEncoder(error)) {
        emit Failed(error);
        return;
    }
    for (const QVector<qint16>& frame : m_framer.Append(pcm)) {
        const QByteArray packet = m_encoder->Encode(frame.constData(), error);
        if (packet.isEmpty()) {
            if (!m_encodeFailed)
                emit Failed(error);
            m_encodeFailed = true;
            continue;
        }
        m_encodeFailed = false;
        m_listeners.Publish(packet);
        emit FramePublished();
    }
}
