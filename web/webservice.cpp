#include "web/webservice.h"

#include <QAction>
#include <QJsonObject>
#include <QMenu>
#include <QMessageBox>
#include <cstdio>

#include "audio/audiosettings.h"
#include "keying/transmitwatch.h"
#include "remote/rigctlsettings.h"
#include "web/webaudio.h"
#include "web/webcertificate.h"
#include "web/webkeying.h"
#include "web/weblog.h"
#include "web/webpanelseam.h"
#include "web/webserver.h"
#include "web/webtls.h"

namespace {

QString HostForAddress(const WebSettings& settings)
{
    if (settings.address.isEmpty())
        return QSysInfo::machineHostName();
    const QHostAddress address = ParseRigctlAddress(settings.address).value_or(QHostAddress());
    return address.protocol() == QAbstractSocket::IPv6Protocol ? QLatin1Char('[') + address.toString() + QLatin1Char(']')
                                                               : address.toString();
}

} // namespace

CWebService::~CWebService() = default;

std::unique_ptr<CWebService> CWebService::Start(const WebSettings& settings, QString& why)
{
    why.clear();
    if (settings.port == 0)
        return nullptr;
    COperatorStore operators;
    if (!operators.Load(why))
        return nullptr;
    if (operators.IsEmpty()) {
        why = QStringLiteral("no operator is defined: add one with tavrin --add-operator NAME --role transmit");
        return nullptr;
    }
    WebIdentity identity;
    if (!LoadOrMakeWebIdentity(settings.certFile, settings.keyFile, identity, why))
        return nullptr;
    std::unique_ptr<CWebService> service(new CWebService);
    CWebService* raw = service.get();
    service->m_server = std::make_unique<CWebServer>(operators, [raw] {
        return raw->m_seam ? raw->m_seam->Snapshot() : WebPanelState{};
    });
    const QHostAddress address = settings.address.isEmpty()
                                     ? QHostAddress(QHostAddress::Any)
                                     : ParseRigctlAddress(settings.address).value_or(QHostAddress());
    if (!service->m_server->Listen(address, settings.port, WebTlsConfiguration(identity), why))
        return nullptr;
    service->m_server->Feed().SetCommandHandler(
        [raw](const WebSession& session, const QJsonObject& command) { return raw->Command(session, command); });
    service->m_address = QStringLiteral("https://%1:%2/").arg(HostForAddress(settings)).arg(service->m_server->Port());
    service->m_fingerprint = CertificateFingerprint(identity.certificate);
    std::printf("Web panel: %s  certificate SHA-256 %s\n", qPrintable(service->m_address),
                qPrintable(service->m_fingerprint));
    std::fflush(stdout);
    return service;
}

void CWebService::Attach(CTavrinView& view, const CSilenceWatch& silence, CTransmitHolder& holder, QMenu* helpMenu,
                         QWidget* parent)
{
    m_seam = std::make_unique<CWebPanelSeam>(view, silence);
    m_keying = std::make_unique<CWebKeying>(holder, m_server->Feed(), CWebKeying::PanelOf(view));
    keying = [this](const WebSession& session, const QJsonObject& message) {
        return m_keying->Handle(session, message);
    };
    m_audio = std::make_unique<CWebAudio>(m_server->Feed(), *m_keying, holder, CTransmitWatch::Of(view),
                                          LoadAudioSettings());
    m_server->Feed().SetLayout(m_seam->Layout());
    QAction* show = helpMenu->addAction(QStringLiteral("Web Panel Certificate..."));
    QObject::connect(show, &QAction::triggered, parent, [this, parent] {
        QMessageBox::information(parent, QStringLiteral("Web Panel Certificate"),
                                 QStringLiteral("The web panel is at %1\n\nIts certificate's SHA-256 fingerprint:\n%2")
                                     .arg(m_address, m_fingerprint));
    });
}

QString CWebService::Command(const WebSession& session, const QJsonObject& command)
{
    if (m_audio && CWebAudio::Handles(command))
        return m_audio->Handle(session, m_server->Feed().Speaking(), command);
    return HandleWebMessage(m_seam.get(), keying, session, command);
}
