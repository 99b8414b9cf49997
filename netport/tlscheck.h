#pragma once
// TLS for a radio on the network: the server's certificate is checked
// against the CA the address names (or the system's) and the host name, or
// instead matched against a pinned SHA-256 fingerprint; a client
// certificate goes along when the address names one. A failed check refuses
// the connection: there is no way to accept a certificate anyway. A pinned
// fingerprint replaces every other check, expiry and host name included.
// Only TLS 1.2 and later, and on 1.2 only forward-secret AEAD ciphers.
#include <QList>
#include <QSsl>
#include <QSslError>
#include <QString>
#include <optional>

class QSslSocket;
struct NetAddress;

// Sets the socket up for the address; false with the reason when its files
// cannot be used.
bool PrepareTls(QSslSocket& socket, const NetAddress& address, QString& problem);

// On the socket's sslErrors: true when they are to be ignored because the
// certificate is the pinned one; otherwise the refusal in words.
bool PinnedCertificateExcuses(const QSslSocket& socket, const NetAddress& address, const QList<QSslError>& errors,
                              QString& refusal);

// Once encrypted: false with the refusal when a pinned fingerprint is not
// the certificate's.
bool PinHolds(const QSslSocket& socket, const NetAddress& address, QString& refusal);

// The session as the trace notes it: protocol, cipher, whose certificate,
// and what it was checked against.
QString DescribeTls(const QSslSocket& socket, const NetAddress& address);

// A fatal alert the far end sent, as the connection closes.
struct TlsAlert {
    QSsl::AlertType type;
    QString words;
};

// After "closed the connection after TLS": what the far end's alert says,
// the client certificate named as the cause only when the alert is about
// one, and as a likely cause when there is no alert.
QString AlertWords(const std::optional<TlsAlert>& alert, const NetAddress& address);
