#include <QApplication>

#include "app/commandline.h"
#include "app/tavrinapp.h"
#include "link/serialtrace.h"

#include <cstdio>

namespace {

bool StartTrace(const QString& path)
{
    QString error;
    if (CSerialTrace::OpenFile(path, error))
        return true;
    std::fprintf(stderr, "tavrin: cannot write the trace to %s: %s\n", qPrintable(path), qPrintable(error));
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    int exitCode = 0;
    const std::optional<StartOptions> options = ParseCommandLine(arguments, exitCode);
    if (!options)
        return exitCode;

    QApplication application(argc, argv);
    if (!options->traceFile.isEmpty() && !StartTrace(options->traceFile))
        return 2;
    CTavrinApp app;
    if (!app.InitInstance())
        return 1;
    return application.exec();
}
