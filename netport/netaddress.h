#pragma once
// A radio on another machine, named by a URL where a device path would go:
//   socket://HOST:PORT      raw TCP: the serial line's bytes, nothing else
//   rfc2217://HOST:PORT     telnet with the serial-port control option
// TLS is asked for in the query: ?tls=1&ca=FILE&cert=FILE&key=FILE, or
// &fp=SHA256 to pin a self-signed server certificate. IPv6 literals go in
// brackets: socket://[::1]:7000.
#include <QByteArray>
#include <QString>
#include <optional>

struct NetAddress {
    enum class Kind { Raw, Rfc2217 };
    Kind kind = Kind::Raw;
    QString host;          // without brackets
    quint16 port = 0;
    bool tls = false;
    QString caFile;        // the CA that signed the server's certificate
    QString certFile;      // the client's certificate, when the server asks
    QString keyFile;
    QByteArray fingerprint;  // SHA-256 of the server's certificate, 32 bytes

    // host:port, with brackets around an IPv6 literal.
    QString FarEnd() const;
    // The address as a URL that reads back to the same address.
    QString Url() const;
    bool IsLoopback() const;
};

// True for a name written as a URL (it has a scheme), which is never a
// device path; such a name is read by ParseNetAddress, right or wrong.
bool LooksLikeNetAddress(const QString& name);

// The address, or nothing and a sentence naming what is wrong with it. The
// files it names must be regular files of at most 1 MB that can be read;
// what they hold is judged as the port opens. A relative file name is made
// absolute against the working folder now, once. A host name has at most
// 253 characters, the whole address at most 4096.
std::optional<NetAddress> ParseNetAddress(const QString& url, QString& problem);

// Empty for a device path or a good URL, else what is wrong with the URL.
QString NetAddressProblem(const QString& name);
