#include "app/datadir.h"

#include <QDir>

QString UserDataDir()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/tavrin"));
}

bool EnterDataDir(const QString& dir, QString& error)
{
    if (dir.isEmpty())
        return true;
    if (!QDir().mkpath(dir)) {
        error = QStringLiteral("cannot create the data folder %1").arg(dir);
        return false;
    }
    if (!QDir::setCurrent(dir)) {
        error = QStringLiteral("cannot enter the data folder %1").arg(dir);
        return false;
    }
    return true;
}
