#include "sessionend/commitchannelfile.h"

#include <QApplication>

#include "panel/tavrinview.h"

// The range edits take their text when the focus leaves them; it comes back
// at once, so the user can go on typing.
void CommitChannelFile(CTavrinView& view)
{
    QWidget* focus = QApplication::focusWidget();
    const bool inPanel = focus && view.isAncestorOf(focus);
    if (inPanel)
        focus->clearFocus();
    view.SaveChannelFile();
    if (inPanel)
        focus->setFocus(Qt::OtherFocusReason);
}
