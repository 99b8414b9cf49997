#include "app/commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>

namespace {

void Print(FILE* stream, const QString& text)
{
    std::fputs(qPrintable(text), stream);
    std::fflush(stream);
}

} // namespace

std::optional<StartOptions> ParseCommandLine(const QStringList& arguments, int& exitCode)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Front panel for the Harris RF-350 HF transceiver."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption trace(QStringLiteral("trace"),
                                   QStringLiteral("Append every command sent and every line received, time-stamped, to <file>."),
                                   QStringLiteral("file"));
    parser.addOption(trace);

    exitCode = 0;
    if (!parser.parse(arguments)) {
        Print(stderr, parser.errorText() + QLatin1Char('\n'));
        exitCode = 2;
        return std::nullopt;
    }
    if (parser.isSet(help)) {
        // No application object exists yet to name the program.
        Print(stdout, parser.helpText().replace(QStringLiteral("<executable_name>"), QStringLiteral("tavrin")));
        return std::nullopt;
    }
    if (parser.isSet(version)) {
        Print(stdout, QStringLiteral("tavrin %1\n").arg(QStringLiteral(TAVRIN_VERSION)));
        return std::nullopt;
    }
    StartOptions options;
    options.traceFile = parser.value(trace);
    return options;
}
