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

// A session key that a stolen server key cannot unlock later, and a cipher
// that authenticates what it encrypts. TLS 1.3 has nothing else.
bool ForwardSecretAead(const QSslCipher& cipher)
{
    if (cipher.protocol() == QSsl::TlsV1_3)
        return true;
    const QString kx = cipher.keyExchangeMethod();
    const QString encryption = cipher.encryptionMethod();
    const bool ephemeral = kx == QLatin1String("ECDH") || kx == QLatin1String("DH");
    const bool aead = encryption.contains(QLatin1String("GCM")) || encryption.contains(QLatin1String("CHACHA20"))
                      || encryption.contains(QLatin1String("CCM"));
    return cipher.protocol() == QSsl::TlsV1_2 && ephemeral && aead;
}

QList<QSslCipher> AllowedCiphers()
{
    QList<QSslCipher> allowed;
    for (const QSslCipher& cipher : QSslConfiguration::supportedCiphers())
        if (ForwardSecretAead(cipher))
            allowed << cipher;
    return allowed;
}

QString ProtocolName(QSsl::SslProtocol protocol)
{
    switch (protocol) {
    case QSsl::TlsV1_2: return QStringLiteral("1.2");
    case QSsl::TlsV1_3: return QStringLiteral("1.3");
    default: return QStringLiteral("(protocol %1)").arg(int(protocol));
    }
}

bool AboutClientCertificate(QSsl::AlertType type)
{
    switch (type) {
    case QSsl::AlertType::CertificateRequired:
    case QSsl::AlertType::NoCertificate:
    case QSsl::AlertType::BadCertificate:
    case QSsl::AlertType::UnsupportedCertificate:
    case QSsl::AlertType::CertificateRevoked:
    case QSsl::AlertType::CertificateExpired:
    case QSsl::AlertType::CertificateUnknown:
    case QSsl::AlertType::UnknownCa:
    case QSsl::AlertType::AccessDenied:
        return true;
    default:
        return false;
    }
}

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
    config.setProtocol(QSsl::TlsV1_2OrLater);
    config.setCiphers(AllowedCiphers());
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
        .arg(ProtocolName(socket.sessionProtocol()), cipher.name(), names.join(QLatin1Char(',')), checked,
             address.certFile.isEmpty() ? QString() : QStringLiteral("; client certificate \"%1\"").arg(address.certFile));
}

QString AlertWords(const std::optional<TlsAlert>& alert, const NetAddress& address)
{
    // ser2net closes without an alert when it turns a client certificate
    // away: the likely cause is named, as a likelihood.
    if (!alert && address.certFile.isEmpty())
        return QStringLiteral(" without an alert: if it checks client certificates, it may want a client certificate "
                              "(cert= and key=)");
    if (!alert)
        return QStringLiteral(" without an alert: if it checks client certificates, it did not accept the client "
                              "certificate \"%1\"").arg(address.certFile);
    if (!AboutClientCertificate(alert->type))
        return QStringLiteral(": its alert says \"%1\"").arg(alert->words);
    if (address.certFile.isEmpty())
        return QStringLiteral(": it may want a client certificate (cert= and key=); its alert says \"%1\"").arg(alert->words);
    return QStringLiteral(": it did not accept the client certificate \"%1\"; its alert says \"%2\"").arg(address.certFile, alert->words);
}
