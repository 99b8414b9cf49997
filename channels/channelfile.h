#pragma once
// The channel file h350save.dat in the working directory: port
// configuration, scan ranges and the 300 channels, as text.
#include <QByteArray>
#include <QString>
#include <optional>

#include "panel/cstring.h"

extern const char* const g_szChannelFile;  // "h350save.dat"
extern const char* const g_szChannelBackup; // "h350save.bak"
// Copies of a file found at start-up that the load could not trust, kept
// under names no save rotates; a name already taken gets ".2", ".3", ...
extern const char* const g_szUnreadableCopy; // "h350save.unreadable"
extern const char* const g_szMisnumberedCopy; // "h350save.orig"

// The file's bytes for the table as it stands. Lines end in CR LF, as the
// file has always been written, so files stay interchangeable.
QByteArray ChannelFileBytes();
// The same for the first slots alone: a file that ends early, which reads
// back as one does, with the slots after it marked as past its end.
QByteArray FirstSlotsFileBytes(int slotCount);

// Reads the file's bytes into the port, range and channel globals. Fields
// that do not convert keep their values; nothing outside the table is touched.
// False when a record does not start with its own slot's number: the slot is
// still chosen by the record's place, but a hand edit has probably shifted
// the records after it, and the table no longer says what the file meant.
bool ReadChannelTable(const QByteArray& fileBytes);

// The whole of a regular file, or nothing when it is not one, cannot be
// opened, or a read fails or brings fewer bytes than the file held.
std::optional<QByteArray> ReadWholeFile(const QString& name);

// The port's settings text from line 1's values, " 9600,O,7,1" for example;
// the port number is not part of it.
CString PortSettingsText();

// Lines may end in CR LF or LF; both read the same.
QByteArray NormalizeLineEnds(const QByteArray& bytes);

// How the load at start-up went. A file that was Unreadable or Misnumbered
// is copied under a name of its own before the first save replaces it; once
// that copy is made the file counts as Loaded.
enum class ChannelFileLoad { NotYet, Loaded, Missing, Unreadable, Misnumbered };
extern ChannelFileLoad g_channelFileLoad;
// The user has been told that a file owed a copy was left as it is.
extern bool g_bToldFileLeft;
// ... and that a save could not keep its backup.
extern bool g_bToldNoBackup;

// Reads h350save.dat from the working folder into the table, the port and
// the range globals, and notes in g_channelFileLoad how that went; a file
// that cannot be read leaves them as they were.
ChannelFileLoad ReadChannelFileIntoTable();
