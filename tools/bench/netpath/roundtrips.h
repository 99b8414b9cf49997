#pragma once
// Round trips through the running panel, timed at the bench's end only, so
// one clock measures both ends of each interval:
//   out: a rig-control "F" request to the panel, until the panel's "F"
//        command has reached the radio's end of the line;
//   in:  a status report written at the radio's end, until the panel's
//        rig-control server answers "f" with the report's frequency (asked
//        back to back on a second connection).
// What the panel does around the line is the same on every path, so the
// difference between two paths is what the longer wire adds.
#include <QList>
#include <QString>

struct RoundTrips {
    QList<double> outMs;
    QList<double> inMs;
    QString problem;
};

RoundTrips MeasureRoundTrips(int radioFd, quint16 rigctlPort, int count);

// The value below which the given share of the samples lie.
double Percentile(QList<double> samples, double share);
