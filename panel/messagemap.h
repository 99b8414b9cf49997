#pragma once
// The view's message map: which handler runs for which notification of
// which control. The form's controls are bound from it, and whatever acts
// on the panel from outside the form finds its handler in it, so both run
// the same On… handler the same way.
class CTavrinView;

enum class Notification {
    Clicked,      // BN_CLICKED
    CloseUp,      // CBN_CLOSEUP
    DoubleClick,  // CBN_DBLCLK
    KillFocus,    // EN_KILLFOCUS
};

struct MessageMapEntry {
    int id;
    Notification code;
    void (CTavrinView::*handler)();
};

// None where the control has no handler for the notification.
const MessageMapEntry* FindMessageMapEntry(int id, Notification code);
