#include "panel/heldpushbutton.h"

void HeldPushButton::SetState(bool pushed)
{
    m_held = pushed;
    setDown(pushed);
}

// Whatever the event made of the button's own down state, a held button is
// put back down. A click still reaches its handler first, which may release it.
bool HeldPushButton::event(QEvent* event)
{
    const bool handled = QPushButton::event(event);
    if (m_held && !isDown())
        setDown(true);
    return handled;
}
