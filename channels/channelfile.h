#pragma once
// The channel file h350save.dat in the working directory: port
// configuration, scan ranges and the 300 channels, as text.
#include <QByteArray>
#include <QString>

extern const char* const g_szChannelFile;  // "h350save.dat"
extern const char* const g_szChannelBackup; // "h350save.bak"

// The file's bytes for the table as it stands. Lines end in CR LF, as the
// file has always been written, so files stay interchangeable.
QByteArray ChannelFileBytes();

// Reads the file's bytes into the port, range and channel globals. Fields
// that do not convert keep their values; nothing outside the table is touched.
void ReadChannelTable(const QByteArray& fileBytes);

// Lines may end in CR LF or LF; both read the same.
QByteArray NormalizeLineEnds(const QByteArray& bytes);

// How the load at start-up went; a save only replaces a file it could read.
enum class ChannelFileLoad { NotYet, Loaded, Missing, Unreadable };
extern ChannelFileLoad g_channelFileLoad;
// The user has been told what became of a file that could not be read.
extern bool g_bToldUnreadFile;
// ... and that a save could not keep its backup.
extern bool g_bToldNoBackup;
