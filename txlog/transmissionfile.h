#pragma once
// The transmission record: a line per transmission in
// transmissions-YYYY-MM.csv, by the UTC month it began in. Its first five
// fields reach the disk when it begins, the rest when it ends, so a kill or
// a power cut on air loses nothing that was known.
#include <optional>

#include "txlog/recordfile.h"
#include "txlog/transmissionrecord.h"

class CTransmissionFile : public CRecordFile {
    Q_OBJECT
public:
    // folder: where the files are; empty or "." for the working folder.
    explicit CTransmissionFile(const QString& folder = QString(), QObject* parent = nullptr);
    ~CTransmissionFile() override;

    // At start-up: a line the last run left cut short in the newest file
    // is completed. A transmission it left on the air is held open for the
    // radio's first report: TakeUpLeftOpen when it still says transmit,
    // CloseLeftOpen (as ended by the program being killed, its end time
    // unknown) otherwise, and at the latest when anything else begins or
    // this record closes.
    void CloseUnfinished();
    // The transmission the last run left open goes on as this one; false
    // when there is none.
    bool TakeUpLeftOpen();
    void CloseLeftOpen();
    // start, frequencyKhz, mode, who and began are set.
    void Begin(const TransmissionRecord& started);
    // Completes the open record, in the file its start is in; with none
    // open it does nothing.
    void End(const QDateTime& end, const QString& ended);

signals:
    // As each part of a line is written (or found unwritable): the begun
    // transmission, then the same with its end.
    void Written(const TransmissionRecord& record);

private:
    bool Complete(const QString& name);
    void WritePendingEnd();

    struct LeftOpen {
        QString file;
        QDateTime start;
    };
    std::optional<LeftOpen> m_leftOpen;
    bool m_onAir = false;
    TransmissionRecord m_open;
    bool m_startWritten = false;
    // The end of a record whose start is on the disk, held while it cannot
    // be written, so the next write tries it first.
    QString m_pendingFile;
    QByteArray m_pendingEnd;
};
