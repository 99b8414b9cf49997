#include "panel/windowtitle.h"

#include <QWidget>

// The title the frame set is taken when the first part shows: the view may
// be placed in its frame after it was made.
void CWindowTitle::Set(Part part, const QString& words, const QString& shown)
{
    const QString inTitle = shown.isEmpty() ? words : shown;
    if (m_words[part] == words && m_shown[part] == inTitle)
        return;
    QWidget* top = m_view->window();
    if (!AnyShown())
        m_baseTitle = top->windowTitle();
    m_words[part] = words;
    m_shown[part] = inTitle;
    QString title = m_baseTitle;
    for (const QString& shown : m_shown) {
        if (shown.isEmpty())
            continue;
        title += title.isEmpty() ? shown : QStringLiteral(" - ") + shown;
    }
    top->setWindowTitle(title);
}

bool CWindowTitle::AnyShown() const
{
    for (const QString& shown : m_shown)
        if (!shown.isEmpty())
            return true;
    return false;
}
