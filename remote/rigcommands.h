#pragma once
// The commands the server knows, as a table: short name, long name, how many
// arguments, whether a VFO may lead them, and the handler. Anything else is
// "not implemented" and leaves the connection as it was.
#include "remote/rigprotocol.h"
#include "remote/rigseam.h"

RigAnswer RunRigCommand(const RigRequest& request, CRigSeam& rig);

// Parse, run and format in one, for a caller that needs only the bytes.
QByteArray AnswerRigLine(const QByteArray& line, CRigSeam& rig);
