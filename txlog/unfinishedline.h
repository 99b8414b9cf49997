#pragma once
// A transmissions file cut short, by a kill or a power cut while on air or
// in the middle of a write, and what completes it.
#include <QByteArray>

extern const char kKilledReason[];

// The bytes that, appended, end the file with a complete line: the open
// record's empty end time and duration and kKilledReason, a missing quote,
// the rest of a cut header. Empty when the last line is complete.
QByteArray CompletionOf(const QByteArray& text);
