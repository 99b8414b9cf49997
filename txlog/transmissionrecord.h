#pragma once
// One time the transmitter was keyed: when, where, by whom, and why it
// stopped.
#include <QDate>
#include <QDateTime>
#include <QString>

struct TransmissionRecord {
    QDateTime start;          // UTC
    QDateTime end;            // UTC; invalid while on air or when unknown
    double frequencyKhz = -1; // as the radio last reported; <0: none reported
    QString mode;             // "USB", "LSB", "AM", "CW" or empty
    QString who, began, ended;
    qint64 DurationMs() const; // -1 when the end is unknown
};

// Whether the record started on a UTC day from since to until, both
// included; an invalid date leaves that side open.
bool StartsWithin(const TransmissionRecord& record, QDate since, QDate until);
