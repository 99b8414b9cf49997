#pragma once
// The web panel's certificate: the one named on the command line, or one
// this program makes at its first start in the data folder, self-signed
// (ECDSA P-256, ten years, for localhost, 127.0.0.1, this computer's name
// and the addresses a phone reaches it at), its key readable by its owner
// only. Browsers are told to trust it
// by its fingerprint, which the panel shows.
#include <QHostAddress>
#include <QList>
#include <QSslCertificate>
#include <QSslKey>
#include <QString>

struct WebIdentity {
    QSslCertificate certificate;
    QSslKey key;
};

constexpr const char* kWebCertFile = "web-cert.pem";
constexpr const char* kWebKeyFile = "web-key.pem";

// Writes a new pair; false with why set, and neither file left behind.
bool MakeSelfSignedIdentity(const QString& certPath, const QString& keyPath, const QString& hostName,
                            QString& why, const QList<QHostAddress>& addresses = {});
// Reads a pair through the bounded reader; false with why set, and for a
// key that other users than its owner can read.
bool ReadWebIdentity(const QString& certPath, const QString& keyPath, WebIdentity& identity, QString& why);
// The named pair, or the data folder's own, made when missing for the
// addresses the panel is reached at.
bool LoadOrMakeWebIdentity(const QString& certPath, const QString& keyPath, WebIdentity& identity, QString& why,
                           const QList<QHostAddress>& addresses = {});
// "AA:BB:..." of the certificate's SHA-256.
QString CertificateFingerprint(const QSslCertificate& certificate);
