#pragma once
// The user's sound server (PipeWire's or PulseAudio's) listens in the
// user's runtime folder, /run/user/UID, which a login names in
// XDG_RUNTIME_DIR. A system service (the station's unit), cron or sudo
// gives no login, so without this the panel would find no sound card.
#include <QString>

// Names the runtime folder when nothing has and the user's own exists
// (made by systemd for a login or a lingering user); else leaves it.
// `root` is where the folders are, for the tests.
void UseUserRuntimeDir(const QString& root = QStringLiteral("/run/user"));
