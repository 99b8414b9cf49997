#pragma once
// One command of the rigctl text protocol in, one reply out. A command is a
// short name ("f") or a backslash and a long name ("\get_freq"), then its
// arguments, all separated by blanks. A leading '+' asks for the extended
// reply, one record a line; ';', '|' or ',' ask for it on one line, the
// records separated by that character.
#include <QByteArrayList>
#include <QList>
#include <optional>

#include "remote/rigseam.h"

struct RigCommand;

struct RigRequest {
    char separator = 0;    // 0: the plain reply
    const RigCommand* command = nullptr;  // the table's row; none for a name nobody knows
    QByteArrayList args;
};

struct RigValue {
    QByteArrayView label;  // "Frequency", a text of the program's own; shown only in the extended reply
    QByteArray value;
};

// What a set command asked of the radio, to be seen in its next reports.
struct RigExpectation {
    std::optional<double> frequencyHz;
    std::optional<char> mode;
    std::optional<bool> transmit;

    bool IsEmpty() const { return !frequencyHz && !mode && !transmit; }
    bool MetBy(const CRigSeam& rig) const;
};

struct RigAnswer {
    RigStatus status = RigStatus::Ok;
    QByteArrayView longName;           // the command table's; empty for a command nobody knows
    QList<RigValue> values;            // a get's values; none for a set
    // A "?" answer: names, each followed by a blank, on a line of their own.
    // A set command's list is followed by its status even in the plain reply.
    std::optional<QByteArray> names;
    bool statusAfterNames = false;
    bool quit = false;
    std::optional<bool> keyRequested;  // a T command reached the panel: key or unkey
    RigExpectation expected;
};

QByteArray FormatRigAnswer(const RigRequest& request, const RigAnswer& answer);
// "RPRT -1" and its line feed: all a line gets that cannot be a command.
QByteArray StatusLine(RigStatus status);
