#pragma once
// What Qt's socket options do not reach, in each system's own calls:
// socketoptions.cpp on Linux, socketoptions_win.cpp on Windows.
#include <QtGlobal>

// A far end that vanished without a word is noticed within ten to fifteen
// seconds: keep-alive probes after 5 s of silence, 2 s apart, three of them,
// and no more than 10 s for an unacknowledged write.
void NoticeSilentFarEndSoon(qintptr socket);

// Acknowledges what arrives at once, where the system lets it be asked.
void AcknowledgeEachArrival(qintptr socket);

// Half-closes the connection and reads what the far end still sends until
// it closes too, for at most ms milliseconds.
void HalfCloseAndDrain(qintptr socket, int ms);
