#pragma once
// The web panel in the running program: started before any window, so a
// bad certificate, a taken port or no operator ends the start with a
// sentence; then attached to the panel it shows, with its address and
// certificate fingerprint under Help.
#include <QString>
#include <memory>

#include "web/webcommand.h"
#include "web/websessions.h"
#include "web/websettings.h"

class CSilenceWatch;
class CTavrinView;
class CTransmitHolder;
class CWebAudio;
class CWebKeying;
class CWebPanelSeam;
class CWebServer;
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

    // Xmit, Tune and Receive presses and the key, unkey and beat messages of
    // a transmit role go here; unset, they are refused.
    WebKeyingHook keying;

private:
    CWebService() = default;
    QString Command(const WebSession& session, const QJsonObject& command);

    std::unique_ptr<CWebPanelSeam> m_seam;
    std::unique_ptr<CWebServer> m_server;
    std::unique_ptr<CWebKeying> m_keying;
    std::unique_ptr<CWebAudio> m_audio;  // after the keying it asks
    QString m_address;
    QString m_fingerprint;
};
