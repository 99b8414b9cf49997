#pragma once
// A set is answered once a report of the radio made after it shows the
// change; one the radio does not confirm within a second is answered
// "timed out" (or "I/O error" once the port is lost). Only a radio that is
// heard confirms anything: before its first report, or while it is silent,
// the value it last reported proves nothing.
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
    void Stop() { m_settle.stop(); }
    bool Waiting() const { return m_settle.isActive(); }

signals:
    // Ok when a report confirmed it; TimedOut or IoError when none did.
    void Settled(RigStatus status);

private:
    void OnReport();
    void OnSettle();

    const CRigSeam& m_rig;
    QTimer m_settle;  // the deadline, or at once when a report confirmed it
    RigExpectation m_expected;
    bool m_confirmed = false;
};
