#include "web/webservice.h"

#include <QAction>
#include <QJsonObject>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

#include "audio/audiosettings.h"
#include "panel/tavrinview.h"
#include "remote/hostaddresses.h"
#include "remote/rigctlsettings.h"
#include "web/beatwatch.h"
#include "web/webaudio.h"
#include "web/webcertificate.h"
#include "web/webfeed.h"
#include "web/webkeying.h"
#include "web/weblog.h"
#include "web/webpanelseam.h"
#include "web/webserver.h"
#include "web/webtls.h"

namespace {

QHostAddress ListeningAddress(const WebSettings& settings)
{
    return settings.address.isEmpty() ? QHostAddress(QHostAddress::Any)
                                      : ParseRigctlAddress(settings.address).value_or(QHostAddress());
}

QString HostForAddress(const WebSettings& settings)
{
    if (settings.address.isEmpty())
        return QSysInfo::machineHostName();
    return AddressInUrl(ListeningAddress(settings));
}

// The page's address by number, for a phone that does not know this
// computer's name; none besides the first line's when that is a number.
QStringList UrlsByNumber(const WebSettings& settings, quint16 port)
{
    QStringList urls;
    if (!settings.address.isEmpty())
        return urls;
    for (const QHostAddress& address : AddressesReaching(ListeningAddress(settings)))
        urls << QStringLiteral("https://%1:%2/").arg(AddressInUrl(address)).arg(port);
    return urls;
}

QString AlsoAtLine(const QStringList& urls)
{
    return urls.isEmpty() ? QString()
                          : QStringLiteral("\nand from a phone or another computer at %1").arg(urls.join(QStringLiteral(", ")));
}

} // namespace

// The pages' key ends first, in the panel's thread; then the server ends
// in its own. Commands handed over and not yet carried out go with the
// panel's side; those still arriving are dropped.
CWebService::~CWebService()
{
    {
        QMutexLocker locked(&m_closingLock);
        m_closing = true;
    }
    m_panelSide.reset();
    m_audio.reset();
    m_keying.reset();
    InServerThread([this] { m_server.reset(); });
    m_thread.quit();
    m_thread.wait();
    delete m_inThread;
}

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
    if (!LoadOrMakeWebIdentity(settings.certFile, settings.keyFile, identity, why,
                               AddressesReaching(ListeningAddress(settings))))
        return nullptr;
    std::unique_ptr<CWebService> service(new CWebService);
    if (!service->StartServer(operators, settings, identity, why))
        return nullptr;
    service->m_address = QStringLiteral("https://%1:%2/").arg(HostForAddress(settings)).arg(service->m_server->Port());
    service->m_fingerprint = CertificateFingerprint(identity.certificate);
    service->m_alsoAt = UrlsByNumber(settings, service->m_server->Port());
    std::printf("Web panel: %s  certificate SHA-256 %s\n", qPrintable(service->m_address),
                qPrintable(service->m_fingerprint));
    if (!service->m_alsoAt.isEmpty())
        std::printf("Web panel from a phone or another computer: %s\n", qPrintable(service->m_alsoAt.join(QStringLiteral("  "))));
    std::fflush(stdout);
    return service;
}

// Made in its thread, so that everything the HTTP server makes of its own
// belongs to that thread too.
bool CWebService::StartServer(const COperatorStore& operators, const WebSettings& settings,
                              const WebIdentity& identity, QString& why)
{
    m_panelSide = std::make_unique<QObject>();
    m_beats = std::make_unique<CBeatWatch>(CWebKeying::kBeatTimeout);
    m_station.beats = m_beats.get();
    m_thread.setObjectName(QStringLiteral("web panel"));
    m_thread.start();
    m_inThread = new QObject;
    m_inThread->moveToThread(&m_thread);
    bool listening = false;
    InServerThread([&] {
        m_server = std::make_unique<CWebServer>(operators, [this] { return Published(); });
        QObject::connect(&m_server->Feed(), &CWebFeed::CommandFromPage, m_inThread,
                         [this](const QObject* page, const WebSession& session, const QJsonObject& command) {
                             CommandFromPage(page, session, command);
                         });
        listening = m_server->Listen(ListeningAddress(settings), settings.port, WebTlsConfiguration(identity), why);
        if (!listening)
            m_server.reset();
    });
    return listening;
}

