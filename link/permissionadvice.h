#pragma once
// A serial device that is there but may not be opened by this user is the
// first thing a new user on Linux meets: serial devices belong to a group
// (dialout on Debian), and joining it counts only from the next login. Such
// a refusal gets words of its own instead of "Permission denied".
#include <QString>

// True when the device exists and this process may not both read and write it.
bool DeniedByPermissions(const QString& device);

// What the user is told, given the group that owns the device and the
// user's own name (either may be empty when unknown). The device itself is
// named by whoever shows the words.
QString PermissionDeniedWords(const QString& group, const QString& user);

// The same, with the device's group and this process's user looked up.
QString PermissionDeniedWordsFor(const QString& device);
