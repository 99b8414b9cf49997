#pragma once
// The records a Transmissions window shows, newest first, a row each;
// their texts are made only for the rows on screen.
#include <QAbstractTableModel>
#include <QList>

#include "txlog/transmissionrecord.h"

class CTransmissionsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Start, End, Duration, Frequency, Mode, Who, Began, Ended, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    void SetRecords(QList<TransmissionRecord> newestFirst);
    const QList<TransmissionRecord>& Records() const { return m_records; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<TransmissionRecord> m_records;
};

// 12.3 s, 4:05, 1:02:03; empty when unknown.
QString DurationShown(qint64 ms);
