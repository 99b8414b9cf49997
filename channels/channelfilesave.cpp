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

// Each of these is told once a run: a save every Save Chnl would otherwise
// repeat the same box.
void TellOnce(bool& told, const char* text)
{
    if (told)
        return;
    told = true;
    AfxMessageBox(text);
}

} // namespace

bool g_bToldUnreadFile = false;
bool g_bToldNoBackup = false;

void WriteChannelFile(const QByteArray& bytes)
{
    const bool unreadAtStart = g_channelFileLoad == ChannelFileLoad::Unreadable;
    const Kept kept = KeepPrevious();
    if (kept == Kept::Failed && unreadAtStart) {
        TellOnce(g_bToldUnreadFile, "h350save.dat could not be read when the program started, and it still cannot be read. "
                 "It has been left exactly as it is; the channels of this session are not saved.");
        return;
    }
    if (kept == Kept::Copied && unreadAtStart) {
        TellOnce(g_bToldUnreadFile, "h350save.dat could not be read when the program started. It has been kept as "
                 "h350save.bak before being replaced with the channels of this session.");
    }
    if (!WriteAtomically(FileName(), bytes)) {
        AfxMessageBox("Saved Data File did not open for Write!");
        return;
    }
    // The channels were read from this very file, so saving beats keeping
    // nothing; but the user should know there is no copy to go back to.
    if (kept == Kept::Failed)
        TellOnce(g_bToldNoBackup, "h350save.bak could not be written, so h350save.dat was saved "
                                  "without keeping a copy of the previous one.");
}
