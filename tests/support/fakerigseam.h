#pragma once
// A stand-in for the panel behind the rig-control server: it reports what a
// test sets and records every operation the server asks for, in order.
#include <QByteArrayList>
#include <QList>
#include <QPointer>

#include "remote/rigseam.h"

class FakeRigSeam : public CRigSeam {
public:
    PanelReading Read() const override;
    void WatchReports(QObject* context, std::function<void()> heard) const override;
    // A report of the radio, showing what the test has set.
    void Report();

    RigStatus SetFrequency(double hz) override;
    RigStatus SetMode(char setting) override;
    RigStatus Key() override;
    RigStatus Unkey() override;

    // The radio obeys at once: the next reading shows what was asked, as if
    // reported.
    bool obey = true;
    RigStatus failWith = RigStatus::Ok;
    std::optional<qint64> frequencyHz;
    char mode = 0;
    bool transmit = false;
    RigStatus link = RigStatus::Ok;
    unsigned reports = 1;
    QByteArrayList calls;  // "frequency 14074000", "mode 1", "key", "unkey"

private:
    struct Watch {
        QPointer<QObject> context;
        std::function<void()> heard;
    };
    bool Obeys();

    mutable QList<Watch> m_watches;
};
