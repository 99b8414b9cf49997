#include "web/webaudio.h"

#include <QJsonObject>

#include "audio/audiodevicechoice.h"
#include "audio/audioconstants.h"
#include "audio/listenerqueue.h"
#include "audio/receiveaudio.h"
#include "audio/transmitaudio.h"
#include "keying/transmitholder.h"
#include "panel/tuningstate.h"
#include "web/webaudioframe.h"
#include "web/webfeed.h"
#include "web/webkeying.h"
#include "web/weblog.h"
#include "web/webmessages.h"

namespace {

// Between frames, so an unkey flushes what the sound card still holds
// within a fraction of a frame's worth of silence.
constexpr int kLookMs = kAudioFrameMs / 2;

// The gate tells pages apart, not sessions: two tabs of one operator are
// two microphones, and only the one that keyed is heard.
QString VoiceOf(const QObject* page)
{
    return page ? QStringLiteral("page-%1").arg(quintptr(page), 0, 16) : QString();
}

QString InputProblem(const AudioSettings& devices)
{
    QString problem;
    const std::optional<QAudioDevice> input = FindAudioInput(devices.input, problem);
    if (!input)
        return problem;
    if (input->isNull())
        return QStringLiteral("there is no audio input to capture the receiver from");
    return {};
}

} // namespace

CWebAudio::CWebAudio(CWebFeed& feed, const CWebKeying& keying, CTransmitHolder& holder, const AudioSettings& devices,
                     QObject* parent)
    : QObject(parent), m_feed(feed), m_keying(keying), m_holder(holder), m_devices(devices),
      m_receive(std::make_unique<CReceiveAudio>()),
      m_transmit(std::make_unique<CTransmitAudio>(static_cast<const CTransmitterQuestions&>(*this)))
{
    m_receiveProblem = InputProblem(m_devices);
    if (!m_receiveProblem.isEmpty())
        qCWarning(lcWeb).noquote() << "no receiver audio for the web panel:" << m_receiveProblem;
    m_look.setInterval(kLookMs);
    connect(&m_look, &QTimer::timeout, m_transmit.get(), &CTransmitAudio::Look);
    StartTransmit();
    // Looked at only while someone holds the transmitter: an idle station
    // does not wake for it.
    connect(&holder, &CTransmitHolder::Began, this, [this] { m_look.start(); });
    connect(&holder, &CTransmitHolder::Ended, this, [this] {
        m_transmit->Look();
        m_look.stop();
    });
    connect(m_transmit.get(), &CTransmitAudio::Failed, this, [this](const QString& why) {
        // Said once, not at every frame the output still refuses.
        if (why == m_transmitProblem)
            return;
        qCWarning(lcWeb).noquote() << "transmit audio:" << why;
        m_transmitProblem = why;
        TellPages();
    });
    connect(m_receive.get(), &CReceiveAudio::FramePublished, this, &CWebAudio::SendFrames);
    connect(m_receive.get(), &CReceiveAudio::Failed, this, [this](const QString& why) {
        qCWarning(lcWeb).noquote() << "receiver audio:" << why;
        m_receiveProblem = why;
        DropListeners();
        TellPages();
    });
    connect(&feed, &CWebFeed::PageOpened, this, &CWebAudio::TellPages);
    connect(&feed, &CWebFeed::PageGone, this, &CWebAudio::StopListening);
    connect(&feed, &CWebFeed::BinaryFromPage, this, &CWebAudio::FromPage);
    TellPages();
}

CWebAudio::~CWebAudio()
{
    m_receive->disconnect(this);
    m_transmit->disconnect(this);
}

QString CWebAudio::HolderSession() const
{
    const QObject* page = m_keying.KeyingPage();
    const std::optional<Keyer> holder = m_holder.Holder();
    if (!page || !holder || holder->kind != Keyer::Kind::WebOperator || holder->client != page)
        return {};
    return VoiceOf(page);
}

// What the panel has keyed, not what the radio last reported: the panel's
// Receive shuts the gate before the radio has said anything.
bool CWebAudio::Keyed() const { return g_chTxState == 'K'; }

