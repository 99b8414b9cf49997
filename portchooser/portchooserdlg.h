#pragma once
// The small dialog in which the user points the panel at the radio's serial
// port: the devices present with their description and maker, the current
// choice highlighted, and a field to type any path.
#include <QDialog>

#include "portchooser/linesettings.h"
#include "portchooser/serialdevices.h"

class CLineSettingsBox;
class QDialogButtonBox;
class QLineEdit;
class QTreeWidget;

struct PortChoiceRequest {
    int port = 1;               // the COM number the choice is stored for
    QString current;            // where that number leads now
    QString problem;            // why the dialog is offered, if it was not asked for
    bool settingsDefaulted = false; // no channel file: the port gets default settings
    LineSettings line;          // as line 1 of the channel file has them
    QList<SerialDevice> devices;
};

class CPortChooserDlg : public QDialog {
    Q_OBJECT
public:
    explicit CPortChooserDlg(const PortChoiceRequest& request, QWidget* parent = nullptr);
    QString ChosenPath() const;
    LineSettings ChosenLine() const;

private:
    void AddIntro(const PortChoiceRequest& request);
    void AddDeviceList(const PortChoiceRequest& request);
    void AddPathField(const PortChoiceRequest& request);
    void AddButtons();
    void OnDeviceSelected();
    void OnPathEdited();

    QTreeWidget* m_devices = nullptr;
    QLineEdit* m_path = nullptr;
    CLineSettingsBox* m_line = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};
