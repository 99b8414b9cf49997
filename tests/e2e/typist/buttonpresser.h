#pragma once
// Presses the real program's buttons as its user would, one a line read
// from standard input, named by caption ("Xmit", "Receive", "Tune"), and
// answers "pressed CAPTION" (or "no CAPTION") on standard output, so a test
// decides when each press happens. The lines are read by a thread of their
// own, which works alike for a pipe on Linux and on Windows.
#include <QObject>

class ButtonPresser : public QObject {
public:
    ButtonPresser();

private:
    void OnLine(const QString& caption);
    static bool Press(const QString& caption);
};
