#pragma once
// While one of these lives, every write to a file fails, for root as well:
// the file size limit is zero and the signal it would raise is ignored.
#include <csignal>
#include <sys/resource.h>

class NoFileWrites {
public:
    NoFileWrites()
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        rlimit none = m_saved;
        none.rlim_cur = 0;
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        m_active = setrlimit(RLIMIT_FSIZE, &none) == 0;
    }
    ~NoFileWrites()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    NoFileWrites(const NoFileWrites&) = delete;
    NoFileWrites& operator=(const NoFileWrites&) = delete;

    bool Active() const { return m_active; }

private:
    rlimit m_saved {};
    void (*m_previousHandler)(int) = nullptr;
    bool m_active = false;
};
