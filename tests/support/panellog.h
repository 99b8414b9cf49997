#pragma once
// The lines a user sees in the log by default (warnings and information, no
// debug) from the panel's own categories, kept for a test to look at,
// whatever the test runner's logging rules say.
#include <QStringList>

class PanelLog {
public:
    static void Capture();  // from now on, for the rest of the process
    static QStringList& Lines();
};
