#pragma once
// The device under the communications control: a serial port, or the
// radio's serial line on another machine; tests put a fake in its place
// through CMSComm's factory seam.
#include <QObject>
#include <QString>

#include "link/commsettings.h"

class CommBackend : public QObject {
    Q_OBJECT
public:
    // Each call returns an empty string on success, or what went wrong.
    virtual QString Open(const QString& device, const CommSettings& settings) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // An open that goes on after Open() returned (a connection being made):
    // Open() then returns what is under way, and OpenFinished tells how it
    // ended. Meanwhile the device takes Apply for when it is open.
    virtual bool IsOpening() const { return false; }
    virtual QString Apply(const CommSettings& settings) = 0;
    virtual QString SetDtr(bool on) = 0;
    virtual QString SetRts(bool on) = 0;
    virtual QString Write(const QByteArray& bytes) = 0;
    virtual QByteArray ReadAll() = 0;

signals:
    void ReadyRead();
    void Drained();  // everything written so far has left for the line
    void Lost(const QString& why);  // the device disappeared while open
    void OpenFinished(const QString& failure);  // empty: the device is open now
    // The open failed because the device was there and said no (a far end
    // that refuses the client), not because it is away.
    void OpenRefused(const QString& why);
};
