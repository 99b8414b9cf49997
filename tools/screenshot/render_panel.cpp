// Renders the main window offscreen, as the radio left it after a few
// reports, into the PNG the README shows:
//   render_panel [output.png]
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

#include "app/mainframe.h"
#include "app/tavrinapp.h"
#include "panel/messagebox.h"
#include "panel/tavrinview.h"
#include "support/fakecomm.h"
#include "support/samplefile.h"

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QString output = argc > 1 ? QDir::current().absoluteFilePath(QString::fromLocal8Bit(argv[1]))
                                    : QDir::current().absoluteFilePath(QStringLiteral("res/screenshot.png"));
    QTemporaryDir scratch;
    QDir::setCurrent(scratch.path());
    WriteSampleChannelFile();
    SetMessageBoxSink([](const CString&) {});
    FakeCommInstaller fakePort;
    CTavrinApp app;
    if (!app.InitInstance())
        return 1;
    FakeCommInstaller::Latest()->Inject(
        "F0703525 M2 A3 H1 V0 D4 S0 I1 (1 '0 \"1 ,0 *0 O3 U \n");
    CTavrinView* view = app.MainFrame()->View();
    view->m_cbChannels.SetCurSel(1);
    view->UpdateData(false);
    application.processEvents();
    const bool saved = app.MainFrame()->grab().save(output);
    return saved ? 0 : 1;
}