QString CWebAudio::Listen(const WebSession& session, const QObject* page, bool on)
{
    if (!on) {
        StopListening(page);
        return {};
    }
    if (m_listening.count(page))
        return {};
    // The first listener opens the sound card, and tries again one that
    // failed before: it may have been plugged in since.
    if (m_listening.empty()) {
        const QString before = m_receiveProblem;
        StartReceive();
        if (before != m_receiveProblem)
            TellPages();
    }
    if (!m_receiveProblem.isEmpty())
        return QStringLiteral("The receiver's audio is unavailable: %1.").arg(m_receiveProblem);
    std::shared_ptr<CListenerQueue> queue = m_receive->Listeners().Join();
    if (!queue)
        return QStringLiteral("%1 pages are listening already.").arg(CAudioFanOut::kMaxListeners);
    m_listening[page] = queue;
    qCInfo(lcWeb) << session.name << "listens," << Listeners() << "listening";
    return {};
}

void CWebAudio::UseDevices(const AudioSettings& devices)
{
    m_devices = devices;
    StartTransmit();
    if (m_listening.empty()) {
        m_receiveProblem = InputProblem(m_devices);
    } else if (!StartReceive()) {
        DropListeners();
    }
    TellPages();
}

// A failed output leaves the microphone unheard and says why on the page;
// the gate and its look go on, so a later choice can take over.
void CWebAudio::StartTransmit()
{
    QString problem;
    const std::optional<QAudioDevice> output = FindAudioOutput(m_devices.output, problem);
    if (output && m_transmit->Start(*output, problem)) {
        m_transmitProblem.clear();
        qCInfo(lcWeb).noquote() << "web microphone plays to" << output->description();
    } else {
        m_transmit->Stop();
        m_transmitProblem = problem;
        qCWarning(lcWeb).noquote() << "no transmit audio from the web panel:" << m_transmitProblem;
    }
}

bool CWebAudio::StartReceive()
{
    QString problem;
    const std::optional<QAudioDevice> input = FindAudioInput(m_devices.input, problem);
    if (input && m_receive->Start(*input, problem)) {
        m_receiveProblem.clear();
        qCInfo(lcWeb).noquote() << "receiver audio from" << input->description();
        return true;
    }
    m_receiveProblem = problem;
    qCWarning(lcWeb).noquote() << "receiver audio:" << problem;
    return false;
}

// The receiver's audio is gone: every page stops listening, and the sound
// card is let go.
void CWebAudio::DropListeners()
{
    m_receive->Stop();
    for (auto& [page, queue] : m_listening)
        m_receive->Listeners().Leave(queue);
    m_listening.clear();
}

void CWebAudio::StopListening(const QObject* page)
{
    const auto found = m_listening.find(page);
    if (found == m_listening.end())
        return;
    m_receive->Listeners().Leave(found->second);
    m_listening.erase(found);
    // Nobody listening: the sound card is let go.
    if (m_listening.empty())
        m_receive->Stop();
}

void CWebAudio::SendFrames()
{
    const quint32 sequence = m_sequence++;
    for (const auto& [page, queue] : m_listening) {
        const int waiting = queue->Waiting();
        for (int i = 0; i < waiting; ++i) {
            const std::optional<QByteArray> frame = queue->Take();
            if (frame)
                m_feed.SendBinary(page, MakeWebAudioFrame(WebAudioKind::Receive, sequence - quint32(waiting - 1 - i), *frame));
        }
    }
}

// Anything but a transmit role's microphone frame is dropped unheard; the
// gate then drops whatever is not from the keyed holder's page.
void CWebAudio::FromPage(const QObject* page, const WebSession& session, const QByteArray& data)
{
    const std::optional<WebAudioFrame> frame = ParseWebAudioFrame(data);
    if (!frame || !MicFrameFromRole(*frame, session.role))
        return;
    m_transmit->Offer(VoiceOf(page), frame->opus);
}

void CWebAudio::TellPages()
{
    m_feed.SendToAll({{QStringLiteral("type"), WebMessage::kAudio},
                      {QStringLiteral("receive"), m_receiveProblem},
                      {QStringLiteral("transmit"), m_transmitProblem}});
}
