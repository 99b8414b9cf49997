#include "remote/rigseam.h"

#include <cmath>

std::optional<qint64> CRigSeam::ReportedFrequencyHz() const
{
    const PanelReading reading = Read();
    if (!reading.freqReported)
        return std::nullopt;
    return std::llround(reading.freqKhz * 1000.0);
}

RigStatus CRigSeam::Link() const
{
    const PanelReading reading = Read();
    if (!reading.portOpen)
        return RigStatus::IoError;
    return reading.silent ? RigStatus::TimedOut : RigStatus::Ok;
}
