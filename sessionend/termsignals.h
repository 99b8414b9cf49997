#pragma once
// SIGTERM, SIGINT and SIGHUP, the ways Linux ends a program (logout,
// shutdown, systemctl, kill, Ctrl+C, a closed terminal), delivered as an
// ordinary signal of the event loop. The handler itself only writes the
// signal's number to a socket the loop watches: nothing else is safe there.
#include <QObject>
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

signals:
    void Received(int number);

private:
    void OnReadable();

    QSocketNotifier* m_notifier = nullptr;
};
