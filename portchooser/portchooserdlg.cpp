#include "portchooser/portchooserdlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "portchooser/linesettingsbox.h"
#include "netport/netaddress.h"
#include "portchooser/netradioentry.h"
#include "portchooser/warningtext.h"

namespace {

constexpr int kDeviceColumn = 0;

QLabel* WrappedLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

CPortChooserDlg::CPortChooserDlg(const PortChoiceRequest& request, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Serial Port"));
    setLayout(new QVBoxLayout);
    AddIntro(request);
    AddDeviceList(request);
    AddPathField(request);
    m_line = new CLineSettingsBox(request.line, this);
    connect(m_line, &CLineSettingsBox::Changed, this, &CPortChooserDlg::OnPathEdited);
    layout()->addWidget(m_line);
    AddButtons();
    OnPathEdited();
    resize(640, 520);
}

void CPortChooserDlg::AddIntro(const PortChoiceRequest& request)
{
    // Without a channel file the port number names no port at all; the
    // words below say so better than the control's complaint about it.
    if (!request.problem.isEmpty() && !request.settingsDefaulted) {
        QLabel* problem = WrappedLabel(request.problem, this);
        problem->setObjectName(QStringLiteral("problem"));
        ShowAsWarning(*problem);
        layout()->addWidget(problem);
    }
    QString intro = QStringLiteral("The serial port the radio is on, kept as COM%1:").arg(request.port);
    if (request.settingsDefaulted)
        intro = QStringLiteral("There is no channel file yet. The radio's port becomes COM%1, with the line "
                               "settings below (9600 baud, odd parity, 7 data bits and 1 stop bit unless changed), "
                               "and is saved in the channel file at exit.")
                    .arg(request.port);
    layout()->addWidget(WrappedLabel(intro, this));
}

void CPortChooserDlg::AddDeviceList(const PortChoiceRequest& request)
{
    m_devices = new QTreeWidget(this);
    m_devices->setObjectName(QStringLiteral("devices"));
    m_devices->setHeaderLabels({QStringLiteral("Device"), QStringLiteral("Description"), QStringLiteral("Maker")});
    m_devices->setRootIsDecorated(false);
    for (const SerialDevice& device : request.devices) {
        auto* row = new QTreeWidgetItem(m_devices, {device.path, device.description, device.maker});
        if (device.path == request.current)
            m_devices->setCurrentItem(row);
    }
    m_devices->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    connect(m_devices, &QTreeWidget::itemSelectionChanged, this, &CPortChooserDlg::OnDeviceSelected);
    connect(m_devices, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);
    layout()->addWidget(m_devices);
}

void CPortChooserDlg::AddPathField(const PortChoiceRequest& request)
{
    layout()->addWidget(new QLabel(QStringLiteral("Device path or network address (choose above or type one):"), this));
    m_path = new QLineEdit(request.current, this);
    m_path->setObjectName(QStringLiteral("path"));
    connect(m_path, &QLineEdit::textChanged, this, &CPortChooserDlg::OnPathEdited);
    layout()->addWidget(m_path);
    layout()->addWidget(new CNetRadioEntry(m_path, this));
}

void CPortChooserDlg::AddButtons()
{
    m_buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Open"));
    connect(m_buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(m_buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout()->addWidget(m_buttons);
}

void CPortChooserDlg::OnDeviceSelected()
{
    if (const QTreeWidgetItem* row = m_devices->currentItem())
        m_path->setText(row->text(kDeviceColumn));
}

void CPortChooserDlg::OnPathEdited()
{
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(!ChosenPath().isEmpty() && NetAddressProblem(ChosenPath()).isEmpty()
                                                       && m_line->Acceptable());
}

QString CPortChooserDlg::ChosenPath() const { return m_path->text().trimmed(); }

LineSettings CPortChooserDlg::ChosenLine() const { return m_line->Chosen(); }
