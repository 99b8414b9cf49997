#pragma once
// What the rig-control and flrig servers may ask of the panel: read what
// the radio last reported and whether it is still heard, and do what the
// frequency Set button, the mode list and the Xmit and Receive buttons do.
// Nothing else of the panel is reachable from the network.
#include <QtGlobal>
#include <functional>
#include <optional>

#include "reading/panelreading.h"

class QObject;

// Hamlib's status numbers, as the protocol carries them ("RPRT -1").
enum class RigStatus {
    Ok = 0,
    InvalidArgument = -1,
    NotImplemented = -4,
    TimedOut = -5,        // the radio did not report in time
    IoError = -6,         // the serial port is closed or failed
    Rejected = -9,        // another holds the transmitter
    NotAvailable = -11,   // the radio has no such feature, or has not said yet
};

class CRigSeam {
public:
    virtual ~CRigSeam() = default;

    // The panel as it stands.
    virtual PanelReading Read() const = 0;
    // `heard` runs, while `context` lives, as each report has been parsed:
    // a set is confirmed only by one that came after it.
    virtual void WatchReports(QObject* context, std::function<void()> heard) const = 0;

    virtual RigStatus SetFrequency(double hz) = 0;
    virtual RigStatus SetMode(char mode) = 0;
    virtual RigStatus Key() = 0;
    virtual RigStatus Unkey() = 0;

    // Hz; none before the radio's first frequency report.
    std::optional<qint64> ReportedFrequencyHz() const;
    // The radio's setting character, '1' USB to '4' CW; anything else
    // while no mode has been reported.
    char ReportedMode() const { return Read().mode; }
    bool ReportedTransmit() const { return Read().RadioKeyed(); }
    // Whether the readings are the radio's present state: Ok while it is
    // heard, IoError while the port is lost, TimedOut while it is silent.
    RigStatus Link() const;
    // Reports parsed so far: none yet means nothing the radio said is known.
    unsigned ReportCount() const { return Read().reports; }
};
