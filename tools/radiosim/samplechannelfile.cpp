#include "samplechannelfile.h"

#include <QFile>
#include <QString>

namespace radiosim {
namespace {

struct SampleChannel
{
    int slot;
    double kHz;
    const char *letters;   // mode, AGC, audio input, Ext PTT/local audio
    const char *description;
};

constexpr SampleChannel samples[] = {
    {0, 7035.25, "LSMR", "40 m calling"},
    {1, 14250.00, "UFML", "Net control"},
    {2, 2182.00, "UMMR", "Distress watch"},
    {3, 5000.00, "ASMR", "Time signal"},
    {4, 10100.50, "CFMT", "30 m beacon"},
    {5, 18100.00, "UFPL", "17 m phone patch"},
};

// The panel's file is written through a Windows text stream: every line
// feed reaches the disk as CR LF.
constexpr char lineEnd[] = "\r\n";

template <typename... Args>
QByteArray printed(const char *format, Args... args)
{
    return QString::asprintf(format, args...).toLatin1();
}

const SampleChannel *sampleFor(int slot)
{
    for (const SampleChannel &sample : samples) {
        if (sample.slot == slot)
            return &sample;
    }
    return nullptr;
}

QByteArray storedRecord(const SampleChannel &c)
{
    const char *l = c.letters;
    return printed("%3d %8.2f %c %c %c %c", c.slot, c.kHz, l[0], l[1], l[2], l[3])
        + lineEnd + QByteArray(c.description).leftJustified(29, ' ', true) + lineEnd;
}

// A slot never stored has zero bytes for its letters and a description of
// thirty zero bytes without a line end.
QByteArray emptyRecord(int slot)
{
    static const char letters[] = {0, ' ', 0, ' ', 0, ' ', 0};
    return printed("%3d %8.2f ", slot, 0.0)
        + QByteArray(letters, sizeof letters) + lineEnd + QByteArray(30, '\0');
}

} // namespace

QByteArray SampleChannelFile::contents(int commPort)
{
    QByteArray file = printed("%1d %5d %1c %1d %1d", commPort, 9600, 'O', 7, 1) + lineEnd;
    file += printed("%8.2f %8.2f %3d %3d", 7000.0, 7300.0, 0, 5) + lineEnd;
    for (int slot = 0; slot < slotCount; ++slot) {
        const SampleChannel *sample = sampleFor(slot);
        file += sample ? storedRecord(*sample) : emptyRecord(slot);
    }
    return file;
}

bool SampleChannelFile::writeIfMissing(const QString &path, int commPort)
{
    QFile file(path);
    if (file.exists())
        return true;
    if (!file.open(QIODevice::WriteOnly))
        return false;
    return file.write(contents(commPort)) >= 0 && file.flush();
}

} // namespace radiosim
