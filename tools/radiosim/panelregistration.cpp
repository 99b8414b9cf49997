#include "panelregistration.h"

#include <QSettings>

namespace radiosim {

QString PanelRegistration::settingsKey(int commPort)
{
    return QStringLiteral("Ports/COM%1").arg(commPort);
}

QString PanelRegistration::registerPort(int commPort, const QString &devicePath)
{
    QSettings settings(QStringLiteral("Local AppWizard-Generated Applications"),
                       QStringLiteral("Tavrin"));
    settings.setValue(settingsKey(commPort), devicePath);
    settings.sync();
    return settings.status() == QSettings::NoError ? settings.fileName() : QString();
}

} // namespace radiosim
