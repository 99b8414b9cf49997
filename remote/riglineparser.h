#pragma once
// A client's line cut into the commands on it, as rigctld reads one: "f m",
// short names packed together ("fm"), an argument run on to its short name
// ("F14074000"), a prefix asking one command for the extended reply ("f +m"),
// and a '#' that makes the rest of the line a comment. Each command takes as
// many words as it may have arguments, after a VFO name where one may lead
// them. An unknown command ends the line: where its arguments end cannot be
// told, so nothing after it is taken for a command.
#include <QList>

#include "remote/rigprotocol.h"

QList<RigRequest> ParseRigLine(const QByteArray& line);
