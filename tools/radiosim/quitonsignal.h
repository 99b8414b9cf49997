#pragma once

#include <QObject>

class QSocketNotifier;

namespace radiosim {

// Turns SIGINT and SIGTERM into a normal event-loop exit, so the pty is
// closed and the state file finished instead of the process dying mid-write.
class QuitOnSignal : public QObject
{
    Q_OBJECT

public:
    explicit QuitOnSignal(QObject *parent = nullptr);
    ~QuitOnSignal() override;

private:
    static void handle(int signal);
    void quit();

    QSocketNotifier *m_notifier = nullptr;
};

} // namespace radiosim
