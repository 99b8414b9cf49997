#pragma once
// Radio > Audio Devices...: the sound-card input the receiver's audio comes
// in on and the output wired to the transmitter's microphone input, chosen
// from the devices this computer has and kept in the profile as
// --audio-in and --audio-out keep them. The web panel changes to them at
// once.
#include <QDialog>
#include <functional>

struct AudioSettings;

class QComboBox;
class QMenu;

class CAudioDevicesDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAudioDevicesDlg(QWidget* parent = nullptr);
    // Keeps the choice; false, with problem set, when the profile could not
    // be written.
    bool Keep(QString& problem) const;

    // Adds the menu item that opens the dialog; `chosen` hears each choice
    // kept.
    static void AddTo(QMenu* menu, QWidget* parent, const std::function<void(const AudioSettings&)>& chosen);

private:
    QComboBox* m_input;
    QComboBox* m_output;
};
