#include "support/fakerigseam.h"

#include <cmath>

#include "panel/tuningstate.h"

PanelReading FakeRigSeam::Read() const
{
    PanelReading reading;
    reading.freqReported = frequencyHz.has_value();
    reading.freqKhz = frequencyHz.value_or(0) / 1000.0;
    reading.mode = mode;
    reading.txRx = transmit ? 0 : 1;
    reading.reports = reports;
    reading.portOpen = link != RigStatus::IoError;
    reading.silent = link == RigStatus::TimedOut;
    return reading;
}

void FakeRigSeam::WatchReports(QObject* context, std::function<void()> heard) const
{
    m_watches.append({context, std::move(heard)});
}

void FakeRigSeam::Report()
{
    ++reports;
    for (const Watch& watch : QList<Watch>(m_watches))
        if (watch.context)
            watch.heard();
}

bool FakeRigSeam::Obeys()
{
    if (!obey || failWith != RigStatus::Ok)
        return false;
    ++reports;
    return true;
}

RigStatus FakeRigSeam::SetFrequency(double hz)
{
    // The panel's own rule: what the seven digits cannot hold is refused.
    if (!FrequencyFitsField(hz / 1000.0))
        return RigStatus::InvalidArgument;
    calls << "frequency " + QByteArray::number(hz, 'f', 1);
    if (Obeys())
        frequencyHz = std::llround(hz / 10.0) * 10;
    return failWith;
}

RigStatus FakeRigSeam::SetMode(char setting)
{
    calls << "mode " + QByteArray(1, setting);
    if (Obeys())
        mode = setting;
    return failWith;
}

RigStatus FakeRigSeam::Key()
{
    calls << "key";
    if (Obeys())
        transmit = true;
    return failWith;
}

RigStatus FakeRigSeam::Unkey()
{
    calls << "unkey";
    if (Obeys())
        transmit = false;
    return failWith;
}
