#include "txlog/transmissionsoptions.h"

#include <QCommandLineParser>

namespace {

bool TakeDate(const QCommandLineParser& parser, const QCommandLineOption& option, QDate& date, QString& problem)
{
    if (!parser.isSet(option))
        return true;
    date = QDate::fromString(parser.value(option), QStringLiteral("yyyy-MM-dd"));
    if (!date.isValid())
        problem = QStringLiteral("--%1 wants a date as YYYY-MM-DD, not \"%2\".").arg(option.names().first(), parser.value(option));
    return date.isValid();
}

} // namespace

bool TakeTransmissionsOptions(const QCommandLineParser& parser, const TransmissionsOptions& given,
                              TransmissionsCommandLine& command, QString& problem)
{
    command.print = parser.isSet(given.print);
    if (!command.print && (parser.isSet(given.since) || parser.isSet(given.until))) {
        problem = QStringLiteral("--%1 goes with --transmissions.")
                      .arg(parser.isSet(given.since) ? QStringLiteral("since") : QStringLiteral("until"));
        return false;
    }
    if (!TakeDate(parser, given.since, command.since, problem) || !TakeDate(parser, given.until, command.until, problem))
        return false;
    if (command.since.isValid() && command.until.isValid() && command.since > command.until) {
        problem = QStringLiteral("--since names a day after --until.");
        return false;
    }
    return true;
}
