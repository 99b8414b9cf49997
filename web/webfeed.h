#pragma once
// The live pages: WebSockets of logged-in operators from the page's own
// origin, told the panel's state when it changes and who else is watching.
// A page that stops reading is dropped rather than let the panel wait, and
// one whose session ended (logged out, expired) is closed.
//
// The panel says when it may have changed (a report, a command); the feed
// looks then, and on a slow round for what changes without either (the
// desktop user's clicks, a silent radio). A change is put into words once
// and the same text goes to every page. A lone change goes out at once;
// during a stream of reports (a scan, a jog) looks are spaced by
// kLeastGapMs, or kGapPerPageMs for each page open when that is longer:
// every page costs the panel a write through TLS per look, and twenty
// pages told of every report would cost it more than the reports do. A
// page then skips values nobody could read anyway, never the latest.
//
// The feed may run in a thread of its own, so that the pages' sockets are
// not among those the panel's event loop wakes for on every character;
// Changed, SetLayout and SendToAll may then be called from the panel's
// thread and are carried out in the feed's. The state source is called,
// and CommandFromPage emitted, in the feed's thread.
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QHash>
#include <QObject>
#include <QTimer>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "web/messagerate.h"
#include "web/webpanelstate.h"
#include "web/websessions.h"

class QWebSocket;

class CWebFeed : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kMostUnsentBytes = 1024 * 1024;
    // A page this far behind misses changes until it has caught up; it is
    // then told the latest of each value, not every one it missed.
    static constexpr qint64 kBehindBytes = 64 * 1024;
    static constexpr int kLeastGapMs = 40;
    static constexpr int kGapPerPageMs = 10;
    static constexpr int kRoundMs = 250;

    using StateSource = std::function<WebPanelState()>;

    CWebFeed(CWebSessions& sessions, StateSource state, QObject* parent = nullptr);
    ~CWebFeed() override;

    // Takes a socket the HTTP server upgraded; keeps it only when its
    // session and origin are good.
    void Admit(std::unique_ptr<QWebSocket> socket);
    // Why a page asking for the feed is refused, or empty: its session,
    // its origin, the room for its operator's pages. Asked before the
    // upgrade and again after it.
    QString Refusal(const QString& path, const QByteArray& host, const QByteArray& origin, const QByteArray& cookie);
    // The panel's controls, sent to every page as it opens (and to those
    // open already, since the server starts before the panel).
    void SetLayout(const QJsonObject& layout);
    // The panel may show something new; cheap enough to call per character.
    void Changed();
    // A logout, or a change to the operator, closes the pages of the
    // session at once; why is the page's to show.
    void EndSession(const QString& token, const QString& why = QStringLiteral("logged out"));
    int PageCount() const { return m_pageCount; }
    void SendToAll(const QJsonObject& message);
    // A refusal for one page, told when its command was carried out
    // elsewhere; from any thread.
    void Refuse(const QObject* page, const QString& text);
    // A page's messages, its commands and its sound: more than these are
    // not carried out, and a page that goes on sending is closed.
    static constexpr int kCommandsPerSecond = 20;
    static constexpr int kCommandBurst = 40;
    static constexpr int kFramesPerSecond = 100;
    static constexpr int kMostRefusedInARow = 1000;
    // A session whose page was closed for that opens no page for this long:
    // a page reopened at once would flood again, and every opening costs
    // the other pages the operators' list and a TLS handshake.
    static constexpr int kFloodBenchMs = 30000;
    // One binary message to one page; dropped (false) rather than queued
    // behind a backlog, so a slow listener loses frames, not the panel's time.
    // From another thread it is handed over (true) and the rule applied there.
    static constexpr qint64 kMostUnsentBinaryBytes = 64 * 1024;
    bool SendBinary(const QObject* page, const QByteArray& data);

signals:
    void PageOpened(const QObject* page);
    // Closed by its browser, lost, logged out, expired or dropped: gone.
    void PageGone(const QObject* page);
    // A page's command, by its session's operator, in the feed's thread:
    // whatever carries it out tells the page a refusal through Refuse.
    void CommandFromPage(const QObject* page, const WebSession& session, const QJsonObject& command);
    // A binary message (audio) from a page, with the page's session.
    void BinaryFromPage(const QObject* page, const WebSession& session, const QByteArray& data);
    // Whose pages are open now, each name once, as every page is told.
    void OperatorsChanged(const QStringList& names);

private:
    struct Page {
        std::unique_ptr<QWebSocket> socket;
        QString token;
        WebSession session;
        QString peer;
        // What this page was told while it was behind; unset while it is
        // told what every page is told.
        std::optional<WebPanelState> own;
        CMessageRate commands{kCommandsPerSecond, kCommandBurst};
        CMessageRate frames{kFramesPerSecond, kFramesPerSecond};
    };

    // True when called from another thread: `call` is then made in the
    // feed's own, later.
    bool Elsewhere(std::function<void()> call);
    void Look();
    void CheckSessions();
    void OnMessage(QWebSocket* socket, const QString& text);
    void TellBehind(Page& page, const WebPanelState& now);
    void OnBinary(QWebSocket* socket, const QByteArray& data);
    // Whether a message may go on at `rate`; false, the first refused is told.
    bool WithinRate(Page& page, CMessageRate& rate);
    void Send(Page& page, const QJsonObject& message);
    void SendText(Page& page, const QString& text);
    QJsonObject OperatorsMessage() const;
    void TellOperators();
    void Drop(QWebSocket* socket, const QString& why);
    QString BenchRefusal(const QString& token);
    void DropLater(QWebSocket* socket);
    // What the page is told when its session is found ended.
    QString WhyEnded(const QWebSocket& socket) const;

    CWebSessions& m_sessions;
    StateSource m_state;
    QJsonObject m_layout;
    std::vector<Page> m_pages;
    WebPanelState m_told;  // what every page not behind was last told
    QTimer m_look;         // single shot: the next look, soon
    QTimer m_round;
    QElapsedTimer m_sinceLook;
    QTimer m_sessionCheck;
    std::atomic<int> m_pageCount{0};
    // Sessions whose page flooded, until they may open one again.
    QHash<QString, QDeadlineTimer> m_benched;
};
