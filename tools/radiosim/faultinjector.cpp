#include "faultinjector.h"

namespace radiosim {
namespace {

constexpr int maxGarbage = 8;
constexpr int maxChunk = 7;
// Chunks need a gap or the pty hands them to the reader as one read again.
constexpr int maxChunkGapMs = 15;

} // namespace

bool FaultSettings::isClean() const
{
    return dropRate <= 0 && corruptRate <= 0 && garbageRate <= 0 && !chunked
        && delayMs <= 0;
}

FaultInjector::FaultInjector(const FaultSettings &settings)
    : m_settings(settings)
    , m_random(settings.seed)
{
}

QByteArray FaultInjector::damage(const QByteArray &bytes)
{
    QByteArray out;
    for (char byte : bytes) {
        if (chance(m_settings.dropRate))
            continue;
        out.append(chance(m_settings.corruptRate) ? corrupted(byte) : byte);
    }
    return out;
}

QList<Chunk> FaultInjector::shape(const QByteArray &bytes)
{
    QList<Chunk> chunks = split(withGarbage(damage(bytes)));
    if (!chunks.isEmpty())
        chunks.first().delayMs += qMax(0, m_settings.delayMs);
    return chunks;
}

bool FaultInjector::chance(double rate)
{
    return rate > 0 && m_random.generateDouble() < rate;
}

// The panel's line has seven data bits, so noise flips one of those.
char FaultInjector::corrupted(char byte)
{
    return char(byte ^ (1 << m_random.bounded(7)));
}

// Noise between reports carries no line feed: it is glued to the next line
// the panel receives instead of making a line of its own.
QByteArray FaultInjector::withGarbage(QByteArray bytes)
{
    if (!chance(m_settings.garbageRate))
        return bytes;
    QByteArray noise;
    const int length = 1 + int(m_random.bounded(maxGarbage));
    for (int i = 0; i < length; ++i)
        noise.append(char(0x20 + m_random.bounded(0x7f - 0x20)));
    bytes.insert(int(m_random.bounded(int(bytes.size()) + 1)), noise);
    return bytes;
}

QList<Chunk> FaultInjector::split(const QByteArray &bytes)
{
    if (bytes.isEmpty())
        return {};
    if (!m_settings.chunked)
        return {Chunk{bytes, 0}};
    QList<Chunk> chunks;
    for (int at = 0; at < bytes.size();) {
        const int length = 1 + int(m_random.bounded(maxChunk));
        const int gap = chunks.isEmpty() ? 0 : 1 + int(m_random.bounded(maxChunkGapMs));
        chunks.append(Chunk{bytes.mid(at, length), gap});
        at += length;
    }
    return chunks;
}

} // namespace radiosim
