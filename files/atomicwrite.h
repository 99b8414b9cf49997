#pragma once
// Replaces a file in one step: the new bytes are written beside it, flushed
// and synced, and only then renamed over it. A write that fails, on a full
// disk too, leaves the old file as it was.
#include <QByteArray>
#include <QString>

enum class FileReaders {
    AsUmask,    // whatever the process's umask allows, or the old file's mode
    OwnerOnly,  // set before a byte is written: secrets are never readable by others
};

// False when the file was not replaced; why (when asked) says what failed.
bool WriteAtomically(const QString& name, const QByteArray& bytes, QString* why = nullptr,
                     FileReaders readers = FileReaders::AsUmask);
