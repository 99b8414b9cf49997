#include "netport/boundedfileos.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "netport/boundedfile.h"

namespace {

QString Errno() { return QString::fromLocal8Bit(std::strerror(errno)); }

QString KindOf(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("it is a folder");
    if (S_ISFIFO(mode))
        return QStringLiteral("it is a named pipe, not a file");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("it is a device, not a file");
    if (S_ISSOCK(mode))
        return QStringLiteral("it is a socket, not a file");
    return S_ISREG(mode) ? QString() : QStringLiteral("it is not a regular file");
}

} // namespace

// O_NONBLOCK lets a FIFO open at once; a FIFO is refused anyway.
qintptr OpenCheckedFile(const QString& path, const char* what, OthersMayRead others, QString& problem)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        problem = CannotReadNamedFile(path, what, Errno());
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        problem = CannotReadNamedFile(path, what, Errno());
    else if (const QString kind = KindOf(info.st_mode); !kind.isEmpty())
        problem = CannotReadNamedFile(path, what, kind);
    else if (info.st_size > kLargestNamedFile)
        problem = NamedFileTooLarge(path, what);
    else if (others == OthersMayRead::No && (info.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        problem = NamedFileSeenByOthers(path, what);
    if (problem.isEmpty())
        return fd;
    ::close(fd);
    return -1;
}

qint64 ReadCheckedFile(qintptr file, char* into, qint64 size, QString& why)
{
    for (;;) {
        const ssize_t got = ::read(int(file), into, size_t(size));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            why = Errno();
        return got;
    }
}

void CloseCheckedFile(qintptr file) { ::close(int(file)); }
