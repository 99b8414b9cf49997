#pragma once
// The station's records beside the panel, in its data folder: each
// transmission as the holder sees it, and who reached the servers. A
// record that cannot be written is told in the title; transmitting goes on.
// The access record is written, and synced to the disk, in a thread of its
// own: the servers' clients come and go in numbers the panel must not
// wait on.
#include <QObject>
#include <QStringList>
#include <QThread>

#include "txlog/transmissionrecord.h"

class CAccessFile;
class CStationServer;
class CTavrinView;
class CTransmissionFile;
class CTransmitHolder;

class CStationRecord : public QObject {
    Q_OBJECT
public:
    // Closes a record a killed program left open before anything is keyed.
    CStationRecord(CTavrinView& view, CTransmitHolder& holder);
    // Every event handed over is on the disk before it returns.
    ~CStationRecord() override;

    // The server's clients coming and going, under the server's `name`
    // ("rig-control", "flrig").
    void Watch(CStationServer& server, const QString& name);
    // One event of a server that is not a station server (the web panel's
    // "logged in", "login failed"...): its name column says the server and
    // the operator, "web alice".
    void Record(const QString& event, const QString& address, const QString& name, const QString& server);

signals:
    // Each line as it is written, for whoever passes the record on: a
    // transmission as it begins and again as it ends; an access event's
    // four fields (from the access record's thread).
    void TransmissionWritten(const TransmissionRecord& record);
    void AccessWritten(const QStringList& fields);

private:
    void ShowProblem(const QString& words);

    CTavrinView& m_view;
    CTransmissionFile* m_transmissions;
    QThread m_accessThread;
    CAccessFile* m_access;  // lives in m_accessThread
    QString m_transmissionsProblem;
    QString m_accessProblem;
};
