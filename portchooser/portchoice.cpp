#include "portchooser/portchoice.h"

#include "channels/channeltable.h"
#include "link/commsettings.h"
#include "panel/tavrinview.h"
#include "portchooser/linesettings.h"
#include "portchooser/portchooserdlg.h"

namespace {

PortChooserRunner& Runner()
{
    static PortChooserRunner runner;
    return runner;
}

int RunDialog(CPortChooserDlg& dialog) { return Runner() ? Runner()(dialog) : dialog.exec(); }

// Without a channel file the port number is 0, which names no port. A
// choice makes it port 1 with the settings start-up assumed unless the user
// changed them, so the file written at exit names it ("1  9600 O 7 1").
bool PortNumberNamesNoPort() { return g_nCommPort < 1; }

} // namespace

void SetPortChooserRunner(PortChooserRunner runner) { Runner() = std::move(runner); }

// The answer to an open under way comes from inside the connection's own
// events: the dialog waits for the event loop.
CPortChoice::CPortChoice(CTavrinView& view, QWidget* dialogParent) : m_view(view), m_dialogParent(dialogParent)
{
    QObject::connect(&view.Comm(), &CMSComm::OpenFailed, &m_settled, [this] { OfferOnceSettled(true); }, Qt::QueuedConnection);
    QObject::connect(&view.Comm(), &CMSComm::PortOpened, &m_settled, [this] { OfferOnceSettled(false); }, Qt::QueuedConnection);
}

// A port that is still opening gets the dialog only if it then fails.
void CPortChoice::OfferIfPortClosed()
{
    m_offerWhenSettled = m_view.Comm().IsOpening();
    if (!m_offerWhenSettled && !m_view.Comm().GetPortOpen())
        Offer();
}

void CPortChoice::OfferOnceSettled(bool failed)
{
    const bool offer = m_offerWhenSettled && failed;
    m_offerWhenSettled = false;
    if (offer)
        Offer();
}

void CPortChoice::Offer()
{
    PortChoiceRequest request;
    request.settingsDefaulted = PortNumberNamesNoPort();
    request.port = request.settingsDefaulted ? 1 : g_nCommPort;
    request.current = DeviceForCommPort(request.port);
    request.problem = m_view.PortProblem();
    request.devices = ListSerialDevices();
    if (!request.settingsDefaulted)
        request.line = LineSettingsOfChannelFile();
    CPortChooserDlg dialog(request, m_dialogParent);
    if (RunDialog(dialog) == QDialog::Accepted && !dialog.ChosenPath().isEmpty())
        Apply(dialog.ChosenPath(), dialog.ChosenLine());
}

// The port closes first: its number cannot change while it is open, and the
// user may have chosen another device for the same number.
void CPortChoice::Apply(const QString& device, const LineSettings& line)
{
    if (PortNumberNamesNoPort())
        g_nCommPort = 1;
    UseLineSettings(line, m_view);
    SetDeviceForCommPort(g_nCommPort, device);
    SetDeviceForEveryPort(QString()); // the user's choice outranks --port
    m_view.Comm().SetPortOpen(false);
    m_view.Dispatch([this] { m_view.OpenPortAgain(); });
}
