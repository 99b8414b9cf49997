#pragma once
#include <QMainWindow>
#include <functional>
#include <vector>

class CTavrinView;
class QMenu;

// The main window: the panel fills it; a Radio menu for the link and the
// station programs, then Help; no tool bar and no status bar.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame();
    void SetView(CTavrinView* view);
    CTavrinView* View() const { return m_view; }
    QMenu* RadioMenu() const { return m_radio; }
    QMenu* HelpMenu() const { return m_help; }
    // Asked, in turn, before the window closes; one that answers false
    // keeps the window open (a helper window with work the user may save).
    void AddCloseGuard(std::function<bool()> mayClose) { m_closeGuards.push_back(std::move(mayClose)); }
    // Closes with nobody there to answer a guard's question (the session is
    // ending): what the guards keep is left to the panel's own closing.
    void CloseUnasked();
    // Radio > Quit (Ctrl+Q), last in the menu once the others are in it.
    void AddQuit();

signals:
    void AboutRequested();
    void NewRequested();
    void OpenRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void CreateMenu();
    void CreateAccelerators();

    CTavrinView* m_view = nullptr;
    QMenu* m_radio = nullptr;
    QMenu* m_help = nullptr;
    std::vector<std::function<bool()>> m_closeGuards;
};
