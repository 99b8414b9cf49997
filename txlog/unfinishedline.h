#pragma once
// A transmissions file cut short, by a kill or a power cut while on air or
// in the middle of a write, and what completes it.
#include <QByteArray>
#include <QDateTime>

extern const char kKilledReason[];
// A killed program's open record whose end the next start saw: the radio
// still reported transmit, and that start's status query ended it.
extern const char kEndedByNextStart[];

// The bytes that, appended, end the file with a complete line: the open
// record's empty end time and duration and kKilledReason, a missing quote,
// the rest of a cut header. Empty when the last line is complete.
QByteArray CompletionOf(const QByteArray& text);
// The start time of the last line when it is a transmission's start,
// written whole and waiting for its end; invalid otherwise.
QDateTime OpenStartOf(const QByteArray& text);
