#pragma once
// The time on air each UTC day, for the records shown.
#include <QDate>
#include <QList>
#include <QMap>

#include "txlog/transmissionrecord.h"

// Milliseconds on air per day. A transmission over midnight counts on both
// days, each for its own part; one whose end is unknown counts nothing.
QMap<QDate, qint64> OnAirPerDay(const QList<TransmissionRecord>& records);
