#pragma once
// The panel as the program runs it, on its own serial-port code, with the
// simulated radio on the other end of a pseudo-terminal. Both run in the
// test's event loop, so a test clicks the panel and then waits for the line
// to fall quiet before it looks at the radio and at the form.
#include <QByteArray>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "radiosimulator.h"
#include "radiostate.h"

class CTavrinView;
class QAbstractButton;

// The profile settings (where COM1 leads) are looked for under
// $XDG_CONFIG_HOME, read once per process: call this in initTestCase.
bool UseScratchProfileSettings(const QTemporaryDir& dir);

// A channel file on port 1 with jog limits 7000 to 7300 kHz and the channel
// scan over 1 to 3; the stored channels cover every letter a recall obeys.
QByteArray RadioChannelFile();

class PanelOnRadio {
public:
    // With viaStableName, COM1 leads to a name that leads to the radio's
    // line, as /dev/serial/by-id names do, and stays when the line is pulled.
    explicit PanelOnRadio(const radiosim::RadioState& initial = radiosim::RadioState(),
                          const QByteArray& channelFile = RadioChannelFile(), bool viaStableName = false);
    ~PanelOnRadio();

    // Empty once the radio is on the line and COM1 leads to it.
    QString SetupProblem() const { return m_setupProblem; }

    // The view's first update. The view's own timers are then pushed out of
    // the test's way: the test steps poll, scan and jog with OnTimer(id).
    void Start();

    // True once every command has reached the radio, every reply has been
    // parsed, and nothing has moved on the line for a while.
    bool Settle(int timeoutMs = 3000);

    radiosim::RadioSimulator& Radio() { return *m_radio; }
    CTavrinView& View() { return *m_view; }
    int CharactersReceived() const { return m_charactersReceived; }

    QStringList messages;  // message box texts, in order

private:
    QTemporaryDir m_dir;
    QString m_previousDir;
    QString m_setupProblem;
    std::unique_ptr<radiosim::RadioSimulator> m_radio;
    std::unique_ptr<CTavrinView> m_view;
    int m_charactersReceived = 0;
};

// Every way in which the form (members and the controls showing them)
// differs from the radio's state, one per "; "; empty when the panel shows
// the radio.
QString PanelDiffersFromRadio(CTavrinView& view, const radiosim::RadioState& radio);

// One line naming every field, so a failed comparison shows what differs.
QString Described(const radiosim::RadioState& state);

// The display text the panel shows for the radio's frequency.
QByteArray FrequencyShown(const radiosim::RadioState& state);

// A click on a push button, or on the indicator of a radio button or check box.
void Click(QAbstractButton* button);
