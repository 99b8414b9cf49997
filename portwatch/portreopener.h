#pragma once
// A port whose device went away (an adapter pulled, a cable knocked, the
// network radio's connection dropped) is opened again by itself: every 2
// seconds, quietly, until the device is back. Then the panel is where start-up would have put it, without the
// channel file being read again.
#include <QObject>
#include <QString>
#include <QTimer>

class CTavrinView;
struct CommError;

class CPortReopener : public QObject {
    Q_OBJECT
public:
    static constexpr int kRetryMs = 2000;

    // Lives as long as the view it watches.
    explicit CPortReopener(CTavrinView& view);

    bool IsRetrying() const { return m_retry.isActive(); }
    // One attempt; the timer makes one every 2 seconds while the port is lost.
    void TryReopen();

private:
    void OnPortLost(const CommError& error);
    void StillLost(const CommError& error);
    void Back();

    CTavrinView& m_view;
    QTimer m_retry;
    QString m_lastFailure;
};
