#pragma once

#include "faultinjector.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>

namespace radiosim {

// Hands out chunks in the order they were queued, each after its own delay
// counted from the chunk before it, so a delayed reply never overtakes an
// earlier one.
class ReplyQueue : public QObject
{
    Q_OBJECT

public:
    explicit ReplyQueue(QObject *parent = nullptr);

    void enqueue(const QList<Chunk> &chunks);
    bool isIdle() const { return m_chunks.isEmpty(); }
    void clear();

signals:
    void due(const QByteArray &bytes);

private:
    void sendReady();

    QList<Chunk> m_chunks;
    QTimer m_timer;
};

} // namespace radiosim
