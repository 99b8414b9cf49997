#include "channeleditor/csvfile.h"

#include <QFile>

#include "files/atomicwrite.h"

namespace {
// 300 rows of at most a few hundred bytes each, with room to spare.
constexpr qint64 kMostBytes = 4 * 1024 * 1024;

bool IsStandardStream(const QString& path) { return path == QLatin1String("-"); }

bool OpenForReading(QFile& file, const QString& path)
{
    if (IsStandardStream(path))
        return file.open(stdin, QIODevice::ReadOnly);
    file.setFileName(path);
    return file.open(QIODevice::ReadOnly);
}

// A pipe gives its bytes in pieces; a read of none is its end.
bool ReadUpTo(QFile& file, qint64 most, QByteArray& bytes)
{
    char buffer[65536];
    while (bytes.size() <= most) {
        const qint64 got = file.read(buffer, sizeof buffer);
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        bytes.append(buffer, got);
    }
    return true;
}
} // namespace

std::optional<QByteArray> ReadCsvFile(const QString& path, QString& why)
{
    QFile file;
    QByteArray bytes;
    if (!OpenForReading(file, path) || !ReadUpTo(file, kMostBytes, bytes)) {
        why = QStringLiteral("%1 cannot be read: %2").arg(path, file.errorString());
        return std::nullopt;
    }
    if (bytes.size() > kMostBytes) {
        why = QStringLiteral("%1 is larger than 4 MiB, far more than a list of 300 channels").arg(path);
        return std::nullopt;
    }
    return bytes;
}

bool WriteCsvFile(const QString& path, const QByteArray& bytes, QString& why)
{
    if (IsStandardStream(path)) {
        QFile out;
        if (out.open(stdout, QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.flush())
            return true;
        why = QStringLiteral("standard output cannot be written: %1").arg(out.errorString());
        return false;
    }
    if (WriteAtomically(path, bytes, &why))
        return true;
    why = QStringLiteral("%1 cannot be written: %2").arg(path, why);
    return false;
}
