#pragma once
#include "panel/cstring.h"

// The command most recently built for sending; some senders build it in
// steps (a letter, then digits, then the line feed) before sending.
extern CString g_strCommand;
// Every character received since the last parse, in arrival order.
extern CString g_strReceive;

// Empties the receive buffer and forgets any resynchronisation under way.
void ResetReceiveBuffer();
