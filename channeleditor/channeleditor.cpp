#include "channeleditor/channeleditor.h"

#include <QAction>
#include <QElapsedTimer>
#include <QMenu>
#include <QTableView>

#include "channeleditor/channelswindow.h"
#include "channeleditor/painttimer.h"

CChannelEditor::CChannelEditor(CTavrinView& view, QMenu* radioMenu, QWidget* owner)
    : m_seam(view), m_owner(owner)
{
    QAction* open = radioMenu->addAction(QStringLiteral("Channels..."));
    open->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    open->setStatusTip(QStringLiteral("See, edit, import and export the 300 memory channels"));
    connect(open, &QAction::triggered, this, &CChannelEditor::Open);
    m_seam.WatchTable([this](int first, int last) { m_model.TakeFromTable(first, last); });
    m_seam.WatchClosing([this] { OnPanelClosing(); });
}

CChannelEditor::~CChannelEditor() { delete m_window.data(); }

// The window is made the first time it is asked for; afterwards it is
// shown again as it was left, its table following the channel table.
void CChannelEditor::Open()
{
    QElapsedTimer started;
    started.start();
    const bool first = !m_window;
    if (first)
        m_window = new CChannelsWindow(m_model, m_seam, m_owner);
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
    m_window->Table()->setFocus();
    LogAfterNextPaint(m_window->Table()->viewport(), started,
                      first ? QStringLiteral("Channels window opened") : QStringLiteral("Channels window shown again"));
}

bool CChannelEditor::MayClose() { return !m_window || !m_window->isVisible() || m_window->close(); }

// Nobody is there to answer: the file keeps what it held, which is the
// safe side, and the log says what was left out.
void CChannelEditor::OnPanelClosing()
{
    const QList<int> edited = m_model.EditedSlots();
    if (!edited.isEmpty()) {
        qCWarning(lcChannels).noquote()
            << QStringLiteral("The panel closed with %1 slot(s) edited in the Channels window and not saved "
                              "(first: slot %2); the channel file keeps them as they were.")
                   .arg(edited.size()).arg(edited.front());
        m_model.Revert();
    }
    if (m_window)
        m_window->hide();
}
