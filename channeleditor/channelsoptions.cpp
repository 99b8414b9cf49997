#include "channeleditor/channelsoptions.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace {
// Made absolute here, where the program was started, before the data
// folder becomes the working folder.
QString CsvPath(const QString& given)
{
    return given == QLatin1String("-") ? given : QFileInfo(given).absoluteFilePath();
}
} // namespace

bool TakeChannelsOptions(const QCommandLineParser& parser, const ChannelsOptions& given, ChannelsCommandLine& command,
                         QString& problem)
{
    const bool exporting = parser.isSet(given.exportTo);
    const bool importing = parser.isSet(given.importFrom);
    if (exporting && importing) {
        problem = QStringLiteral("--export-channels and --import-channels cannot be used together.");
        return false;
    }
    if (parser.isSet(given.allSlots) && !exporting) {
        problem = QStringLiteral("--all-slots goes with --export-channels.");
        return false;
    }
    const QString path = exporting ? parser.value(given.exportTo) : parser.value(given.importFrom);
    if ((exporting || importing) && path.isEmpty()) {
        problem = QStringLiteral("--%1 needs a file name.").arg(exporting ? QStringLiteral("export-channels")
                                                                          : QStringLiteral("import-channels"));
        return false;
    }
    command.action = exporting ? ChannelsCommandLine::Action::Export
                   : importing ? ChannelsCommandLine::Action::Import
                               : ChannelsCommandLine::Action::None;
    command.csvPath = exporting || importing ? CsvPath(path) : QString();
    command.allSlots = parser.isSet(given.allSlots);
    return true;
}
