#include "channels/channelfilesave.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "channels/channelfile.h"
#include "panel/messagebox.h"

namespace {

QString FileName() { return QString::fromLatin1(g_szChannelFile); }
QString BackupName() { return QString::fromLatin1(g_szChannelBackup); }

bool WriteAtomically(const QString& name, const QByteArray& bytes)
{
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    // QSaveFile buffers: a full disk shows only when the buffer is flushed,
    // and commit() would still rename the short file over the old one.
    if (file.write(bytes) != bytes.size() || !file.flush() || file.error() != QFileDevice::NoError) {
        file.cancelWriting(); // the old file stays as it was
        return false;
    }
    return file.commit();
}

enum class Kept { Nothing, Copied, Failed };

// The file about to be replaced becomes the backup, so the user can always
// go back one save.
Kept KeepPrevious()
{
    const QFileInfo info(FileName());
    if (!info.exists())
        return Kept::Nothing;
    QFile previous(FileName());
    if (info.isDir() || !previous.open(QIODevice::ReadOnly))
        return Kept::Failed;
    const QByteArray bytes = previous.readAll();
    if (previous.error() != QFileDevice::NoError)
        return Kept::Failed;
    previous.close();
    return WriteAtomically(BackupName(), bytes) ? Kept::Copied : Kept::Failed;
}

// Told once a run: the file the program could not read at start-up is what
// a save would replace.
void TellOnce(const char* text)
{
    if (g_bToldUnreadFile)
        return;
    g_bToldUnreadFile = true;
    AfxMessageBox(text);
}

} // namespace

bool g_bToldUnreadFile = false;

void WriteChannelFile(const QByteArray& bytes)
{
    const bool unreadAtStart = g_channelFileLoad == ChannelFileLoad::Unreadable;
    const Kept kept = KeepPrevious();
    if (kept == Kept::Failed && unreadAtStart) {
        TellOnce("h350save.dat could not be read when the program started, and it still cannot be read. "
                 "It has been left exactly as it is; the channels of this session are not saved.");
        return;
    }
    if (kept == Kept::Copied && unreadAtStart) {
        TellOnce("h350save.dat could not be read when the program started. It has been kept as "
                 "h350save.bak before being replaced with the channels of this session.");
    }
    if (!WriteAtomically(FileName(), bytes))
        AfxMessageBox("Saved Data File did not open for Write!");
}
