#pragma once
// A program started for measurement, in its own working directory and with
// extra environment; and the processor time a process uses over a window.
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
    void Stop();

private:
    pid_t m_pid = -1;
};

// Processor time of a process over a window, as a share of one core.
class CpuWindow {
public:
    explicit CpuWindow(qint64 pid);
    explicit CpuWindow(const ChildProcess& child) : CpuWindow(child.Pid()) {}
    double Seconds() const;
    double Share() const;

private:
    qint64 m_pid;
    qint64 m_cpu;
    qint64 m_start;
};
