#pragma once
// A program started for measurement: its own working directory and extra
// environment, and the processor time all its threads have used so far.
#include <QByteArrayList>
#include <QString>
#include <sys/types.h>

class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    // `environment` holds "NAME=value" entries added to this process's own.
    bool Start(const QString& program, const QStringList& arguments, const QString& workDir,
               const QByteArrayList& environment);
    bool Running();
    pid_t Pid() const { return m_pid; }
    // Nanoseconds on a processor, summed over the threads alive now.
    qint64 CpuNanoseconds() const;
    void Stop();

private:
    pid_t m_pid = -1;
};

// Processor time of a child over a window, as a share of one core.
class CpuWindow {
public:
    explicit CpuWindow(const ChildProcess& child);
    double Seconds() const;
    double Share() const;

private:
    const ChildProcess& m_child;
    qint64 m_cpu;
    qint64 m_start;
};
