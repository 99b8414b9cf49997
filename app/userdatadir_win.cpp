#include "app/datadir.h"

#include <QDir>

#include "link/commsettings.h"

// Named as the profile's registry key is, which is where Qt's application
// data location puts it; worked out here because no application object
// exists yet when the command line is read.
QString UserDataDir()
{
    QString base = QDir::fromNativeSeparators(qEnvironmentVariable("APPDATA"));
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/AppData/Roaming");
    return QDir::cleanPath(base + QLatin1Char('/') + QString::fromLatin1(g_szRegistryKey) + QLatin1Char('/')
                           + QString::fromLatin1(g_szProfileName));
}

QString UserDataDirForHelp()
{
    return QStringLiteral("%APPDATA%\\%1\\%2").arg(QString::fromLatin1(g_szRegistryKey), QString::fromLatin1(g_szProfileName));
}
