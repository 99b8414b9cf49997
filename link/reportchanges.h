#pragma once
// What one status report changed, told as its parse ends: each field whose
// value moved the panel, net of the whole line and written as a report
// carries it ("F0703525", "M2", "K", "(0"). A field that repeats what the
// radio said before changes nothing and is not in it.
#include <QList>

#include "panel/cstring.h"

class CTavrinView;

struct ReportField {
    char code;
    CString value;  // the field's value characters; none after 'K', 'U' and 'G'
};

struct ReportChanges {
    // In the order F, K or U, G, A, M, H, V, D, O, then the switches
    // " ' ( * , I S.
    QList<ReportField> fields;
    // The report's own transmit field, 'K' or 'U' (the last, when it had
    // several), changed or not; 0 when it had none.
    char transmitField = 0;

    bool Has(char code) const;
    // The radio's own transmit field moved: to 'K' (transmit) or 'U'.
    bool TransmitMoved() const { return Has('K') || Has('U'); }
};

// The panel as a report would give it, taken before a parse and compared
// with itself after.
class CReportImage {
public:
    explicit CReportImage(const CTavrinView& view);
    ReportChanges ChangesTo(const CReportImage& after) const;

private:
    static constexpr int kDigits = 7;
    static constexpr int kValues = 15;

    char m_digits[kDigits];
    char m_values[kValues];
};
