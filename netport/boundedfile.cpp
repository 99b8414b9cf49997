#include "netport/boundedfile.h"

#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

QString Cannot(const QString& path, const char* what, const QString& why)
{
    return QStringLiteral("cannot read the %1 file \"%2\": %3").arg(QLatin1String(what), path, why);
}

QString TooLarge(const QString& path, const char* what)
{
    return QStringLiteral("the %1 file \"%2\" is larger than 1 MB: it is not one this program wrote or can use")
        .arg(QLatin1String(what), path);
}

QString SeenByOthers(const QString& path, const char* what)
{
    return QStringLiteral("the %1 file \"%2\" can be read or changed by other users than its owner, so it was not "
                          "used; run \"chmod 600 %2\" and start again").arg(QLatin1String(what), path);
}

#ifdef Q_OS_UNIX
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

// The descriptor stays open for the read that follows, so what was checked is
// what is read. O_NONBLOCK lets a FIFO open at once; a FIFO is refused anyway.
int OpenChecked(const QString& path, const char* what, OthersMayRead others, QString& problem)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        problem = Cannot(path, what, QString::fromLocal8Bit(std::strerror(errno)));
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        problem = Cannot(path, what, QString::fromLocal8Bit(std::strerror(errno)));
    else if (const QString kind = KindOf(info.st_mode); !kind.isEmpty())
        problem = Cannot(path, what, kind);
    else if (info.st_size > kLargestNamedFile)
        problem = TooLarge(path, what);
    else if (others == OthersMayRead::No && (info.st_mode & (S_IRWXG | S_IRWXO)) != 0)
        problem = SeenByOthers(path, what);
    if (problem.isEmpty())
        return fd;
    ::close(fd);
    return -1;
}
#endif

} // namespace

QString BoundedFileProblem(const QString& path, const char* what)
{
    QString problem;
#ifdef Q_OS_UNIX
    const int fd = OpenChecked(path, what, OthersMayRead::Yes, problem);
    if (fd >= 0)
        ::close(fd);
#else
    QByteArray unused;
    ReadBoundedFile(path, what, unused, problem);
#endif
    return problem;
}

// A file that grows between the check and the read is cut at the limit and
// refused all the same.
bool ReadBoundedFile(const QString& path, const char* what, QByteArray& bytes, QString& problem,
                     OthersMayRead others)
{
    bytes.clear();
#ifdef Q_OS_UNIX
    const int fd = OpenChecked(path, what, others, problem);
    if (fd < 0)
        return false;
    bytes.resize(kLargestNamedFile + 1);
    qsizetype filled = 0;
    while (filled < bytes.size()) {
        const ssize_t got = ::read(fd, bytes.data() + filled, size_t(bytes.size() - filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            problem = Cannot(path, what, QString::fromLocal8Bit(std::strerror(errno)));
        if (got <= 0)
            break;
        filled += got;
    }
    ::close(fd);
    bytes.resize(filled);
#else
    Q_UNUSED(others);  // the owner's mode bits say little there
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        problem = Cannot(path, what, QFileInfo(path).isFile() ? file.errorString() : QStringLiteral("it is not a regular file"));
    else
        bytes = file.read(kLargestNamedFile + 1);
#endif
    if (problem.isEmpty() && bytes.size() > kLargestNamedFile)
        problem = TooLarge(path, what);
    if (problem.isEmpty())
        return true;
    bytes = QByteArray();
    return false;
}
