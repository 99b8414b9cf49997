#include "portchooser/linesettingsbox.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "portchooser/warningtext.h"

namespace {

const QList<int> kBaudRates = {300, 1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};
const QList<int> kParities = {'N', 'O', 'E', 'M', 'S'};
const QStringList kParityNames = {QStringLiteral("None"), QStringLiteral("Odd"), QStringLiteral("Even"),
                                  QStringLiteral("Mark"), QStringLiteral("Space")};

QStringList Numbers(const QList<int>& values)
{
    QStringList shown;
    for (int value : values)
        shown << QString::number(value);
    return shown;
}

} // namespace

CLineSettingsBox::CLineSettingsBox(const LineSettings& line, QWidget* parent)
    : QGroupBox(QStringLiteral("Line settings, kept in the channel file"), parent)
{
    auto* column = new QVBoxLayout(this);
    m_row = new QHBoxLayout;
    column->addLayout(m_row);
    m_baudRate = AddChoice("baudRate", QStringLiteral("Baud rate"), Numbers(kBaudRates), kBaudRates);
    m_baudRate->setEditable(true);
    m_baudRate->lineEdit()->setValidator(new QIntValidator(0, 9999999, m_baudRate));
    m_parity = AddChoice("parity", QStringLiteral("Parity"), kParityNames, kParities);
    m_dataBits = AddChoice("dataBits", QStringLiteral("Data bits"), Numbers({5, 6, 7, 8}), {5, 6, 7, 8});
    m_stopBits = AddChoice("stopBits", QStringLiteral("Stop bits"), Numbers({1, 2}), {1, 2});
    Select(m_baudRate, line.baudRate, QString::number(line.baudRate));
    // The file's letter as written: an 'o' stays an 'o' unless changed.
    const QString letter = line.parity == '\0' ? QStringLiteral("(none)") : QString(QLatin1Char(line.parity));
    Select(m_parity, int(QChar::toUpper(uint(uchar(line.parity)))), letter);
    m_parity->setItemData(m_parity->currentIndex(), int(line.parity));
    Select(m_dataBits, line.dataBits, QString::number(line.dataBits));
    Select(m_stopBits, line.stopBits, QString::number(line.stopBits));
    m_refused = new QLabel(this);
    m_refused->setObjectName(QStringLiteral("refusedSettings"));
    m_refused->setWordWrap(true);
    ShowAsWarning(*m_refused);
    column->addWidget(m_refused);
    ShowRefused();
    for (QComboBox* choice : {m_baudRate, m_parity, m_dataBits, m_stopBits})
        connect(choice, &QComboBox::currentTextChanged, this, [this] {
            ShowRefused();
            emit Changed();
        });
}

// One labelled choice in the row; each item carries the value it stands for.
QComboBox* CLineSettingsBox::AddChoice(const char* name, const QString& label, const QStringList& shown,
                                       const QList<int>& values)
{
    auto* choice = new QComboBox(this);
    choice->setObjectName(QLatin1String(name));
    for (qsizetype i = 0; i < shown.size(); ++i)
        choice->addItem(shown[i], values[i]);
    auto* caption = new QLabel(label, this);
    caption->setBuddy(choice);
    m_row->addWidget(caption);
    m_row->addWidget(choice, 1);
    return choice;
}

// A value none of the items stands for is added as the file has it, so the
// user sees what is there before choosing another.
void CLineSettingsBox::Select(QComboBox* choice, int value, const QString& asShown)
{
    int index = choice->findData(value);
    if (index < 0 && !choice->isEditable()) {
        choice->addItem(asShown, value);
        index = choice->count() - 1;
    }
    if (index >= 0)
        choice->setCurrentIndex(index);
    else
        choice->setEditText(asShown);
}

LineSettings CLineSettingsBox::Chosen() const
{
    LineSettings line;
    line.baudRate = m_baudRate->currentText().toInt();
    line.parity = char(m_parity->currentData().toInt());
    line.dataBits = m_dataBits->currentData().toInt();
    line.stopBits = m_stopBits->currentData().toInt();
    return line;
}

void CLineSettingsBox::ShowRefused()
{
    const QStringList refused = RefusedLineSettings(Chosen());
    m_refused->setVisible(!refused.isEmpty());
    m_refused->setText(QStringLiteral("A serial port refuses %1: choose another before opening.")
                           .arg(refused.join(QStringLiteral(", "))));
}
