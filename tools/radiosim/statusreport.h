#pragma once

#include "radiostate.h"

#include <QByteArray>
#include <QList>

namespace radiosim {

// One report field as the radio writes it: code, value and the blank padding
// that gives every code its fixed width. The panel finds the next field by
// that width alone, so a wrong width garbles everything after it.
struct ReportField
{
    char key;          // stable name of the setting, also for 'K'/'U'
    QByteArray text;   // the bytes sent, code first
};

namespace StatusReport {

QList<ReportField> fields(const RadioState &state);
QByteArray full(const RadioState &state);
// Only the fields whose text differs; empty when nothing a report can show
// has changed.
QByteArray changes(const RadioState &before, const RadioState &after);

} // namespace StatusReport
} // namespace radiosim
