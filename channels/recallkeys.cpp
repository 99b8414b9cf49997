#include "channels/recallkeys.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>

#include "panel/combocontrols.h"
#include "panel/tavrinview.h"
#include "res/resource.h"

CRecallKeys::CRecallKeys(CTavrinView& view)
    : QObject(&view),
      m_view(view),
      m_channels(static_cast<SimpleCombo*>(view.Form().Combo(IDC_CHANNELS))),
      m_list(m_channels->List())
{
    // Keys reach the list; the pointer's right-click reaches its viewport.
    m_list->installEventFilter(this);
    m_list->viewport()->installEventFilter(this);
}

bool CRecallKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ContextMenu) {
        OfferMenu(*static_cast<QContextMenuEvent*>(event));
        return true;
    }
    if (event->type() == QEvent::KeyPress && IsEnter(*static_cast<QKeyEvent*>(event)) && m_list->currentRow() >= 0) {
        Recall(m_list->currentRow());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

bool CRecallKeys::IsEnter(const QKeyEvent& key)
{
    return key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter;
}

// A right-click offers the line under the pointer; the Menu key, the line
// the keys are on.
void CRecallKeys::OfferMenu(const QContextMenuEvent& event)
{
    int row = m_list->currentRow();
    QPoint at = event.globalPos();
    if (event.reason() == QContextMenuEvent::Mouse)
        row = m_list->indexAt(m_list->viewport()->mapFromGlobal(at)).row();
    else if (row >= 0)
        at = m_list->viewport()->mapToGlobal(m_list->visualItemRect(m_list->item(row)).center());
    QMenu menu(m_list);
    QAction* recall = menu.addAction(QStringLiteral("Recall"));
    recall->setEnabled(row >= 0);
    if (menu.exec(at) == recall)
        Recall(row);
}

// As a double-click on the row: it becomes the selection, then its handler.
void CRecallKeys::Recall(int row)
{
    m_channels->SetCurSel(row);
    m_view.OnCmdMsg(IDC_CHANNELS, Notification::DoubleClick);
}
