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
#include <functional>
#include <optional>

#include "keying/keyer.h"
#include "web/websessions.h"

class CBeatWatch;
class CTavrinView;
class CTransmitHolder;
class CWebFeed;
class QJsonObject;

class CWebKeying : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kBeatTimeout{2000};

    // The panel's own Xmit, Tune and Receive handlers; each says whether
    // the panel could run it (its port open).
    struct Panel {
        std::function<bool()> xmit;
        std::function<bool()> tune;
        std::function<bool()> receive;
    };
    static Panel PanelOf(CTavrinView& view);

    // `beats`: armed at each key of a page's; it outlives this.
    CWebKeying(CTransmitHolder& holder, CWebFeed& feed, Panel panel, CBeatWatch& beats, QObject* parent = nullptr);
    // A key of the page's does not outlive the web panel.
    ~CWebKeying() override;

    // key, unkey, beat, and presses of xmit, tune and receive.
    static bool Handles(const QJsonObject& message);
    // The refusal to show the page, or empty; `page` sent it.
    QString Handle(const WebSession& session, const QObject* page, const QJsonObject& message);

    void SetBeatTimeout(std::chrono::milliseconds timeout);
    void SetWatchdog(std::chrono::milliseconds timeout) { m_watchdog.setInterval(timeout); }
    // "alice (web)", "the panel (Xmit)"; what every page shows.
    static QString HolderText(const Keyer& who);
    // The page whose key this is, while it lasts; none otherwise.
    const QObject* KeyingPage() const { return m_keyer ? m_keyer->client : nullptr; }

private:
    QString Key(const WebSession& session, const QObject* page, bool tune);
    QString Unkey(const WebSession& session, const QObject* page);
    QString Receive(const WebSession& session);
    void OnSilent(quint64 arming, qint64 lastBeatNs);
    // Whether the panel could run its unkey.
    bool UnkeyFor(const QString& why, bool anyones = false);
    bool OursFrom(const WebSession& session, const QObject* page) const;
    // `ended`: why the last key ended, when it just did.
    void TellHolder(const QString& text, const QString& ended = QString());

    CTransmitHolder& m_holder;
    CWebFeed& m_feed;
    Panel m_panel;
    std::optional<Keyer> m_keyer;  // ours while the page's key lasts
    QString m_holderText;
    CBeatWatch& m_beats;
    quint64 m_arming = 0;  // the beat watch's, for our key
    QTimer m_watchdog;
};
