#pragma once
// --transmissions [--since DATE] [--until DATE]: the transmission record
// on standard output, for scripts, with no window.
#include <QCommandLineOption>
#include <QDate>
#include <QList>

class QCommandLineParser;

struct TransmissionsCommandLine {
    bool print = false;
    QDate since;  // UTC days, both included; invalid: open
    QDate until;
};

struct TransmissionsOptions {
    QCommandLineOption print{QStringLiteral("transmissions"),
                             QStringLiteral("Write the transmission record to standard output as CSV, oldest first, and end.")};
    QCommandLineOption since{QStringLiteral("since"),
                             QStringLiteral("With --transmissions: only those that began on <date> (UTC, YYYY-MM-DD) or later."),
                             QStringLiteral("date")};
    QCommandLineOption until{QStringLiteral("until"),
                             QStringLiteral("With --transmissions: only those that began on <date> (UTC, YYYY-MM-DD) or earlier."),
                             QStringLiteral("date")};
    QList<QCommandLineOption> All() const { return {print, since, until}; }
};

// False, with problem set, for a bad date or options that do not go together.
bool TakeTransmissionsOptions(const QCommandLineParser& parser, const TransmissionsOptions& given,
                              TransmissionsCommandLine& command, QString& problem);
