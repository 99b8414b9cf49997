#include "ser2netkit.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTimer>

namespace ser2netkit {

namespace {

// Probing a port by connecting would make ser2net open the radio's line;
// the kernel's table of listening sockets tells without touching it.
bool Listening(quint16 port)
{
    QFile table(QStringLiteral("/proc/net/tcp"));
    if (!table.open(QIODevice::ReadOnly))
        return false;
    const QByteArray local = ":" + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    for (const QByteArray& line : table.readAll().split('\n')) {
        const QByteArrayList fields = line.simplified().split(' ');
        if (fields.size() > 3 && fields[1].endsWith(local) && fields[3] == "0A")
            return true;
    }
    return false;
}

void Pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool Openssl(const QStringList& arguments)
{
    QProcess openssl;
    openssl.start(Tool(QStringLiteral("openssl")), arguments);
    return openssl.waitForFinished(30000) && openssl.exitStatus() == QProcess::NormalExit && openssl.exitCode() == 0;
}

bool SelfSigned(const QString& dir, const QString& name, const QString& subject, const QStringList& extra = {})
{
    return Openssl(QStringList{"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "30", "-subj", subject, "-keyout",
                               dir + "/" + name + ".key", "-out", dir + "/" + name + ".crt"} + extra);
}

} // namespace

quint16 FreeLoopbackPort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::LocalHost, 0) ? probe.serverPort() : 0;
}

QString Tool(const QString& name)
{
    const QString onPath = QStandardPaths::findExecutable(name);
    return onPath.isEmpty() ? QStandardPaths::findExecutable(name, {QStringLiteral("/usr/sbin"), QStringLiteral("/sbin")}) : onPath;
}

Ports Ports::Free() { return {FreeLoopbackPort(), FreeLoopbackPort(), FreeLoopbackPort()}; }

bool MakeCertificates(const QString& dir)
{
    const QString allowed = dir + QStringLiteral("/auth/tavrin/allowed_certs");
    return SelfSigned(dir, "server", "/CN=localhost", {"-addext", "subjectAltName=DNS:localhost,IP:127.0.0.1"})
           && SelfSigned(dir, "tavrin", "/CN=tavrin") && SelfSigned(dir, "stranger", "/CN=tavrin")
           && SelfSigned(dir, "other", "/CN=localhost") && QDir().mkpath(allowed)
           && QFile::copy(dir + "/tavrin.crt", allowed + "/tavrin.crt") && Openssl({"rehash", allowed});
}

Ser2net::Ser2net(const QString& dir, const QString& pty, const Ports& ports, bool charDelay) : m_ports(ports)
{
    m_config = dir + QStringLiteral("/ser2net.yaml");
    const QString connector = QStringLiteral("  connector: serialdev,%1,9600o71,local\n").arg(pty);
    const QString options = charDelay ? QString() : QStringLiteral("    chardelay: false\n");
    const QString plain = connector + (options.isEmpty() ? QString() : QStringLiteral("  options:\n") + options);
    QFile file(m_config);
    if (!file.open(QIODevice::WriteOnly))
        return;
    file.write(QStringLiteral("connection: &raw\n  accepter: tcp,127.0.0.1,%1\n%2"
                              "connection: &rfc2217\n  accepter: telnet(rfc2217),tcp,127.0.0.1,%3\n%2"
                              "connection: &tls\n  accepter: telnet(rfc2217),ssl(key=%4/server.key,cert=%4/server.crt,"
                              "clientauth),tcp,127.0.0.1,%5\n%6  options:\n%7    authdir: %4/auth\n")
                   .arg(ports.raw).arg(plain).arg(ports.telnet).arg(dir).arg(ports.tls).arg(connector, options).toUtf8());
}

Ser2net::~Ser2net() { Stop(); }

bool Ser2net::Start()
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(Tool(QStringLiteral("ser2net")), {"-n", "-d", "-c", m_config});
    const QDeadlineTimer deadline(5000);
    while (!(Listening(m_ports.raw) && Listening(m_ports.telnet) && Listening(m_ports.tls))) {
        if (deadline.hasExpired() || m_process.state() == QProcess::NotRunning)
            return false;
        Pause(20);
    }
    return true;
}

void Ser2net::Stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(3000);
}

} // namespace ser2netkit
