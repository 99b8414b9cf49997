#include "app/startconsole.h"

#include <cstdio>
#include <io.h>
#include <windows.h>

namespace {

// A stream already going somewhere (a file, a pipe, Wine's terminal) stays
// where it goes.
bool Connected(FILE* stream)
{
    const int fd = ::_fileno(stream);
    return fd >= 0 && ::_get_osfhandle(fd) >= 0;
}

} // namespace

void UseStartingConsole()
{
    if (Connected(stdout) && Connected(stderr))
        return;
    if (!::AttachConsole(ATTACH_PARENT_PROCESS))
        return;
    if (!Connected(stdout))
        std::freopen("CONOUT$", "w", stdout);
    if (!Connected(stderr))
        std::freopen("CONOUT$", "w", stderr);
    if (!Connected(stdin))
        std::freopen("CONIN$", "r", stdin);
}
