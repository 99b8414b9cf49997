// The yardstick for the panel's cost per received character: a Qt program
// with a shown window that reads the same pty through QSerialPort, takes
// what each readyRead brings, and does nothing else. What it costs at line
// rate is the event loop's own wake-up for every character.
#include <QApplication>
#include <QSerialPort>
#include <QWidget>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    QWidget window;
    window.resize(320, 200);
    window.show();
    QSerialPort port(QString::fromLocal8Bit(argv[1]));
    if (!port.open(QIODevice::ReadWrite))
        return 1;
    port.setBaudRate(9600);
    QObject::connect(&port, &QSerialPort::readyRead, &port, [&port] { port.readAll(); });
    port.write("?\n"); // tells the driver the port is open, as the panel's first query does
    return app.exec();
}
