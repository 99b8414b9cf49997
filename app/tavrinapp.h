#pragma once
#include <memory>

#include "app/commandline.h"

class CChannelEditor;
class CFlrigService;
class CMainFrame;
class CPortChoice;
class CRigctlService;
class CSilenceWatch;
class CStationRecord;
class CTavrinDoc;
class CTavrinView;
class CTransmitHolder;
class CWebPart;

// The application: settings first, then the window, then the panel's first
// update, which opens the port and queries the radio.
class CTavrinApp {
public:
    explicit CTavrinApp(StartOptions options = {});
    ~CTavrinApp();
    bool InitInstance();
    // Started before the window; InitInstance attaches it to the panel.
    void SetWebPart(std::unique_ptr<CWebPart> web);
    CMainFrame* MainFrame() const { return m_frame.get(); }
    void OnAppAbout();
    void OnFileNew();
    void OnFileOpen();

private:
    void AttachPortHelpers();
    void AttachChannelEditor();
    void AttachStationRecord();

    std::unique_ptr<CTavrinDoc> m_doc;
    StartOptions m_options;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<CPortChoice> m_portChoice;
    CSilenceWatch* m_silence = nullptr;  // the view's child
    std::unique_ptr<CChannelEditor> m_channels;
    // Who holds the transmitter, for every server that can key it.
    CTransmitHolder* m_holder = nullptr;  // the view's child
    // Goes before the frame: its last act may be to unkey the transmitter.
    std::unique_ptr<CRigctlService> m_rigctl;
    std::unique_ptr<CFlrigService> m_flrig;
    CStationRecord* m_record = nullptr;  // the view's child
    std::unique_ptr<CWebPart> m_web;
};
