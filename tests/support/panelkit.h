#pragma once
// Small pieces most panel tests need: a started panel with the start-up
// queries already off the line, a readable form of what went out, and a
// click that lands on a check box's or radio button's indicator.
#include <QByteArrayList>

#include "support/viewharness.h"

class QAbstractButton;
class QWidget;

class StartedPanel : public ViewHarness {
public:
    StartedPanel();
};

// The writes as one readable line, so a failing row shows what went out.
QByteArray Shown(const QByteArrayList& writes);

// One write of these steps, or no write at all when there are none.
QByteArrayList OneWriteOrNone(const QByteArray& steps);

// One step of a transmission: "xmit", "receive" or "tune" as the panel's
// handlers take them, "lost" for the link lost under it (the panel needs
// its CLostLinkReceive for that), anything else a report the radio sends.
void TakeTransmitStep(ViewHarness& panel, const QString& step);

// The control may be wider than its label; a click at its centre can miss.
void ClickIndicator(QAbstractButton* button);

// A TCP port on 127.0.0.1 that nothing listens on just now.
quint16 FreePort();

// Shows the window and brings it to the front, so the focus moves as the
// user's clicks and keys move it. False if it never became active.
bool ShowActive(QWidget& window);
