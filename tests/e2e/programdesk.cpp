#include "programdesk.h"

#include <QDir>
#include <QFile>
#include <QSettings>

#include "link/commsettings.h"
#include "panelonradio.h"

QString ProgramDesk::Path(const QString& relative) const
{
    QString path = relative;
    return path.replace(QStringLiteral("<root>"), m_root.path());
}

QStringList ProgramDesk::Paths(const QStringList& arguments) const
{
    QStringList resolved;
    for (const QString& argument : arguments)
        resolved << Path(argument);
    return resolved;
}

bool ProgramDesk::MapCom1To(const QString& device) const
{
    return SetProfileValue(QStringLiteral("Ports/COM1"), device);
}

bool ProgramDesk::SetProfileValue(const QString& key, const QVariant& value) const
{
    const QString profile = Path(QStringLiteral("<root>/config/%1/%2.conf"))
                                .arg(QLatin1String(g_szRegistryKey), QLatin1String(g_szProfileName));
    QSettings settings(profile, QSettings::IniFormat);
    settings.setValue(key, value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

bool ProgramDesk::PutChannelFileIn(const QString& folder) const
{
    QDir().mkpath(Path(folder));
    QFile file(Path(folder) + QStringLiteral("/h350save.dat"));
    const QByteArray content = RadioChannelFile();
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray ProgramDesk::ChannelFileIn(const QString& folder) const
{
    QFile file(Path(folder) + QStringLiteral("/h350save.dat"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void ProgramDesk::Start(QProcess& tavrin, const QStringList& arguments, const QString& xdgDataHome,
                        const QProcessEnvironment& extra, const QStringList& unset) const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), Path(QStringLiteral("<root>/home")));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), Path(QStringLiteral("<root>/config")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.remove(QStringLiteral("XDG_DATA_HOME"));
    if (!xdgDataHome.isEmpty())
        env.insert(QStringLiteral("XDG_DATA_HOME"), Path(xdgDataHome));
    env.insert(extra);
    for (const QString& name : unset)
        env.remove(name);
    QDir().mkpath(Path(QStringLiteral("<root>/start")));
    tavrin.setWorkingDirectory(Path(QStringLiteral("<root>/start")));
    tavrin.setProcessEnvironment(env);
    tavrin.start(QStringLiteral(TAVRIN_BINARY), Paths(arguments));
}
