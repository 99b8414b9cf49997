#pragma once
// The web panel in the running program: started before any window, so a
// bad certificate, a taken port or no operator ends the start with a
// sentence; then attached to the panel it shows, with its address and
// certificate fingerprint under Help.
//
// The server and its pages run in a thread of their own: the panel's
// event loop wakes for every character the radio sends, and should not
// look at twenty sockets each time. The panel's side publishes what the
// pages are to show and carries out what they ask; neither waits for the
// other: a page's command is handed to the panel and its refusal handed
// back, so one page's commands never hold up another page, and a
// heartbeat goes straight from the server's thread to the beat watch. At
// the end, commands still waiting are dropped at once.
#include <QMutex>
#include <QString>
#include <QThread>
#include <functional>
#include <memory>

#include "audio/audiosettings.h"
#include "web/webcommands.h"
#include "web/webpanelstate.h"
#include "web/websessions.h"
#include "web/websettings.h"

class CBeatWatch;
class CSilenceWatch;
class CTavrinView;
class CTransmitHolder;
class CWebAudio;
class CWebKeying;
class CWebPanelSeam;
class CWebServer;
class COperatorStore;
struct WebIdentity;
class QJsonObject;
class QMenu;
class QWidget;

class CWebService {
public:
    ~CWebService();

    // None with why empty when the profile and command line ask for no
    // web panel; none with why set when it cannot start.
    static std::unique_ptr<CWebService> Start(const WebSettings& settings, QString& why);

    // The page keys through `holder`, as the station programs' servers do.
    void Attach(CTavrinView& view, const CSilenceWatch& silence, CTransmitHolder& holder, QMenu* helpMenu,
                QWidget* parent);
    CWebServer& Server() { return *m_server; }
    QString Address() const { return m_address; }
    QString Fingerprint() const { return m_fingerprint; }
    // The sound cards chosen in the desktop panel, taken up at once.
    void UseAudioDevices(const AudioSettings& devices);

private:
    CWebService() = default;
    bool StartServer(const COperatorStore& operators, const WebSettings& settings, const WebIdentity& identity,
                     QString& why);
    void InServerThread(const std::function<void()>& call);
    // In the server's thread: the page's command, checked, then handed to
    // the panel.
    void CommandFromPage(const QObject* page, const WebSession& session, const QJsonObject& message);
    void Publish();
    WebPanelState Published() const;

    QThread m_thread;
    QObject* m_inThread = nullptr;  // lives in m_thread, for calls made there
    std::unique_ptr<QObject> m_panelSide;  // calls made in the panel's thread
    QMutex m_closingLock;  // held while a command is handed to m_panelSide
    bool m_closing = false;
    std::unique_ptr<CBeatWatch> m_beats;
    mutable QMutex m_publishedLock;
    WebPanelState m_published;
    std::unique_ptr<CWebPanelSeam> m_seam;
    std::unique_ptr<CWebServer> m_server;
    std::unique_ptr<CWebKeying> m_keying;
    std::unique_ptr<CWebAudio> m_audio;  // after the keying it asks
    WebStation m_station;  // what the pages' commands act on
    QString m_address;
    QStringList m_alsoAt;  // the page's address by number, when listening on all
    QString m_fingerprint;
};
