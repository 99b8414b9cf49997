#pragma once
// The transmission record read back from its monthly files.
#include <QDate>
#include <QList>
#include <QString>

#include "txlog/transmissionrecord.h"

// Every record of the files whose month overlaps [since, until] (UTC
// dates, both included; an invalid one leaves that side open), newest
// first. A line that is no record (a hand edit gone wrong) is passed over.
QList<TransmissionRecord> ReadTransmissions(const QString& folder, QDate since, QDate until);
