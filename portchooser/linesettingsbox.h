#pragma once
// The line settings in the port dialog: baud rate, parity, data bits and
// stop bits, filled from the channel file and changeable. A value the file
// holds that a serial port refuses (parity X, a baud rate of 0) is shown as
// it stands and named in words below, until the user chooses another.
#include <QGroupBox>

#include "portchooser/linesettings.h"

class QComboBox;
class QHBoxLayout;
class QLabel;

class CLineSettingsBox : public QGroupBox {
    Q_OBJECT
public:
    CLineSettingsBox(const LineSettings& line, QWidget* parent);

    LineSettings Chosen() const;
    bool Acceptable() const { return RefusedLineSettings(Chosen()).isEmpty(); }

signals:
    void Changed();

private:
    QComboBox* AddChoice(const char* name, const QString& label, const QStringList& shown, const QList<int>& values);
    static void Select(QComboBox* choice, int value, const QString& asShown);
    void ShowRefused();

    QHBoxLayout* m_row;
    QComboBox* m_baudRate;
    QComboBox* m_parity;
    QComboBox* m_dataBits;
    QComboBox* m_stopBits;
    QLabel* m_refused;
};
