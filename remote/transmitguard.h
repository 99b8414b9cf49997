#pragma once
// A transmitter keyed from the network goes back to receive when the client
// that keyed it goes away, or when the time-out passes without an unkey, so
// a stuck key of a crashed program cannot keep it on the air. The time-out
// counts from the key: a client repeating its key does not extend it.
#include <QObject>
#include <QTimer>
#include <chrono>

class CRigSeam;
class CTransmitHolder;

class CTransmitGuard : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::seconds kDefaultTimeout{180};

    explicit CTransmitGuard(CRigSeam& rig, QObject* parent = nullptr);

    void SetTimeout(std::chrono::milliseconds timeout) { m_timer.setInterval(timeout); }
    // Told why, before each unkey of the guard's own, so the record of the
    // transmission says it; and told when the holding ends by any path (the
    // panel's Receive among them), so no watchdog outlives the key.
    void SetHolder(CTransmitHolder* holder);
    bool Holding() const { return m_keyer != nullptr; }
    const QObject* Keyer() const { return m_keyer; }

    void Keyed(const QObject* client);   // a client's key reached the panel
    void Unkeyed();                      // a client's unkey reached the panel, or the lost link ended the key
    void ClientGone(const QObject* client);
    void Release();                      // the server stops: unkey what it keyed

private:
    void Unkey(const QString& why);

    CRigSeam& m_rig;
    CTransmitHolder* m_holder = nullptr;
    QTimer m_timer;
    const QObject* m_keyer = nullptr;
};
