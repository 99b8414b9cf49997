#pragma once
// What a station still owes the broker: each transmission begun or ended
// and each access event, in a file in the data folder until the broker has
// acknowledged it, so a site that was cut off (or restarted meanwhile)
// delivers what happened once it is back, in order.
//
// The file holds one JSON object a line: {"n":7,"topic":"transmissions",
// "payload":{...}} for a message owed, {"sent":7} once it is delivered,
// {"given_up":7} and {"not_sent":3} for what was given up and how many
// that makes, and {"next":8} where the file was begun anew. It is bounded: past kMostOwed messages the oldest are given
// up, counted, and the count is told to the broker before the rest (the
// station's own monthly record still holds every line). A line the disk
// took only in part is ignored on reading.
#include <QByteArray>
#include <QFile>
#include <QJsonObject>
#include <QString>
#include <map>

class COutbox {
public:
    static constexpr int kMostOwed = 10000;

    explicit COutbox(int mostOwed = kMostOwed) : m_mostOwed(mostOwed) {}

    struct Entry {
        QString topic;  // the last level: "transmissions", "access"
        QJsonObject payload;
    };

    // Reads what a previous run left; false with why set when the file
    // cannot be opened (the outbox then lives in memory only).
    bool Open(const QString& path, QString& why);
    // Numbered in order; the number goes in the payload as "n" too.
    quint64 Add(const QString& topic, QJsonObject payload);
    void Sent(quint64 n);
    const std::map<quint64, Entry>& Owed() const { return m_owed; }
    // Given up since the count was last delivered.
    quint64 NotSent() const { return m_notSent; }
    // `count` of those were told to the broker.
    void NotSentTold(quint64 count);

private:
    void Read();
    void Note(const QJsonObject& line, bool sync = false);
    void Restart();

    const int m_mostOwed;
    QFile m_file;
    std::map<quint64, Entry> m_owed;
    quint64 m_next = 1;
    quint64 m_notSent = 0;
    qint64 m_lines = 0;
};
