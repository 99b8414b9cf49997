#pragma once
// The flrig methods the server answers, as a table: name, how many
// parameters, whether it reads the radio's state, and the handler. What a
// station program asks of the radio goes through the same seam, with the
// same rules, as the rig-control server: a reading fails while the radio is
// not heard, a set is confirmed by the radio's report, and a key is taken
// from the station's one holder of the transmitter or refused. Any other
// method, or a wrong parameter, is a fault that changes nothing.
#include <QStringList>
#include <QVariant>

#include "keying/keyer.h"
#include "remote/rigcommands.h"
#include "remote/rigprotocol.h"
#include "remote/xmlrpcreply.h"
#include "remote/xmlrpcrequest.h"

class CRigSeam;
class CTransmitHolder;

// One connection, as the methods see it.
struct FlrigClient {
    RigClientState state;  // a data mode it set
    Keyer keyer;           // who keys when it sets PTT
};

struct FlrigAnswer {
    QVariant value;
    std::optional<XmlRpcFault> fault;
    QString reason;                    // a fault's
    RigExpectation expected;           // what the radio's report must show first
    std::optional<bool> keyRequested;  // set_ptt reached the panel: key or unkey
};

FlrigAnswer RunFlrigCall(const XmlRpcCall& call, CRigSeam& rig, CTransmitHolder* holder, FlrigClient& client);
QByteArray FormatFlrigAnswer(const FlrigAnswer& answer);
// A set the radio did not confirm in time, or whose port went meanwhile.
FlrigAnswer FlrigUnconfirmed(RigStatus status);
QStringList FlrigMethodNames();
