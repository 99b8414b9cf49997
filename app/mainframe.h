#pragma once
#include <QMainWindow>

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
};
