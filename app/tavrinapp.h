#pragma once
#include <memory>

class CMainFrame;
class CPortChoice;
class CTavrinDoc;
class CTavrinView;

// The application: settings first, then the window, then the panel's first
// update, which opens the port and queries the radio.
class CTavrinApp {
public:
    CTavrinApp();
    ~CTavrinApp();
    bool InitInstance();
    CMainFrame* MainFrame() const { return m_frame.get(); }
    void OnAppAbout();
    void OnFileNew();
    void OnFileOpen();

private:
    void AttachPortHelpers();

    std::unique_ptr<CTavrinDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<CPortChoice> m_portChoice;
};
