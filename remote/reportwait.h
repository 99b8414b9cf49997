#pragma once
// A set is answered once a report of the radio made after it shows the
// change; one the radio does not confirm within a second is answered
// "timed out" (or "I/O error" once the port is lost). Only a radio that is
// heard confirms anything: before its first report, or while it is silent,
// the value it last reported proves nothing.
#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>

#include "remote/rigprotocol.h"

class CRigSeam;

class CReportWait : public QObject {
    Q_OBJECT
public:
    // Under the 1.5 s a Hamlib client waits for a reply.
    static constexpr int kReportWaitMs = 1000;

    explicit CReportWait(const CRigSeam& rig, QObject* parent = nullptr);

    // The radio shows it already: nothing to wait for.
    bool ShownAlready(const RigExpectation& expected) const;
    void Start(const RigExpectation& expected);
    void Stop() { m_tick.stop(); }
    bool Waiting() const { return m_tick.isActive(); }

signals:
    // Ok when a report confirmed it; TimedOut or IoError when none did.
    void Settled(RigStatus status);

private:
    void OnTick();

    const CRigSeam& m_rig;
    QTimer m_tick;
    QDeadlineTimer m_deadline;
    RigExpectation m_expected;
    unsigned m_reportsAtStart = 0;
};
