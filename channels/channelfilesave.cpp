#include "channels/channelfilesave.h"

#include <QFileInfo>

#include "channels/channelfile.h"
#include "channels/keptcopy.h"
#include "files/atomicwrite.h"
#include "panel/messagebox.h"

namespace {

QString FileName() { return QString::fromLatin1(g_szChannelFile); }
QString BackupName() { return QString::fromLatin1(g_szChannelBackup); }

// The file about to be replaced, as it stands on disk.
struct Previous {
    enum { None, Read, Failed } state;
    QByteArray bytes;
};

Previous ReadPrevious()
{
    if (!QFileInfo::exists(FileName()))
        return {Previous::None, {}};
    const std::optional<QByteArray> bytes = ReadWholeFile(FileName());
    return bytes ? Previous{Previous::Read, *bytes} : Previous{Previous::Failed, {}};
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

bool OwesCopy()
{
    return g_channelFileLoad == ChannelFileLoad::Unreadable || g_channelFileLoad == ChannelFileLoad::Misnumbered;
}

CString KeptText(const QString& where)
{
    const CString path = where.toLatin1(); // the box shows its text as Latin-1
    if (g_channelFileLoad == ChannelFileLoad::Unreadable)
        return "h350save.dat could not be read when the program started. Before it was replaced with the channels "
               "of this session, it was kept as " + path + ".";
    return "When the program started, some channels in h350save.dat did not carry their own channel numbers "
           "(the file may have been edited by hand), so the channel list may not show what the file meant. "
           "The file as it was has been kept as " + path + ".";
}

const char* LeftText(const Previous& previous)
{
    if (g_channelFileLoad == ChannelFileLoad::Unreadable && previous.state == Previous::Failed)
        return "h350save.dat could not be read when the program started, and it still cannot be read. "
               "It has been left exactly as it is; the channels of this session are not saved.";
    return "No copy of h350save.dat could be kept before replacing it, so it has been left exactly as it is; "
           "the channels of this session are not saved.";
}

// A file the load could not trust is copied, once, under a name no save
// rotates, before anything replaces it. Without that copy it stays as it is.
bool KeepFileAsFound(const Previous& previous)
{
    if (previous.state == Previous::None) { // gone since start-up: nothing left to lose
        g_channelFileLoad = ChannelFileLoad::Loaded;
        return true;
    }
    const char* base = g_channelFileLoad == ChannelFileLoad::Unreadable ? g_szUnreadableCopy : g_szMisnumberedCopy;
    const QString kept = previous.state == Previous::Read ? KeepUnderOwnName(base, previous.bytes) : QString();
    if (kept.isEmpty()) {
        TellOnce(g_bToldFileLeft, LeftText(previous));
        return false;
    }
    AfxMessageBox(KeptText(kept));
    g_channelFileLoad = ChannelFileLoad::Loaded;
    return true;
}

} // namespace

bool g_bToldFileLeft = false;
bool g_bToldNoBackup = false;

bool WriteChannelFile(const QByteArray& bytes)
{
    const Previous previous = ReadPrevious();
    if (OwesCopy() && !KeepFileAsFound(previous))
        return false;
    // The file about to be replaced becomes the backup, so the user can
    // always go back one save.
    const bool backedUp = previous.state == Previous::None
                       || (previous.state == Previous::Read && WriteAtomically(BackupName(), previous.bytes));
    if (!WriteAtomically(FileName(), bytes)) {
        AfxMessageBox("Saved Data File did not open for Write!");
        return false;
    }
    // The channels were read from this very file, so saving beats keeping
    // nothing; but the user should know there is no copy to go back to.
    if (!backedUp)
        TellOnce(g_bToldNoBackup, "h350save.bak could not be written, so h350save.dat was saved "
                                  "without keeping a copy of the previous one.");
    return true;
}
