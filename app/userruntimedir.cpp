#include "app/userruntimedir.h"

#include <QFile>
#include <QFileInfo>
#include <unistd.h>

void UseUserRuntimeDir(const QString& root)
{
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        return;
    const uid_t uid = ::getuid();
    const QString folder = QStringLiteral("%1/%2").arg(root).arg(uid);
    // Someone else's folder under that name would be a trap, not a login's.
    const QFileInfo found(folder);
    if (found.isDir() && found.ownerId() == uid)
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
}
