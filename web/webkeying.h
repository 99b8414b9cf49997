#pragma once
// Keying from the web panel: only a transmit operator keys, only while
// nobody else holds the transmitter, and only while the page that keyed
// keeps saying it is there. The key ends when that page's heartbeat stops
// for 2 s, when the page goes (tab closed, link lost, logged out), after
// the rig-control servers' 180 s, or by an unkey of the holder's own; the
// page's Receive, like the panel's, ends anyone's key. The heartbeats are
// watched by a CBeatWatch, which the server's thread feeds directly; the
// record says how long the page was really silent.
#include <QObject>
#include <QTimer>
#include <chrono>
#include <optional>

#include "keying/keyer.h"
#include "web/websessions.h"

class CBeatWatch;
class CTavrinView;
class CTransmitHolder;
class CWebFeed;

class CWebKeying : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kBeatTimeout{2000};

    // The panel's own Xmit, Tune and Receive run through its message map.
    // `beats`: armed at each key of a page's; it outlives this.
    CWebKeying(CTransmitHolder& holder, CWebFeed& feed, CTavrinView& view, CBeatWatch& beats, QObject* parent = nullptr);
    // A key of the page's does not outlive the web panel.
    ~CWebKeying() override;

    // A page's key, Tune, unkey and Receive, asked by a transmit operator
    // (the command table has checked the role); `page` sent it. Each
    // returns the refusal to show the page, or empty.
    QString Key(const WebSession& session, const QObject* page);
    QString Tune(const WebSession& session, const QObject* page);
    QString Unkey(const WebSession& session, const QObject* page);
    QString Receive(const WebSession& session, const QObject* page);

    void SetBeatTimeout(std::chrono::milliseconds timeout);
    void SetWatchdog(std::chrono::milliseconds timeout) { m_watchdog.setInterval(timeout); }
    // "alice (web)", "the panel (Xmit)"; what every page shows.
    static QString HolderText(const Keyer& who);
    // The page whose key this is, while it lasts; none otherwise.
    const QObject* KeyingPage() const { return m_keyer ? m_keyer->client : nullptr; }

private:
    QString KeyWith(const WebSession& session, const QObject* page, bool tune);
    void OnSilent(quint64 arming, qint64 lastBeatNs);
    // Whether the panel could run its unkey.
    bool UnkeyFor(const QString& why, bool anyones = false);
    bool OursFrom(const QObject* page) const;
    // `ended`: why the last key ended, when it just did.
    void TellHolder(const QString& text, const QString& ended = QString());

    CTransmitHolder& m_holder;
    CWebFeed& m_feed;
    CTavrinView& m_view;
    std::optional<Keyer> m_keyer;  // ours while the page's key lasts
    QString m_holderText;
    CBeatWatch& m_beats;
    quint64 m_arming = 0;  // the beat watch's, for our key
    QTimer m_watchdog;
};
