#include <QApplication>
#include <cstdio>
#include <optional>

#include "app/commandline.h"
#include "app/datadir.h"
#include "app/devicebackend.h"
#include "app/headless.h"
#include "app/mainframe.h"
#include "app/startconsole.h"
#include "app/tavrinapp.h"
#include "app/webpart.h"
#include "channeleditor/channelscommand.h"
#include "link/commsettings.h"
#include "link/serialtrace.h"
#include "sessionend/commitchannelfile.h"
#include "sessionend/sessionend.h"
#include "txlog/transmissionscommand.h"

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
    UseStartingConsole();
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    int exitCode = 0;
    const std::optional<StartOptions> options = ParseCommandLine(arguments, exitCode);
    if (!options)
        return exitCode;
    // Opened before the data folder is entered, so a relative path means
    // what it meant where the program was started.
    if (!options->traceFile.isEmpty() && !StartTrace(options->traceFile))
        return 2;
    // Before anything can read the channel file by its bare name.
    QString problem;
    if (!EnterDataDir(options->dataDir, problem)) {
        std::fprintf(stderr, "tavrin: %s\n", qPrintable(problem));
        return 1;
    }
    // Export, import and the operators need no window, nor a display.
    if (options->channels.action != ChannelsCommandLine::Action::None)
        return RunChannelsCommand(options->channels);
    if (options->transmissions.print)
        return RunTransmissionsCommand(options->transmissions);
    if (const std::optional<int> status = RunWebPartCommand(*options, argc, argv))
        return *status;

    if (options->headless)
        UseHeadlessPlatform();
    QApplication application(argc, argv);
    std::optional<CHeadlessAnswers> nobodyThere;
    if (options->headless)
        nobodyThere.emplace();
    // Lets a Wayland desktop match the window to the menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(TAVRIN_APP_ID));
    // Before any window: a web panel asked for and not possible ends here.
    QCoreApplication::setOrganizationName(QString::fromLatin1(g_szRegistryKey));
    QCoreApplication::setApplicationName(QString::fromLatin1(g_szProfileName));
    std::unique_ptr<CWebPart> web = CWebPart::Start(*options, problem);
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "tavrin: %s\n", qPrintable(problem));
        return 2;
    }
    // COM1 may lead to a serial device or, by a URL, to a radio on the network.
    UseDeviceBackends();
    CTavrinApp app(*options);
    app.SetWebPart(std::move(web));
    CSessionEnd sessionEnd(
        [&app] {
            if (CMainFrame* frame = app.MainFrame())
                frame->CloseUnasked();
        },
        [&app] {
            if (CMainFrame* frame = app.MainFrame(); frame && frame->View())
                CommitChannelFile(*frame->View());
        });
    if (!app.InitInstance())
        return 1;
    return sessionEnd.Exec();
}
