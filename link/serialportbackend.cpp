#include "link/serialportbackend.h"

#include <QFileInfo>

#include "link/permissionadvice.h"

SerialPortBackend::SerialPortBackend()
{
    connect(&m_port, &QSerialPort::readyRead, this, &CommBackend::ReadyRead);
    connect(&m_port, &QSerialPort::errorOccurred, this, &SerialPortBackend::OnError);
    connect(&m_port, &QSerialPort::bytesWritten, this, &SerialPortBackend::OnBytesWritten);
}

// The port hands its buffer to the line in pieces; only the last piece
// empties it.
void SerialPortBackend::OnBytesWritten()
{
    if (m_port.bytesToWrite() == 0)
        emit Drained();
}

// A pseudo-terminal, or an adapter that lacks a feature, refuses some line
// settings (7 data bits, parity, DTR, RTS) while the port itself works. That is
// the device's limitation, not a failure of the property being set. The port's
// error is sticky, so it is cleared once looked at.
QString SerialPortBackend::Outcome(bool ok)
{
    const QSerialPort::SerialPortError error = m_port.error();
    const QString text = m_port.errorString();
    m_port.clearError();
    if (ok || error == QSerialPort::NoError || error == QSerialPort::UnsupportedOperationError)
        return QString();
    return text.isEmpty() ? QStringLiteral("serial port error %1").arg(int(error)) : text;
}

QString SerialPortBackend::Open(const QString& device, const CommSettings& settings)
{
    m_device = device;
    m_port.setPortName(device);
    // Opened with the port's defaults first: QSerialPort refuses to open at all
    // when a setting given beforehand cannot be applied.
    if (!m_port.open(QIODevice::ReadWrite))
        return OpenFailure(device);
    m_port.clearError();
    return Apply(settings);
}

// Qt names a device that is busy and one the user may not open alike.
QString SerialPortBackend::OpenFailure(const QString& device)
{
    if (m_port.error() != QSerialPort::PermissionError || !DeniedByPermissions(device))
        return Outcome(false);
    m_port.clearError();
    return PermissionDeniedWordsFor(device);
}

// QSerialPort writes from the event loop; at the program's end there may be
// none to run, and the last command (an unkey) must still reach the line.
void SerialPortBackend::Close()
{
    if (m_port.isOpen()) {
        m_port.flush();
        m_port.close();
    }
    m_port.clearError();
}

static QSerialPort::Parity ToParity(char letter)
{
    switch (letter) {
    case 'O': return QSerialPort::OddParity;
    case 'E': return QSerialPort::EvenParity;
    case 'M': return QSerialPort::MarkParity;
    case 'S': return QSerialPort::SpaceParity;
    default: return QSerialPort::NoParity;
    }
}

QString SerialPortBackend::Apply(const CommSettings& settings)
{
    QString failure = Outcome(m_port.setBaudRate(settings.baudRate));
    failure += Outcome(m_port.setDataBits(QSerialPort::DataBits(settings.dataBits)));
    failure += Outcome(m_port.setParity(ToParity(settings.parity)));
    const auto stop = settings.oneAndHalfStopBits ? QSerialPort::OneAndHalfStop
                      : settings.stopBits == 2    ? QSerialPort::TwoStop
                                                  : QSerialPort::OneStop;
    failure += Outcome(m_port.setStopBits(stop));
    return failure;
}

QString SerialPortBackend::SetDtr(bool on) { return Outcome(m_port.setDataTerminalReady(on)); }

QString SerialPortBackend::SetRts(bool on) { return Outcome(m_port.setRequestToSend(on)); }

QString SerialPortBackend::Write(const QByteArray& bytes)
{
    const qint64 written = m_port.write(bytes);
    return Outcome(written == bytes.size());
}

void SerialPortBackend::OnError(QSerialPort::SerialPortError error)
{
    // Errors of a call are collected by Outcome(); only a device that vanishes
    // under an open port arrives here unasked. An unplugged adapter may show
    // as a failed read or write rather than as a lost resource.
    if (!m_port.isOpen() || !MeansDeviceGone(error))
        return;
    const QString why = m_port.errorString();
    m_port.close();
    m_port.clearError();
    emit Lost(why);
}

bool SerialPortBackend::MeansDeviceGone(QSerialPort::SerialPortError error) const
{
    if (error == QSerialPort::ResourceError)
        return true;
    const bool failedTransfer = error == QSerialPort::ReadError || error == QSerialPort::WriteError;
    return failedTransfer && !QFileInfo::exists(m_device);
}

std::unique_ptr<CommBackend> MakeSerialBackend() { return std::make_unique<SerialPortBackend>(); }