void CWebService::InServerThread(const std::function<void()>& call)
{
    QMetaObject::invokeMethod(m_inThread, call, Qt::BlockingQueuedConnection);
}

void CWebService::Attach(CTavrinView& view, const CSilenceWatch& silence, CTransmitHolder& holder, QMenu* helpMenu,
                         QWidget* parent)
{
    m_seam = std::make_unique<CWebPanelSeam>(view, silence);
    m_keying = std::make_unique<CWebKeying>(holder, m_server->Feed(), view, *m_beats);
    m_audio = std::make_unique<CWebAudio>(m_server->Feed(), *m_keying, holder, LoadAudioSettings());
    m_station.view = &view;
    m_station.keying = m_keying.get();
    m_station.audio = m_audio.get();
    m_server->Feed().SetLayout(m_seam->Layout());
    // What the pages show is read off the panel here, in its thread: after
    // each report, after each page's command, when a page opens, and on a
    // slow round for what the desktop's own user changes.
    QObject::connect(&view, &CTavrinView::ReportParsed, m_panelSide.get(), [this] { Publish(); });
    QObject::connect(&m_server->Feed(), &CWebFeed::PageOpened, m_panelSide.get(), [this] { Publish(); });
    auto* round = new QTimer(m_panelSide.get());
    QObject::connect(round, &QTimer::timeout, m_panelSide.get(), [this] { Publish(); });
    round->start(CWebFeed::kRoundMs);
    QAction* show = helpMenu->addAction(QStringLiteral("Web Panel Certificate..."));
    QObject::connect(show, &QAction::triggered, parent, [this, parent] {
        QMessageBox::information(parent, QStringLiteral("Web Panel Certificate"),
                                 QStringLiteral("The web panel is at %1%2\n\nIts certificate's SHA-256 fingerprint:\n%3")
                                     .arg(m_address, AlsoAtLine(m_alsoAt), m_fingerprint));
    });
}

void CWebService::UseAudioDevices(const AudioSettings& devices)
{
    if (m_audio)
        m_audio->UseDevices(devices);
}

// Refused or a heartbeat at once, in the server's thread; anything else is
// carried out in the panel's, and its refusal handed back.
void CWebService::CommandFromPage(const QObject* page, const WebSession& session, const QJsonObject& message)
{
    QString refusal;
    const WebCommand* command = AdmitWebCommand(message, session, refusal);
    if (!command)
        return m_server->Feed().Refuse(page, refusal);
    if (command->flags & kWebOnArrival)
        return void(RunWebCommand(*command, {m_station, session, page, message}));
    QMutexLocker locked(&m_closingLock);
    if (m_closing)
        return;
    QMetaObject::invokeMethod(m_panelSide.get(), [this, command, session, page, message] {
        const QString refusal = RunWebCommand(*command, {m_station, session, page, message});
        Publish();
        if (!refusal.isEmpty())
            m_server->Feed().Refuse(page, refusal);
    }, Qt::QueuedConnection);
}

// Only while someone watches: with no page open this costs the panel nothing.
void CWebService::Publish()
{
    if (!m_seam || m_server->Feed().PageCount() == 0)
        return;
    const WebPanelState now = m_seam->Snapshot();
    {
        QMutexLocker locked(&m_publishedLock);
        m_published = now;
    }
    m_server->Feed().Changed();
}

WebPanelState CWebService::Published() const
{
    QMutexLocker locked(&m_publishedLock);
    return m_published;
}
