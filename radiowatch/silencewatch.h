#pragma once
// A radio that stops answering (switched off, its cable cut behind the
// adapter) leaves the port open and the form showing its last values. The
// radio answers every poll with a report, so when none has come for 10 s
// (three polls) while the port is open, the radio is silent: the window
// title says so until the next report, and the rig-control server answers
// readings "timed out". A lost port has its own words in the title; the
// count starts again when the port opens.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <chrono>

class CTavrinView;

class CSilenceWatch : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kDefaultSpan{10000};

    // Lives as long as the view it watches.
    explicit CSilenceWatch(CTavrinView& view);

    bool IsSilent() const { return m_silent; }
    void SetSpan(std::chrono::milliseconds span);

signals:
    // The radio fell silent or spoke again, or the port it is heard on was
    // found closed or open again, at the watch's next look.
    void HeardChanged();

private:
    void OnReport();
    void Check();
    void SetSilent(bool silent);

    CTavrinView& m_view;
    QTimer m_check;
    QElapsedTimer m_quiet;  // since the last report, or since the port opened
    std::chrono::milliseconds m_span = kDefaultSpan;
    bool m_portWasClosed = true;
    bool m_silent = false;
};
