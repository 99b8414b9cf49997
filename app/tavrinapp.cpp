#include "app/tavrinapp.h"

#include <QAction>
#include <QCoreApplication>
#include <QFileDialog>
#include <QMenu>

#include "access/panelaccess.h"
#include "app/aboutdlg.h"
#include "app/mainframe.h"
#include "app/tavrindoc.h"
#include "app/webpart.h"
#include "channeleditor/channeleditor.h"
#include "channels/recallkeys.h"
#include "keying/transmitholder.h"
#include "keying/transmitrelease.h"
#include "link/commsettings.h"
#include "panel/frequencywheel.h"
#include "panel/tavrinview.h"
#include "portchooser/portchoice.h"
#include "portwatch/lostlinkreceive.h"
#include "portwatch/portreopener.h"
#include "radiowatch/silencewatch.h"
#include "remote/flrigservice.h"
#include "remote/rigctlservice.h"
#include "txlog/stationrecord.h"
#include "txlog/transmissionswindow.h"

CTavrinApp::CTavrinApp(StartOptions options) : m_options(std::move(options)) {}
CTavrinApp::~CTavrinApp() = default;

void CTavrinApp::SetWebPart(std::unique_ptr<CWebPart> web) { m_web = std::move(web); }

bool CTavrinApp::InitInstance()
{
    // The icon lives in a static library: nothing else would pull it in.
    Q_INIT_RESOURCE(tavrin);
    // The profile (port mapping among others) is found under this key.
    QCoreApplication::setOrganizationName(QString::fromLatin1(g_szRegistryKey));
    QCoreApplication::setApplicationName(QString::fromLatin1(g_szProfileName));

    SetDeviceForEveryPort(m_options.port);
    m_doc = std::make_unique<CTavrinDoc>();
    m_frame = std::make_unique<CMainFrame>();
    if (!m_doc->OnNewDocument())
        return false;
    m_frame->SetView(new CTavrinView(m_frame.get()));
    MakePanelAccessible(*m_frame->View());
    new CFrequencyWheel(*m_frame->View());
    new CRecallKeys(*m_frame->View());
    QObject::connect(m_frame.get(), &CMainFrame::AboutRequested, [this] { OnAppAbout(); });
    QObject::connect(m_frame.get(), &CMainFrame::NewRequested, [this] { OnFileNew(); });
    QObject::connect(m_frame.get(), &CMainFrame::OpenRequested, [this] { OnFileOpen(); });
    AttachPortHelpers();
    AttachChannelEditor();
    m_frame->View()->OnInitialUpdate();
    m_rigctl = std::make_unique<CRigctlService>(*m_frame->View(), *m_silence, m_frame->RadioMenu(),
                                                m_frame->menuBar(), LoadRigctlSettings(m_options.rigctl), m_holder);
    m_flrig = std::make_unique<CFlrigService>(*m_frame->View(), *m_silence, m_holder, m_frame->RadioMenu(),
                                              m_frame->menuBar(),
                                              LoadServerSettings(StationServerKind::Flrig, m_options.flrig));
    AttachStationRecord();
    if (m_web)
        m_web->Attach(*m_frame->View(), *m_silence, *m_holder, *m_record, m_frame->HelpMenu(), m_frame.get());
    m_frame->AddQuit();
    // Headless, the window is all there but never shown: its close still
    // ends the panel and writes the channel file.
    if (!m_options.headless)
        m_frame->show();
    m_portChoice->OfferIfPortClosed();
    return true;
}

// Beside the panel: a lost port ends a transmission and is opened again by
// itself, a silent radio is told in the title, and the port can be chosen
// from the window.
void CTavrinApp::AttachPortHelpers()
{
    CTavrinView& view = *m_frame->View();
    // Told why before anything unkeys for a lost link or a closing panel.
    m_holder = new CTransmitHolder(&view);
    m_holder->Follow(view);
    new CTransmitRelease(view, *m_holder);
    new CLostLinkReceive(view);
    new CPortReopener(view);
    m_silence = new CSilenceWatch(view);
    m_portChoice = std::make_unique<CPortChoice>(view, m_frame.get());
    QAction* choose = m_frame->RadioMenu()->addAction(QStringLiteral("Serial Port..."));
    QObject::connect(choose, &QAction::triggered, [this] { m_portChoice->Offer(); });
    CWebPart::AddMenuEntries(m_frame->RadioMenu(), m_frame.get(), [this] { return m_web.get(); });
}

// The Channels window's unsaved edits are asked about before the panel
// closes and writes the channel file.
void CTavrinApp::AttachChannelEditor()
{
    m_channels = std::make_unique<CChannelEditor>(*m_frame->View(), m_frame->RadioMenu(), m_frame.get());
    m_frame->AddCloseGuard([this] { return m_channels->MayClose(); });
}

// Every transmission and every station program's visit on record, and the
// window that reads the record.
void CTavrinApp::AttachStationRecord()
{
    m_record = new CStationRecord(*m_frame->View(), *m_holder);
    m_record->Watch(m_rigctl->Server(), QStringLiteral("rig-control"));
    m_record->Watch(m_flrig->Server(), QStringLiteral("flrig"));
    AttachTransmissionsWindow(m_frame->RadioMenu(), m_frame.get());
}

void CTavrinApp::OnAppAbout()
{
    CAboutDlg about(m_frame.get());
    about.exec();
}

// A new or opened document gives the view its first update again: the
// channel file is read again and the radio queried again.
void CTavrinApp::OnFileNew()
{
    if (m_doc->OnNewDocument() && m_frame->View()) {
        m_frame->View()->OnInitialUpdate();
        m_portChoice->OfferIfPortClosed();
    }
}

void CTavrinApp::OnFileOpen()
{
    const QString name = QFileDialog::getOpenFileName(m_frame.get());
    if (!name.isEmpty() && m_frame->View()) {
        m_frame->View()->OnInitialUpdate();
        m_portChoice->OfferIfPortClosed();
    }
}
