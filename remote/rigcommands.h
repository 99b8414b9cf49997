#pragma once
// The commands the server knows, as a table: short name, long name, how many
// arguments, whether a VFO may lead them, whether they read the radio's
// state, and the handler. Anything else is "not implemented" and leaves the
// connection as it was.
#include <limits>

#include "keying/keyer.h"
#include "remote/rigprotocol.h"
#include "remote/rigseam.h"

class CTransmitHolder;
struct RigMode;

// What one client's connection remembers between its commands.
struct RigClientState {
    // PKTUSB or PKTLSB as this client set it, read back while the radio
    // reports that sideband: the radio cannot tell it from the plain one.
    const RigMode* dataMode = nullptr;
    // The station's one holder of the transmitter, and who this client is to
    // it; none where nothing else keys.
    CTransmitHolder* holder = nullptr;
    Keyer keyer;
};

struct RigCall {
    CRigSeam& rig;
    RigClientState& client;
    QByteArrayList args;  // without a leading VFO
};

constexpr unsigned kRigTakesVfo = 0x1;    // "F VFOA 14074000" as well as "F 14074000"
constexpr unsigned kRigReadsRadio = 0x2;  // a reading that fails while the radio is not heard
constexpr int kRigRestOfLine = std::numeric_limits<int>::max();

struct RigCommand {
    char shortName;        // 0: only the long name
    const char* longName;
    int minArgs;
    int maxArgs;           // kRigRestOfLine: every word to the end of the line
    unsigned flags;
    RigAnswer (*run)(RigCall& call);
};

const RigCommand* FindRigCommand(QByteArrayView name);
// A VFO name a client may put before a command's arguments.
bool IsRigVfoName(QByteArrayView token);

RigAnswer RunRigCommand(const RigRequest& request, CRigSeam& rig, RigClientState& client);

// Every command of a line parsed, run and formatted in turn, up to a quit,
// for a caller that needs only the bytes: each command's reply, or all in one.
QByteArrayList AnswerRigCommands(const QByteArray& line, CRigSeam& rig, RigClientState& client);
QByteArray AnswerRigLine(const QByteArray& line, CRigSeam& rig, RigClientState& client);
QByteArray AnswerRigLine(const QByteArray& line, CRigSeam& rig);
