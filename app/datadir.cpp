#include "app/datadir.h"

#include <QDir>
#include <QFileInfo>

bool EnterDataDir(const QString& dir, QString& error)
{
    if (dir.isEmpty())
        return true;
    // A new folder is its owner's alone: it holds the operators, the key
    // and the records of who transmitted.
    const QFileInfo info(QDir::cleanPath(QDir(dir).absolutePath()));
    const bool made = info.exists() || (QDir().mkpath(info.absolutePath())
                                        && QDir().mkdir(info.absoluteFilePath(), QFile::ReadOwner | QFile::WriteOwner
                                                                                     | QFile::ExeOwner));
    if (!made) {
        error = QStringLiteral("cannot create the data folder %1").arg(dir);
        return false;
    }
    if (!QDir::setCurrent(dir)) {
        error = QStringLiteral("cannot enter the data folder %1").arg(dir);
        return false;
    }
    return true;
}
