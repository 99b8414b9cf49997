#pragma once
// The live pages: WebSockets of logged-in operators from the page's own
// origin, told the panel's state when it changes and who else is watching.
// A page that stops reading is dropped rather than let the panel wait, and
// one whose session ended (logged out, expired) is closed.
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "web/webpanelstate.h"
#include "web/websessions.h"

class QWebSocket;

class CWebFeed : public QObject {
    Q_OBJECT
public:
    static constexpr int kMostPages = 20;
    static constexpr qint64 kMostUnsentBytes = 1024 * 1024;

    using StateSource = std::function<WebPanelState()>;
    // What a page asked for ("press", "enter", "choose", "recall", keying),
    // by the session's operator; returns the refusal to show, or empty.
    using CommandHandler = std::function<QString(const WebSession&, const QJsonObject&)>;

    CWebFeed(CWebSessions& sessions, StateSource state, QObject* parent = nullptr);
    ~CWebFeed() override;

    // Takes a socket the HTTP server upgraded; keeps it only when its
    // session and origin are good.
    void Admit(std::unique_ptr<QWebSocket> socket);
    // Why a page asking for the feed is refused, or empty: its session,
    // its origin, the number of pages. Asked before the upgrade and again
    // after it.
    QString Refusal(const QString& path, const QByteArray& host, const QByteArray& origin, const QByteArray& cookie);
    void SetCommandHandler(CommandHandler handler) { m_commands = std::move(handler); }
    // The panel's controls, sent to every page as it opens (and to those
    // open already, since the server starts before the panel).
    void SetLayout(const QJsonObject& layout);
    // A logout closes the pages of its session at once.
    void EndSession(const QString& token);
    int PageCount() const { return int(m_pages.size()); }
    void SendToAll(const QJsonObject& message);
    // The page whose message the command handler is answering, so a
    // handler can tell two pages of one session apart; none otherwise.
    const QObject* Speaking() const { return m_speaking; }
    // One binary message to one page; dropped (false) rather than queued
    // behind a backlog, so a slow listener loses frames, not the panel's time.
    static constexpr qint64 kMostUnsentBinaryBytes = 64 * 1024;
    bool SendBinary(const QObject* page, const QByteArray& data);

signals:
    void PageOpened(const QObject* page);
    // Closed by its browser, lost, logged out, expired or dropped: gone.
    void PageGone(const QObject* page);
    // A binary message (audio) from a page, with the page's session.
    void BinaryFromPage(const QObject* page, const WebSession& session, const QByteArray& data);

private:
    struct Page {
        std::unique_ptr<QWebSocket> socket;
        QString token;
        WebSession session;
        QString peer;
        WebPanelState sent;  // what this page was last told
    };

    void Poll();
    void CheckSessions();
    void OnMessage(QWebSocket* socket, const QString& text);
    void OnBinary(QWebSocket* socket, const QByteArray& data);
    void SendChanges(Page& page, const WebPanelState& now, bool whole);
    void Send(Page& page, const QJsonObject& message);
    QJsonObject OperatorsMessage() const;
    void Drop(QWebSocket* socket, const QString& why);
    void DropLater(QWebSocket* socket);

    CWebSessions& m_sessions;
    StateSource m_state;
    CommandHandler m_commands;
    QJsonObject m_layout;
    std::vector<Page> m_pages;
    QTimer m_poll;
    QTimer m_sessionCheck;
    const QObject* m_speaking = nullptr;
};
