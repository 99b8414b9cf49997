#include <QApplication>

#include "app/commandline.h"
#include "app/tavrinapp.h"

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
    CTavrinApp app(*options);
    if (!app.InitInstance())
        return 1;
    return application.exec();
}
