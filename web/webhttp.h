#pragma once
// Pieces of a request the web panel trusts only after checking.
#include <QByteArray>
#include <QString>

constexpr const char* kSessionCookie = "tavrin_session";

// The session token in a Cookie header, or empty.
QString SessionToken(const QByteArray& cookieHeader);
// "https://" and the Host header: where the page itself came from.
QByteArray PageOrigin(const QByteArray& host);
// Whether an Origin header (or, without one, a Referer) names the page's
// own origin: a form posted from another site must not act.
bool FromOwnOrigin(const QByteArray& host, const QByteArray& origin, const QByteArray& referer);
