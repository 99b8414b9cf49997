#pragma once
#include <QByteArrayList>

// The capabilities a client of the rig-control protocol reads when it
// connects (protocol version 1): one receive and one transmit range, the
// seven-digit frequency field's 0 to 99999.99 kHz, the four modes with their
// passbands, 10 Hz tuning, no VFO choice, and the key=value tail up to
// "done".
QByteArrayList DumpStateLines();
