#pragma once
// The access record: who connected to the panel's servers, who went away
// or was turned away, one complete line per event in access-YYYY-MM.csv.
#include "txlog/recordfile.h"

class CAccessFile : public CRecordFile {
    Q_OBJECT
public:
    // folder: where the files are; empty or "." for the working folder.
    explicit CAccessFile(const QString& folder = QString(), QObject* parent = nullptr);

    // event: "connected", "went away", "turned away", "slot taken back"...
    void Record(const QString& event, const QString& address, const QString& name);

signals:
    // time_utc, event, address and name, as the line was written.
    void Written(const QStringList& fields);
};
