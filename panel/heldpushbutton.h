#pragma once
// A push button whose pushed look can be set by the program (BM_SETSTATE)
// and then stays until the program releases it. Qt lets a button go up on
// every focus loss, Escape, or press dragged off it; a running tune or scan
// shown by the pushed look would then look stopped.
#include <QPushButton>

class HeldPushButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

    void SetState(bool pushed);

protected:
    bool event(QEvent* event) override;

private:
    bool m_held = false;
};
