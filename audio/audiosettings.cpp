#include "audio/audiosettings.h"

#include <QSettings>

namespace {
const char* const kInputKey = "Audio/Input";
const char* const kOutputKey = "Audio/Output";
} // namespace

AudioSettings LoadAudioSettings(const AudioCommandLine& forThisRun)
{
    QSettings profile;
    AudioSettings settings;
    settings.input = forThisRun.input.isEmpty() ? profile.value(kInputKey).toString() : forThisRun.input;
    settings.output = forThisRun.output.isEmpty() ? profile.value(kOutputKey).toString() : forThisRun.output;
    return settings;
}

bool KeepAudioSettings(const AudioCommandLine& named, QString& problem, bool clearEmpty)
{
    if (named.input.isEmpty() && named.output.isEmpty() && !clearEmpty)
        return true;
    QSettings profile;
    if (!named.input.isEmpty() || clearEmpty)
        profile.setValue(kInputKey, named.input);
    if (!named.output.isEmpty() || clearEmpty)
        profile.setValue(kOutputKey, named.output);
    profile.sync();
    if (profile.status() == QSettings::NoError)
        return true;
    problem = QStringLiteral("cannot keep the audio devices in %1.").arg(profile.fileName());
    return false;
}
