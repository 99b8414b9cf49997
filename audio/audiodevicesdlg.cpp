#include "audio/audiodevicesdlg.h"

#include <QAudioDevice>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QMediaDevices>
#include <QMenu>
#include <QMessageBox>

#include "audio/audiosettings.h"

namespace {

// The system's default first (kept as no name, so it follows the system),
// then each device by its description, kept by its id: two cards may share
// a description.
void FillDevices(QComboBox* box, const QList<QAudioDevice>& devices, const QString& chosen)
{
    box->addItem(QStringLiteral("The system's default"), QString());
    for (const QAudioDevice& device : devices) {
        const QString id = QString::fromUtf8(device.id());
        box->addItem(device.description(), id);
        if (!chosen.isEmpty() && (chosen == id || chosen.compare(device.description(), Qt::CaseInsensitive) == 0))
            box->setCurrentIndex(box->count() - 1);
    }
}

} // namespace

CAudioDevicesDlg::CAudioDevicesDlg(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Audio Devices"));
    const AudioSettings now = LoadAudioSettings();
    m_input = new QComboBox(this);
    m_output = new QComboBox(this);
    FillDevices(m_input, QMediaDevices::audioInputs(), now.input);
    FillDevices(m_output, QMediaDevices::audioOutputs(), now.output);
    m_input->setAccessibleName(QStringLiteral("Receiver audio input"));
    m_output->setAccessibleName(QStringLiteral("Transmitter microphone output"));
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Receiver audio &input:"), m_input);
    form->addRow(QStringLiteral("Transmitter &microphone output:"), m_output);
    form->addRow(new QLabel(QStringLiteral("The web panel changes to them at once."), this));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

bool CAudioDevicesDlg::Keep(QString& problem) const
{
    // An empty name would leave the profile as it was: the default is kept
    // by clearing it.
    AudioCommandLine named;
    named.input = m_input->currentData().toString();
    named.output = m_output->currentData().toString();
    return KeepAudioSettings(named, problem, true);
}

void CAudioDevicesDlg::AddTo(QMenu* menu, QWidget* parent, const std::function<void(const AudioSettings&)>& chosen)
{
    QAction* action = menu->addAction(QStringLiteral("Audio Devices..."));
    QObject::connect(action, &QAction::triggered, parent, [parent, chosen] {
        CAudioDevicesDlg dialog(parent);
        if (dialog.exec() != QDialog::Accepted)
            return;
        QString problem;
        if (!dialog.Keep(problem))
            QMessageBox::warning(parent, QStringLiteral("Audio Devices"), problem);
        else if (chosen)
            chosen(LoadAudioSettings());
    });
}
