#include "netport/tlsfiles.h"

#include "netport/boundedfile.h"
#include "netport/netaddress.h"

namespace {

QList<QSslCertificate> Certificates(const QByteArray& bytes)
{
    QList<QSslCertificate> found = QSslCertificate::fromData(bytes, QSsl::Pem);
    return found.isEmpty() ? QSslCertificate::fromData(bytes, QSsl::Der) : found;
}

bool LoadCertificates(const QString& path, const char* what, QList<QSslCertificate>& certificates, QString& problem)
{
    QByteArray bytes;
    if (!ReadBoundedFile(path, what, bytes, problem))
        return false;
    certificates = Certificates(bytes);
    if (!certificates.isEmpty())
        return true;
    problem = QStringLiteral("the %1 file \"%2\" holds no certificate").arg(QLatin1String(what), path);
    return false;
}

bool LoadKey(const QString& path, QSslKey& key, QString& problem)
{
    QByteArray bytes;
    if (!ReadBoundedFile(path, "key", bytes, problem))
        return false;
    for (const QSsl::KeyAlgorithm algorithm : {QSsl::Rsa, QSsl::Ec, QSsl::Dsa}) {
        for (const QSsl::EncodingFormat format : {QSsl::Pem, QSsl::Der}) {
            key = QSslKey(bytes, algorithm, format, QSsl::PrivateKey);
            if (!key.isNull())
                return true;
        }
    }
    problem = QStringLiteral("the key file \"%1\" holds no private key that can be used "
                             "(a key protected by a passphrase cannot)").arg(path);
    return false;
}

} // namespace

bool LoadTlsFiles(const NetAddress& address, TlsFiles& files, QString& problem)
{
    if (!address.caFile.isEmpty() && !LoadCertificates(address.caFile, "CA", files.authorities, problem))
        return false;
    if (address.certFile.isEmpty())
        return true;
    QList<QSslCertificate> chain;
    if (!LoadCertificates(address.certFile, "certificate", chain, problem))
        return false;
    files.certificate = chain.first();
    return LoadKey(address.keyFile, files.key, problem);
}

bool TlsFilesReadable(const NetAddress& address, QString& problem)
{
    const QList<std::pair<const char*, QString>> files = {
        {"CA", address.caFile}, {"certificate", address.certFile}, {"key", address.keyFile}};
    for (const auto& [what, path] : files) {
        if (!path.isEmpty())
            problem = BoundedFileProblem(path, what);
        if (!problem.isEmpty())
            return false;
    }
    return true;
}
