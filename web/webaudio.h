#pragma once
// The station's sound for the web panel: the receiver's audio to each page
// that listens, and the microphone of the page holding the transmitter into
// it while, and only while, it is keyed. A sound card that cannot be opened
// is said in the log and on the page; the panel goes on without it.
#include <QObject>
#include <QString>
#include <QTimer>
#include <map>
#include <memory>

#include "audio/audiosettings.h"
#include "audio/micgate.h"
#include "web/websessions.h"

class CListenerQueue;
class CReceiveAudio;
class CTransmitAudio;
class CTransmitHolder;
class CWebFeed;
class CWebKeying;

class CWebAudio : public QObject, private CTransmitterQuestions {
    Q_OBJECT
public:
    CWebAudio(CWebFeed& feed, const CWebKeying& keying, CTransmitHolder& holder, const AudioSettings& devices,
              QObject* parent = nullptr);
    ~CWebAudio() override;

    // A page's Listen turned on or off; the refusal to show it, or empty.
    QString Listen(const WebSession& session, const QObject* page, bool on);

    int Listeners() const { return int(m_listening.size()); }

    // Opens the devices chosen now: the transmitter's output at once, the
    // receiver's input at once if anyone listens, else at the first Listen.
    void UseDevices(const AudioSettings& devices);

private:
    QString HolderSession() const override;
    bool Keyed() const override;

    void StartTransmit();
    bool StartReceive();
    void StopListening(const QObject* page);
    void DropListeners();
    void SendFrames();
    void FromPage(const QObject* page, const WebSession& session, const QByteArray& data);
    void TellPages();

    CWebFeed& m_feed;
    const CWebKeying& m_keying;
    CTransmitHolder& m_holder;
    AudioSettings m_devices;
    std::unique_ptr<CReceiveAudio> m_receive;
    std::unique_ptr<CTransmitAudio> m_transmit;
    QString m_receiveProblem;   // empty while the receiver's audio can be had
    QString m_transmitProblem;  // empty while the transmitter's input can be fed
    std::map<const QObject*, std::shared_ptr<CListenerQueue>> m_listening;
    quint32 m_sequence = 0;
    QTimer m_look;
};
