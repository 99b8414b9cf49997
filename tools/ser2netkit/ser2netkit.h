#pragma once
// Debian's ser2net publishing a pty on loopback, as the end-to-end test and
// the network benchmark run it: free ports, a configuration with a raw, an
// RFC 2217 and an RFC 2217-in-TLS accepter (client certificates required),
// and certificates made with openssl.
#include <QProcess>
#include <QString>

namespace ser2netkit {

// A program on PATH, or in the sbin folders a user's PATH may lack.
QString Tool(const QString& name);

// A TCP port on 127.0.0.1 that nothing listens on just now; 0 if none.
quint16 FreeLoopbackPort();

struct Ports {
    quint16 raw = 0;
    quint16 telnet = 0;
    quint16 tls = 0;
    static Ports Free();  // three loopback ports nobody listens on now
};

// In `dir`: server.crt/.key (CN localhost, also for 127.0.0.1), which also
// serves the client as its CA file; tavrin.crt/.key, a client ser2net lets
// in; stranger.crt/.key, with the same name but not let in; other.crt, a CA
// that signed nothing here; and auth/, ser2net's authdir.
bool MakeCertificates(const QString& dir);

class Ser2net {
public:
    // The TLS accepter takes its certificates and authdir from `dir`.
    // Without `charDelay` ser2net sends each piece of the line as soon as it
    // has it, instead of waiting two characters' time for more.
    Ser2net(const QString& dir, const QString& pty, const Ports& ports, bool charDelay = true);
    ~Ser2net();
    // True once every accepter listens; the caller's event loop keeps
    // running meanwhile.
    bool Start();
    void Stop();
    qint64 Pid() const { return m_process.processId(); }

private:
    QString m_config;
    Ports m_ports;
    QProcess m_process;
};

} // namespace ser2netkit
