#include "app/mainframe.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenuBar>

#include "panel/tavrinview.h"
#include "res/strings.h"

CMainFrame::CMainFrame()
{
    setWindowTitle(QStringLiteral(IDS_FRAME_TITLE_TEXT));
    setWindowIcon(QIcon(QStringLiteral(":/res/tavrin.png")));
    CreateMenu();
    CreateAccelerators();
}

void CMainFrame::CreateMenu()
{
    // What goes beyond the panel itself (the port, the rig-control server)
    // lives here, so Help stays as it always was.
    m_radio = menuBar()->addMenu(QStringLiteral("&Radio"));
    m_help = menuBar()->addMenu(QStringLiteral("&Help"));
    QAction* about = m_help->addAction(QStringLiteral("&About Tavrin..."));
    connect(about, &QAction::triggered, this, &CMainFrame::AboutRequested);
    // Shown for information; it has no command behind it.
    QAction* version = m_help->addAction(QStringLiteral("Ver " TAVRIN_VERSION));
    version->setEnabled(false);
}

// The standard accelerators. New and Open start the panel over, as a new
// document does; the edit keys belong to the edit fields themselves.
void CMainFrame::CreateAccelerators()
{
    auto* fileNew = new QAction(this);
    fileNew->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_N));
    connect(fileNew, &QAction::triggered, this, &CMainFrame::NewRequested);
    auto* fileOpen = new QAction(this);
    fileOpen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(fileOpen, &QAction::triggered, this, &CMainFrame::OpenRequested);
    addActions({fileNew, fileOpen});
}

// Quit is the window's own close: the Channels window's edits are asked
// about, and the channel file is written.
void CMainFrame::AddQuit()
{
    m_radio->addSeparator();
    QAction* quit = m_radio->addAction(QStringLiteral("&Quit"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    connect(quit, &QAction::triggered, this, &QWidget::close);
}

void CMainFrame::SetView(CTavrinView* view)
{
    m_view = view;
    setCentralWidget(view);
}

void CMainFrame::CloseUnasked()
{
    m_closeGuards.clear();
    close();
}

// Closing the window ends the view; its last act is writing the channel file.
void CMainFrame::closeEvent(QCloseEvent* event)
{
    for (const auto& mayClose : m_closeGuards) {
        if (!mayClose()) {
            event->ignore();
            return;
        }
    }
    QMainWindow::closeEvent(event);
    if (event->isAccepted() && m_view) {
        m_view->DestroyWindow();
        m_view = nullptr;
    }
}
