#pragma once
// What the far end sends, taken from the socket in bounded pieces: through
// the telnet layer on an RFC 2217 connection, straight on a raw one. The
// serial data waits here for the panel, never more than the receive path's
// own 4096 characters, in every state: while the port is opening whatever
// comes past that is dropped (the far end's words of refusal come first),
// and once it is open no more is taken from the socket until the panel has
// taken what waits, so the socket's buffer, and then TCP, hold the far end
// back. A piece is small enough that the panel's work on it is a short turn
// of the event loop, however fast the far end sends.
#include <QByteArray>
#include <QList>
#include <utility>

#include "netport/telnetcodec.h"

class CFarEndInput {
public:
    static constexpr qsizetype kMostHeld = 4096;
    static constexpr qsizetype kPiece = 1024;

    struct Taken {
        QByteArray reply;                   // answers the far end is owed
        QList<CTelnetCodec::Event> events;  // what was agreed, refused or reported
    };

    explicit CFarEndInput(bool telnet = false) : m_telnetOn(telnet) {}

    // The requests that open the session; nothing on a raw connection.
    QByteArray Start() { return m_telnetOn ? m_telnet.Start() : QByteArray(); }
    // Once open, what waits is the panel's, and what follows too.
    void SetOpen() { m_open = true; }
    bool IsOpen() const { return m_open; }

    // How much to take from the socket now: none while the panel has yet to
    // take what waits.
    qsizetype Wanted() const;
    Taken Take(const QByteArray& bytes);
    QByteArray TakeData() { return std::exchange(m_held, QByteArray()); }
    const QByteArray& Held() const { return m_held; }
    // Bytes of serial data dropped while opening.
    qint64 Dropped() const { return m_dropped; }
    const CTelnetCodec& Telnet() const { return m_telnet; }

private:
    bool m_telnetOn;
    bool m_open = false;
    CTelnetCodec m_telnet;
    QByteArray m_held;
    qint64 m_dropped = 0;
};
