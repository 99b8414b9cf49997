#include "childprocess.h"

#include "linefeeder.h"
#include "processcpu.h"

#include <QFile>
#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

ChildProcess::~ChildProcess() { Stop(); }

namespace {

// This process's environment with the given "NAME=value" entries in place of
// any of the same name.
std::vector<char*> Environment(QByteArrayList& own)
{
    std::vector<char*> envp;
    for (char** entry = environ; *entry; ++entry) {
        const QByteArray entryText(*entry);
        const QByteArray name = entryText.left(entryText.indexOf('=') + 1);
        if (std::none_of(own.cbegin(), own.cend(), [&](const QByteArray& e) { return e.startsWith(name); }))
            envp.push_back(*entry);
    }
    for (QByteArray& entry : own)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    return envp;
}

std::vector<char*> Arguments(QByteArrayList& argv)
{
    std::vector<char*> pointers;
    for (QByteArray& arg : argv)
        pointers.push_back(arg.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

bool ChildProcess::Start(const QString& program, const QStringList& arguments, const QString& workDir,
                         const QByteArrayList& environment)
{
    QByteArrayList argv{QFile::encodeName(program)};
    for (const QString& argument : arguments)
        argv << argument.toLocal8Bit();
    QByteArrayList own = environment;
    const std::vector<char*> pointers = Arguments(argv);
    const std::vector<char*> envp = Environment(own);
    const QByteArray dir = QFile::encodeName(workDir);

    m_pid = fork();
    if (m_pid != 0)
        return m_pid > 0;
    // The child: only async-signal-safe calls on what was prepared above.
    closefrom(3); // the pty master and the driver's own files stay with the driver
    if (chdir(dir.constData()) != 0)
        _exit(126);
    execve(pointers[0], pointers.data(), envp.data());
    _exit(127);
}

bool ChildProcess::Running()
{
    if (m_pid <= 0)
        return false;
    int status = 0;
    if (waitpid(m_pid, &status, WNOHANG) == 0)
        return true;
    m_pid = -1;
    return false;
}

void ChildProcess::Stop()
{
    if (!Running())
        return;
    kill(m_pid, SIGTERM);
    for (int i = 0; i < 50 && Running(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (Running()) {
        kill(m_pid, SIGKILL);
        waitpid(m_pid, nullptr, 0);
    }
    m_pid = -1;
}

CpuWindow::CpuWindow(qint64 pid) : m_pid(pid), m_cpu(ProcessCpuNanoseconds(pid)), m_start(MonotonicNanos()) {}

double CpuWindow::Seconds() const { return double(MonotonicNanos() - m_start) / 1e9; }

double CpuWindow::Share() const { return double(ProcessCpuNanoseconds(m_pid) - m_cpu) / 1e9 / Seconds(); }
