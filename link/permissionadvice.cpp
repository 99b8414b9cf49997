#include "link/permissionadvice.h"

#include <QFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

QString OwningGroup(const QString& device)
{
#ifdef Q_OS_UNIX
    struct stat info {};
    if (::stat(QFile::encodeName(device).constData(), &info) != 0)
        return QString();
    const group* owner = ::getgrgid(info.st_gid);
    return owner ? QString::fromLocal8Bit(owner->gr_name) : QString();
#else
    Q_UNUSED(device);
    return QString();
#endif
}

QString UserName()
{
#ifdef Q_OS_UNIX
    const passwd* user = ::getpwuid(::geteuid());
    return user ? QString::fromLocal8Bit(user->pw_name) : QString();
#else
    return QString();
#endif
}

} // namespace

// Asked with the effective identity and capabilities, as open() asks: plain
// access() would answer for root even where the open was refused.
bool DeniedByPermissions(const QString& device)
{
#ifdef Q_OS_UNIX
    const QByteArray path = QFile::encodeName(device);
    return ::faccessat(AT_FDCWD, path.constData(), R_OK | W_OK, AT_EACCESS) != 0 && errno == EACCES;
#else
    Q_UNUSED(device);
    return false;
#endif
}

QString PermissionDeniedWords(const QString& group, const QString& user)
{
    const QString named = group.isEmpty() ? QStringLiteral("the group that owns the device (dialout on Debian)")
                                          : QStringLiteral("the group that owns the device, %1").arg(group);
    const QString join = QStringLiteral("sudo adduser %1 %2")
                             .arg(user.isEmpty() ? QStringLiteral("$USER") : user,
                                  group.isEmpty() ? QStringLiteral("dialout") : group);
    return QStringLiteral("permission denied. You must be in %1 (%2), "
                          "then log out and log in again: a new group counts only from the next login.")
        .arg(named, join);
}

QString PermissionDeniedWordsFor(const QString& device)
{
    return PermissionDeniedWords(OwningGroup(device), UserName());
}
