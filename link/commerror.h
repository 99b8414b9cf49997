#pragma once
// An error of the communications control. Like the control it stands in for,
// a rejected property access ends the handler it happens in; the view's
// message dispatch catches it and shows it to the user.
#include <QString>

enum class CommErrorKind {
    InvalidPort,     // a port number that names no port
    BadSettings,     // a settings text that does not parse
    OpenFailed,      // missing, busy or refused device
    OpenPending,     // the device opens later (a connection being made)
    OpenRefused,     // the device was there and turned the open away
    PortClosed,      // output while the port is not open
    WriteFailed,
    PortLost,        // the device went away while open
};

struct CommError {
    CommErrorKind kind;
    QString text;
};
