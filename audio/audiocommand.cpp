#include "audio/audiocommand.h"

#include <QCoreApplication>
#include <QMediaDevices>
#include <cstdio>

#include "audio/audiodevicechoice.h"

namespace {

void PrintDevices(const char* direction, const QList<QAudioDevice>& devices, const QAudioDevice& fallback)
{
    for (const QAudioDevice& device : devices) {
        const char* mark = device.id() == fallback.id() ? ", the default" : "";
        std::printf("%s %s  (id %s%s)\n", direction, qPrintable(device.description()), device.id().constData(), mark);
    }
}

} // namespace

int RunListAudioCommand(int argc, char* argv[])
{
    // Qt Multimedia finds the devices through an application object; no
    // window and no display are needed.
    QCoreApplication application(argc, argv);
    const QList<QAudioDevice> inputs = QMediaDevices::audioInputs();
    const QList<QAudioDevice> outputs = QMediaDevices::audioOutputs();
    PrintDevices("in ", inputs, QMediaDevices::defaultAudioInput());
    PrintDevices("out", outputs, QMediaDevices::defaultAudioOutput());
    if (inputs.isEmpty() && outputs.isEmpty())
        std::fprintf(stderr, "tavrin: no audio devices found (is the sound server running?)\n");
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}

bool CheckAudioCommandLine(const AudioCommandLine& named, QString& problem)
{
    if (!named.input.isEmpty() && !FindAudioInput(named.input, problem))
        return false;
    if (!named.output.isEmpty() && !FindAudioOutput(named.output, problem))
        return false;
    return KeepAudioSettings(named, problem);
}
