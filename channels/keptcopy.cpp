#include "channels/keptcopy.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Creates the file, never replacing one: a name taken since it was looked
// at is simply not this copy's name.
enum class Created { Yes, NameTaken, Failed };

Created CreateNew(const QString& name, const QByteArray& bytes)
{
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return QFileInfo::exists(name) || QFileInfo(name).isSymLink() ? Created::NameTaken : Created::Failed;
    if (file.write(bytes) == bytes.size() && file.flush() && file.error() == QFileDevice::NoError)
        return Created::Yes;
    // QFile::remove() would refuse after a close that fails to flush.
    file.close();
    QFile::remove(name);
    return Created::Failed;
}

} // namespace

QString KeepUnderOwnName(const char* base, const QByteArray& bytes)
{
    for (int n = 1; n <= 999; ++n) {
        const QString name = QString::fromLatin1(base) + (n == 1 ? QString() : QStringLiteral(".%1").arg(n));
        switch (CreateNew(name, bytes)) {
        case Created::Yes: return QFileInfo(name).absoluteFilePath();
        case Created::Failed: return QString();
        case Created::NameTaken: break;
        }
    }
    return QString();
}
