#pragma once
// A session that ends from outside ends the panel as closing its window
// does: a key a station program holds is let go, the timers stop, a range
// typed but not yet left is taken, and the channel file is written; then the
// process exits with status 0. A second signal meanwhile ends it at once.
//
// Nobody is there to answer a box any more: a box or dialog that is up, or
// comes up while the panel closes, is put away, and what a message box had
// to say goes to the log instead.
//
// A desktop logout that first asks the application to commit its data gets
// the channel file written, with the window left open: the logout may yet
// be cancelled.
#include <QObject>
#include <functional>

class CTermSignals;

class CSessionEnd : public QObject {
    Q_OBJECT
public:
    // close: the window's own close. commit: the channel file written, as
    // it would be at close.
    CSessionEnd(std::function<void()> close, std::function<void()> commit);
    ~CSessionEnd() override;

    // The application's event loop, unless the session ended before it could
    // start; then the panel is closed. The program's exit status.
    int Exec();

private:
    void OnSignal(int number);
    void CloseNow(int number);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void PutAway(QWidget* dialog);

    std::function<void()> m_close;
    std::function<void()> m_commit;
    CTermSignals* m_signals;
    bool m_ending = false;
    bool m_closed = false;
};
