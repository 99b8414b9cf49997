#include "web/webcertificate.h"

#include <QCryptographicHash>
#include <QFile>
#include <memory>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include "files/atomicwrite.h"
#include "netport/boundedfile.h"

namespace {

constexpr long kTenYearsSecs = 10L * 365 * 24 * 3600;

template <typename T, void (*Free)(T*)>
struct Freer {
    void operator()(T* p) const { Free(p); }
};
using PKey = std::unique_ptr<EVP_PKEY, Freer<EVP_PKEY, EVP_PKEY_free>>;
using Cert = std::unique_ptr<X509, Freer<X509, X509_free>>;
using Bio = std::unique_ptr<BIO, Freer<BIO, BIO_free_all>>;
using Ext = std::unique_ptr<X509_EXTENSION, Freer<X509_EXTENSION, X509_EXTENSION_free>>;

bool AddExtension(X509* cert, int nid, const QByteArray& value)
{
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, cert, cert, nullptr, nullptr, 0);
    const Ext extension(X509V3_EXT_conf_nid(nullptr, &context, nid, value.constData()));
    return extension && X509_add_ext(cert, extension.get(), -1) == 1;
}

// Names and addresses the browser checks the page's address against.
QByteArray AlternativeNames(const QString& hostName, const QList<QHostAddress>& addresses)
{
    QByteArray alternatives = "DNS:localhost,IP:127.0.0.1";
    if (!hostName.isEmpty() && hostName != QLatin1String("localhost"))
        alternatives += ",DNS:" + hostName.toUtf8();
    for (QHostAddress address : addresses) {
        address.setScopeId(QString());
        if (!address.isNull() && address != QHostAddress(QHostAddress::LocalHost))
            alternatives += ",IP:" + address.toString().toLatin1();
    }
    return alternatives;
}

Cert SelfSigned(EVP_PKEY* key, const QString& hostName, const QList<QHostAddress>& addresses)
{
    Cert cert(X509_new());
    if (!cert || X509_set_version(cert.get(), 2) != 1)
        return nullptr;
    ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), long(std::time(nullptr)));
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), kTenYearsSecs);
    X509_NAME* name = X509_get_subject_name(cert.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_UTF8, reinterpret_cast<const unsigned char*>("Tavrin web panel"),
                               -1, -1, 0);
    X509_set_issuer_name(cert.get(), name);
    const bool ok = X509_set_pubkey(cert.get(), key) == 1
                    && AddExtension(cert.get(), NID_subject_alt_name, AlternativeNames(hostName, addresses))
                    && AddExtension(cert.get(), NID_basic_constraints, "critical,CA:FALSE")
                    && AddExtension(cert.get(), NID_ext_key_usage, "serverAuth")
                    && X509_sign(cert.get(), key, EVP_sha256()) > 0;
    return ok ? std::move(cert) : nullptr;
}

QByteArray BioBytes(BIO* bio)
{
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio, &data);
    return QByteArray(data, int(size));
}

bool WritePem(const QString& path, const QByteArray& bytes, FileReaders readers, QString& why)
{
    QString failure;
    if (WriteAtomically(path, bytes, &failure, readers))
        return true;
    why = QStringLiteral("cannot write %1: %2").arg(path, failure);
    return false;
}

bool KeyFitsCertificate(const QByteArray& certPem, const QByteArray& keyPem)
{
    const Bio certBio(BIO_new_mem_buf(certPem.constData(), int(certPem.size())));
    const Bio keyBio(BIO_new_mem_buf(keyPem.constData(), int(keyPem.size())));
    const Cert cert(certBio ? PEM_read_bio_X509(certBio.get(), nullptr, nullptr, nullptr) : nullptr);
    const PKey key(keyBio ? PEM_read_bio_PrivateKey(keyBio.get(), nullptr, nullptr, nullptr) : nullptr);
    return cert && key && X509_check_private_key(cert.get(), key.get()) == 1;
}

} // namespace

bool MakeSelfSignedIdentity(const QString& certPath, const QString& keyPath, const QString& hostName, QString& why,
                            const QList<QHostAddress>& addresses)
{
    const PKey key(EVP_EC_gen("P-256"));
    const Cert cert = key ? SelfSigned(key.get(), hostName, addresses) : nullptr;
    const Bio certPem(BIO_new(BIO_s_mem()));
    const Bio keyPem(BIO_new(BIO_s_mem()));
    if (!cert || !certPem || !keyPem || PEM_write_bio_X509(certPem.get(), cert.get()) != 1
        || PEM_write_bio_PrivateKey(keyPem.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) != 1) {
        why = QStringLiteral("cannot make the web panel's certificate");
        return false;
    }
    if (!WritePem(keyPath, BioBytes(keyPem.get()), FileReaders::OwnerOnly, why))
        return false;
    if (!WritePem(certPath, BioBytes(certPem.get()), FileReaders::AsUmask, why)) {
        QFile::remove(keyPath);
        return false;
    }
    return true;
}

bool ReadWebIdentity(const QString& certPath, const QString& keyPath, WebIdentity& identity, QString& why)
{
    QByteArray certBytes;
    QByteArray keyBytes;
    // A private key others can read is no longer private: refused, as a
    // readable operator list is.
    if (!ReadBoundedFile(certPath, "certificate", certBytes, why)
        || !ReadBoundedFile(keyPath, "key", keyBytes, why, OthersMayRead::No))
        return false;
    identity.certificate = QSslCertificate(certBytes, QSsl::Pem);
    if (identity.certificate.isNull()) {
        why = QStringLiteral("%1 holds no PEM certificate").arg(certPath);
        return false;
    }
    identity.key = QSslKey(keyBytes, QSsl::Ec, QSsl::Pem);
    if (identity.key.isNull())
        identity.key = QSslKey(keyBytes, QSsl::Rsa, QSsl::Pem);
    if (identity.key.isNull()) {
        why = QStringLiteral("%1 holds no unencrypted PEM key (EC or RSA)").arg(keyPath);
        return false;
    }
    if (!KeyFitsCertificate(certBytes, keyBytes)) {
        why = QStringLiteral("the key in %1 does not belong to the certificate in %2").arg(keyPath, certPath);
        return false;
    }
    return true;
}

bool LoadOrMakeWebIdentity(const QString& certPath, const QString& keyPath, WebIdentity& identity, QString& why,
                           const QList<QHostAddress>& addresses)
{
    if (certPath.isEmpty() != keyPath.isEmpty()) {
        why = QStringLiteral("--web-cert and --web-key go together");
        return false;
    }
    if (!certPath.isEmpty())
        return ReadWebIdentity(certPath, keyPath, identity, why);
    const QString ownCert = QString::fromLatin1(kWebCertFile);
    const QString ownKey = QString::fromLatin1(kWebKeyFile);
    if (!QFile::exists(ownCert) && !QFile::exists(ownKey)
        && !MakeSelfSignedIdentity(ownCert, ownKey, QSysInfo::machineHostName(), why, addresses))
        return false;
    return ReadWebIdentity(ownCert, ownKey, identity, why);
}

QString CertificateFingerprint(const QSslCertificate& certificate)
{
    return QString::fromLatin1(certificate.digest(QCryptographicHash::Sha256).toHex(':').toUpper());
}
