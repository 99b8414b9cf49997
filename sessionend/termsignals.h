#pragma once
// The ways the system ends a program, delivered as an ordinary signal of the
// event loop. On Linux SIGTERM, SIGINT and SIGHUP (logout, shutdown,
// systemctl, kill, Ctrl+C, a closed terminal): the handler itself only writes
// the signal's number to a socket the loop watches, nothing else is safe
// there (termsignals.cpp). On Windows a console's Ctrl+C, Ctrl+Break and
// close, log-off and shutdown (termsignals_win.cpp).
#include <QObject>
#include <QString>
#include <csignal>

class QSocketNotifier;

class CTermSignals : public QObject {
    Q_OBJECT
public:
    // One at a time: the handler has one socket to write to. A signal the
    // program was started with ignored (nohup, a background job) stays
    // ignored.
    explicit CTermSignals(QObject* parent = nullptr);
    ~CTermSignals() override;

    // Each signal acts as it did before this object: a second one ends the
    // program at once, however busy the loop is.
    void RestoreDispositions();

    // How the log names the signal.
    static QString Name(int number);
    // A second signal while the panel closes: the process ends now, as that
    // signal ends it by default.
    static void EndAtOnce(int number);

signals:
    void Received(int number);
    // The system ends the process as soon as this returns (Windows ends a
    // window program at log-off and shutdown so): the panel must be closed
    // by then.
    void EndingNow(int number);

private:
    void OnReadable();

    QSocketNotifier* m_notifier = nullptr;
};
