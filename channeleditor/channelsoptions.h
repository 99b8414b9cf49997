#pragma once
// --export-channels FILE and --import-channels FILE: the channel list in
// and out without a window, for scripts and backups.
#include <QCommandLineOption>
#include <QList>
#include <QString>

class QCommandLineParser;

struct ChannelsCommandLine {
    enum class Action { None, Export, Import };
    Action action = Action::None;
    QString csvPath;  // absolute, or "-" for standard input or output
    bool allSlots = false;
};

struct ChannelsOptions {
    QCommandLineOption exportTo{QStringLiteral("export-channels"),
                                QStringLiteral("Write the stored channels of the channel file to <csv> and end"
                                               " (\"-\": standard output)."),
                                QStringLiteral("csv")};
    QCommandLineOption importFrom{QStringLiteral("import-channels"),
                                  QStringLiteral("Put the rows of <csv> into the channel file, by slot number, and end;"
                                                 " one bad row and nothing changes (\"-\": standard input)."),
                                  QStringLiteral("csv")};
    QCommandLineOption allSlots{QStringLiteral("all-slots"),
                                QStringLiteral("With --export-channels: all 300 slots, the never-stored ones too.")};
    QList<QCommandLineOption> All() const { return {exportTo, importFrom, allSlots}; }
};

// False, with problem set, for options that do not go together.
bool TakeChannelsOptions(const QCommandLineParser& parser, const ChannelsOptions& given, ChannelsCommandLine& command,
                         QString& problem);
