#pragma once
#include <QByteArray>
#include <QString>

// Writes the bytes under the first free name of base, base.2, base.3, ...,
// so a copy kept in an earlier run is never written over. Returns the copy's
// absolute path, or an empty string when no copy could be made.
QString KeepUnderOwnName(const char* base, const QByteArray& bytes);
