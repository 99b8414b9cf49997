#include "panel/windowtitle.h"

#include <QWidget>

// The title the frame set is taken when the first part shows: the view may
// be placed in its frame after it was made.
void CWindowTitle::Set(Part part, const QString& words)
{
    if (m_words[part] == words)
        return;
    QWidget* top = m_view->window();
    if (!AnyShown())
        m_baseTitle = top->windowTitle();
    m_words[part] = words;
    QString title = m_baseTitle;
    for (const QString& shown : m_words) {
        if (shown.isEmpty())
            continue;
        title += title.isEmpty() ? shown : QStringLiteral(" - ") + shown;
    }
    top->setWindowTitle(title);
}

bool CWindowTitle::AnyShown() const
{
    for (const QString& shown : m_words)
        if (!shown.isEmpty())
            return true;
    return false;
}
