#pragma once
// Refusals for the access record and the log, in bounded numbers: the
// first of a kind from an address is told at once, the rest of its burst
// counted and told in one line a minute later ("login failed, 4999 more
// times"), so a flood of failed logins costs the record a few lines, not
// one each.
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QTimer>
#include <functional>

class CAccessTally : public QObject {
    Q_OBJECT
public:
    static constexpr int kBurstMs = 60 * 1000;
    // Addresses told apart at once; beyond them, all are one.
    static constexpr int kMostBursts = 1024;

    using Tell = std::function<void(const QString& event, const QString& address, const QString& name)>;
    explicit CAccessTally(Tell tell, QObject* parent = nullptr);
    ~CAccessTally() override;

    void Note(const QString& event, const QString& address, const QString& name);
    // Tells what is counted now, rather than at the end of its minute.
    void TellCounted();

private:
    struct Burst {
        QString event;
        QString address;
        QElapsedTimer since;
        int more = 0;
    };
    void TellEnded(bool all);

    Tell m_tell;
    QHash<QString, Burst> m_bursts;
    QTimer m_look;
};
