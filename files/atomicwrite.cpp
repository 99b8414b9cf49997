#include "files/atomicwrite.h"

#include <QSaveFile>

#include "files/disksync.h"

namespace {

bool Written(QSaveFile& file, const QByteArray& bytes, FileReaders readers, QString& why)
{
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (readers == FileReaders::OwnerOnly && !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return false;
    // QSaveFile buffers: a full disk shows only when the buffer is flushed,
    // and commit() would still rename the short file over the old one.
    // commit() syncs too, but goes on to the rename when the sync fails; a
    // disk that could not take the bytes must not get the new name.
    return file.write(bytes) == bytes.size() && file.flush() && file.error() == QFileDevice::NoError
        && SyncFileData(file, why) && file.commit();
}

} // namespace

bool WriteAtomically(const QString& name, const QByteArray& bytes, QString* why, FileReaders readers)
{
    QSaveFile file(name);
    QString reason;
    if (Written(file, bytes, readers, reason))
        return true;
    if (why)
        *why = reason.isEmpty() ? file.errorString() : reason;
    file.cancelWriting(); // the old file stays as it was
    return false;
}
