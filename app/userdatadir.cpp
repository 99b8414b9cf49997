#include "app/datadir.h"

#include <QDir>

QString UserDataDir()
{
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/tavrin"));
}

QString UserDataDirForHelp() { return QStringLiteral("$XDG_DATA_HOME/tavrin (~/.local/share/tavrin)"); }
