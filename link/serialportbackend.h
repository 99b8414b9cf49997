#pragma once
#include <QSerialPort>

#include "link/commbackend.h"
#include "link/serialbackend.h"

class SerialPortBackend : public CommBackend {
    Q_OBJECT
public:
    SerialPortBackend();

    QString Open(const QString& device, const CommSettings& settings) override;
    void Close() override;
    bool IsOpen() const override { return m_port.isOpen(); }
    QString Apply(const CommSettings& settings) override;
    QString SetDtr(bool on) override;
    QString SetRts(bool on) override;
    QString Write(const QByteArray& bytes) override;
    QByteArray ReadAll() override { return m_port.readAll(); }

private:
    QString Outcome(bool ok);
    QString OpenFailure(const QString& device);
    void OnError(QSerialPort::SerialPortError error);
    bool MeansDeviceGone(QSerialPort::SerialPortError error) const;
    void OnBytesWritten();

    QSerialPort m_port;
    QString m_device;
};
