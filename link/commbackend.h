#pragma once
// The device under the communications control. The real one is a serial
// port; tests put a fake in its place through CMSComm's factory seam.
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
    virtual QString Apply(const CommSettings& settings) = 0;
    virtual QString SetDtr(bool on) = 0;
    virtual QString SetRts(bool on) = 0;
    virtual QString Write(const QByteArray& bytes) = 0;
    virtual QByteArray ReadAll() = 0;

signals:
    void ReadyRead();
    void Drained();  // everything written so far has left for the line
    void Lost(const QString& why);  // the device disappeared while open
};
