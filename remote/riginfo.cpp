#include "remote/riginfo.h"

#include <array>

namespace {

// The CRC-32 of zlib and Ethernet (reflected, polynomial 0xEDB88320).
quint32 Crc32(const QByteArray& bytes)
{
    static const std::array<quint32, 256> table = [] {
        std::array<quint32, 256> t{};
        for (quint32 n = 0; n < 256; ++n) {
            quint32 c = n;
            for (int k = 0; k < 8; ++k)
                c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    quint32 crc = 0xFFFFFFFFu;
    for (char byte : bytes)
        crc = table[(crc ^ quint8(byte)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

} // namespace

QByteArray RigInfoText(qint64 hz, const QByteArray& mode, int widthHz)
{
    const QByteArray text = "VFO=Main Freq=" + QByteArray::number(hz) + " Mode=" + mode + " Width="
                            + QByteArray::number(widthHz) + " RX=1 TX=1\n"
                            + "VFO=Sub Freq=0 Mode=None Width=0 RX=0 TX=0\n"
                              "Split=0 SatMode=0\n"
                              "Rig=RF-350\n"
                              "App=Tavrin\n"
                              "Version=20210506 1.0.0\n";
    return text + "CRC=0x" + QByteArray::number(Crc32(text), 16).rightJustified(8, '0') + '\n';
}
