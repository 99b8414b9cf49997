#include "support/samplefile.h"

#include <QFile>

#include "channels/channelfile.h"
#include "channels/channeltable.h"
#include "panel/tuningstate.h"
#include "support/programstate.h"

void StoreChannel(int slot, double frequency, const char* letters, const char* description)
{
    g_dChanFreq[slot] = frequency;
    g_chChanMode[slot] = letters[0];
    g_chChanAgc[slot] = letters[1];
    g_chChanInput[slot] = letters[2];
    g_chChanRoute[slot] = letters[3];
    QByteArray text = QByteArray(description).leftJustified(kDescLength - 1, ' ', true) + '\n';
    std::copy(text.begin(), text.end(), g_chChanDesc[slot]);
}

QByteArray ChannelFileWith(int chanLower, int chanUpper, const std::function<void()>& store)
{
    ResetProgramGlobals();
    g_nCommPort = 1;
    g_nBaudRate = 9600;
    g_chParity = 'O';
    g_nDataBits = 7;
    g_nStopBits = 1;
    g_fScanLower = 7000.0f;
    g_fScanUpper = 7300.0f;
    g_nChanLower = chanLower;
    g_nChanUpper = chanUpper;
    store();
    const QByteArray bytes = ChannelFileBytes();
    ResetProgramGlobals();
    return bytes;
}

QByteArray SteadyChannelFile(const QByteArray& file)
{
    ResetProgramGlobals();
    ReadChannelTable(file);
    const QByteArray bytes = ChannelFileBytes();
    ResetProgramGlobals();
    return bytes;
}

QByteArray SampleChannelFile()
{
    return ChannelFileWith(0, 3, [] {
        StoreChannel(0, 7035.25, "LSMR", "40 m net");
        StoreChannel(1, 14250.0, "UFML", "Net control");
        StoreChannel(2, 2182.0, "USMT", "Distress watch");
        StoreChannel(3, 10000.0, "AMPR", "WWV time signal");
    });
}

const QByteArray& SampleChannelFileOnce()
{
    static const QByteArray file = SampleChannelFile();
    return file;
}

void WriteSampleChannelFile()
{
    QFile file(QString::fromLatin1(g_szChannelFile));
    if (file.open(QIODevice::WriteOnly))
        file.write(SampleChannelFile());
}
