#include "netport/tlscheck.h"

#include <QSslCipher>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QStringList>

#include "netport/netaddress.h"
#include "netport/tlsfiles.h"

namespace {

QByteArray Fingerprint(const QSslSocket& socket) { return socket.peerCertificate().digest(QCryptographicHash::Sha256); }

QString Hex(const QByteArray& bytes) { return QString::fromLatin1(bytes.toHex(':')); }

} // namespace

bool PrepareTls(QSslSocket& socket, const NetAddress& address, QString& problem)
{
    TlsFiles files;
    if (!LoadTlsFiles(address, files, problem))
        return false;
    QSslConfiguration config = socket.sslConfiguration();
    if (!files.authorities.isEmpty())
        config.setCaCertificates(files.authorities);
    if (!files.certificate.isNull()) {
        config.setLocalCertificate(files.certificate);
        config.setPrivateKey(files.key);
    }
    config.setPeerVerifyMode(QSslSocket::VerifyPeer);
    socket.setSslConfiguration(config);
    socket.setPeerVerifyName(address.host);
    return true;
}

bool PinnedCertificateExcuses(const QSslSocket& socket, const NetAddress& address, const QList<QSslError>& errors,
                              QString& refusal)
{
    if (!address.fingerprint.isEmpty())
        return PinHolds(socket, address, refusal);
    QStringList reasons;
    for (const QSslError& error : errors)
        reasons << error.errorString();
    const QString against = address.caFile.isEmpty() ? QStringLiteral("the system's CAs")
                                                     : QStringLiteral("the CA in \"%1\"").arg(address.caFile);
    refusal = QStringLiteral("the server's certificate failed the check against %1: %2").arg(against, reasons.join(QStringLiteral("; ")));
    return false;
}

bool PinHolds(const QSslSocket& socket, const NetAddress& address, QString& refusal)
{
    if (address.fingerprint.isEmpty() || Fingerprint(socket) == address.fingerprint)
        return true;
    refusal = QStringLiteral("the server's certificate has the SHA-256 fingerprint %1, not the pinned one")
                  .arg(Hex(Fingerprint(socket)));
    return false;
}

QString DescribeTls(const QSslSocket& socket, const NetAddress& address)
{
    const QSslCipher cipher = socket.sessionCipher();
    const QStringList names = socket.peerCertificate().subjectInfo(QSslCertificate::CommonName);
    QString checked = !address.fingerprint.isEmpty() ? QStringLiteral("matches the pinned fingerprint")
                      : address.caFile.isEmpty()     ? QStringLiteral("checked against the system's CAs")
                                                     : QStringLiteral("checked against \"%1\"").arg(address.caFile);
    return QStringLiteral("TLS %1, %2; server certificate \"%3\" %4%5")
        .arg(cipher.protocolString(), cipher.name(), names.join(QLatin1Char(',')), checked,
             address.certFile.isEmpty() ? QString() : QStringLiteral("; client certificate \"%1\"").arg(address.certFile));
}
