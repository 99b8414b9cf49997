#include "app/datadir.h"

#include <QDir>

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
