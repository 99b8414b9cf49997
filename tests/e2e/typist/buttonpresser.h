#pragma once
// Presses the real program's buttons as its user would, one a line read
// from standard input, named by caption ("Xmit", "Receive", "Tune"), and
// answers "pressed CAPTION" (or "no CAPTION") on standard output, so a test
// decides when each press happens.
#include <QObject>
#include <QSocketNotifier>

class ButtonPresser : public QObject {
public:
    ButtonPresser();

private:
    void OnLine();
    static bool Press(const QString& caption);

    QSocketNotifier m_input;
    QByteArray m_pending;
};
