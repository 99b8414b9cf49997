#include "web/webtls.h"

#include <QSslCipher>

// OpenSSL names the TLS 1.2 suites by their key exchange first.
bool IsForwardSecret(const QSslCipher& cipher)
{
    const QString name = cipher.name();
    return cipher.protocol() == QSsl::TlsV1_3 || name.startsWith(QLatin1String("TLS_"))
           || name.startsWith(QLatin1String("ECDHE-")) || name.startsWith(QLatin1String("DHE-"));
}

QSslConfiguration WebTlsConfiguration(const WebIdentity& identity)
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(identity.certificate);
    configuration.setPrivateKey(identity.key);
    configuration.setProtocol(QSsl::TlsV1_2OrLater);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    QList<QSslCipher> ciphers;
    for (const QSslCipher& cipher : QSslConfiguration::supportedCiphers()) {
        if (IsForwardSecret(cipher))
            ciphers << cipher;
    }
    configuration.setCiphers(ciphers);
    return configuration;
}
