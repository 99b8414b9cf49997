#include "audio/audiodevicechoice.h"

#include <QMediaDevices>

namespace {

QList<AudioDeviceName> NamesOf(const QList<QAudioDevice>& devices)
{
    QList<AudioDeviceName> names;
    for (const QAudioDevice& device : devices)
        names.append({QString::fromUtf8(device.id()), device.description()});
    return names;
}

QList<int> Matching(const QList<AudioDeviceName>& devices, const QString& wanted, Qt::CaseSensitivity cs)
{
    QList<int> found;
    for (int i = 0; i < devices.size(); ++i) {
        if (devices[i].description.compare(wanted, cs) == 0)
            found.append(i);
    }
    return found;
}

std::optional<QAudioDevice> Find(const QList<QAudioDevice>& devices, const QAudioDevice& fallback,
                                 const QString& wanted, const QString& kind, QString& problem)
{
    if (wanted.isEmpty())
        return fallback;
    const std::optional<int> index = ChooseAudioDevice(NamesOf(devices), wanted, kind, problem);
    if (!index)
        return std::nullopt;
    return devices[*index];
}

} // namespace

std::optional<int> ChooseAudioDevice(const QList<AudioDeviceName>& devices, const QString& wanted,
                                     const QString& kind, QString& problem)
{
    for (int i = 0; i < devices.size(); ++i) {
        if (devices[i].id == wanted)
            return i;
    }
    QList<int> found = Matching(devices, wanted, Qt::CaseSensitive);
    if (found.isEmpty())
        found = Matching(devices, wanted, Qt::CaseInsensitive);
    if (found.size() == 1)
        return found.first();
    if (found.isEmpty())
        problem = QStringLiteral("There is no audio %1 named \"%2\"; tavrin --list-audio lists them.").arg(kind, wanted);
    else
        problem = QStringLiteral("%1 audio %2s are named \"%3\"; name one by its id (tavrin --list-audio).")
                      .arg(found.size()).arg(kind, wanted);
    return std::nullopt;
}

std::optional<QAudioDevice> FindAudioInput(const QString& wanted, QString& problem)
{
    return Find(QMediaDevices::audioInputs(), QMediaDevices::defaultAudioInput(), wanted, QStringLiteral("input"),
                problem);
}

std::optional<QAudioDevice> FindAudioOutput(const QString& wanted, QString& problem)
{
    return Find(QMediaDevices::audioOutputs(), QMediaDevices::defaultAudioOutput(), wanted, QStringLiteral("output"),
                problem);
}
