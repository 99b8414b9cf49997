#pragma once
// A station computer with no display and nobody at it (systemd starts the
// panel for the web, rig-control and flrig servers): the panel runs whole,
// with its window never shown, on Qt's offscreen platform.
//
// Nobody is there to answer a box: what a message box says goes to stderr
// (the journal) instead, the port chooser is declined with a line saying
// how to name the port, and any other dialog is put away as it shows.
#include <QObject>

// Before the application object: no display is looked for. A platform
// already named in QT_QPA_PLATFORM is kept.
void UseHeadlessPlatform();

class CHeadlessAnswers : public QObject {
public:
    CHeadlessAnswers();
    ~CHeadlessAnswers() override;

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
