#pragma once

#include <QByteArray>
#include <QList>
#include <QRandomGenerator>

namespace radiosim {

// How badly the line behaves. Rates are chances per character (drop,
// corrupt) or per write (garbage), from 0 to 1.
struct FaultSettings
{
    double dropRate = 0.0;
    double corruptRate = 0.0;
    double garbageRate = 0.0;
    bool chunked = false;
    int delayMs = 0;
    quint32 seed = 1;

    bool isClean() const;
};

// A piece of a write and how long to wait before sending it.
struct Chunk
{
    QByteArray bytes;
    int delayMs = 0;
};

// Spoils traffic the way a long RS-232 line does, from a seeded generator so
// that a test sees the same damage on every run.
class FaultInjector
{
public:
    explicit FaultInjector(const FaultSettings &settings = FaultSettings());

    const FaultSettings &settings() const { return m_settings; }
    // Drops and corrupts characters; used on both directions.
    QByteArray damage(const QByteArray &bytes);
    // Everything that can happen to one outgoing write, in sending order.
    QList<Chunk> shape(const QByteArray &bytes);

private:
    bool chance(double rate);
    char corrupted(char byte);
    QByteArray withGarbage(QByteArray bytes);
    QList<Chunk> split(const QByteArray &bytes);

    FaultSettings m_settings;
    QRandomGenerator m_random;
};

} // namespace radiosim
