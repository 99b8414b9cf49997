#pragma once
// The files a TLS address names, read and decoded: the CA that signed the
// server's certificate, and the client's certificate and key.
#include <QList>
#include <QSslCertificate>
#include <QSslKey>
#include <QString>

struct NetAddress;

struct TlsFiles {
    QList<QSslCertificate> authorities;  // empty: the system's own
    QSslCertificate certificate;         // null: no client certificate
    QSslKey key;
};

// False with a sentence naming the file and what is wrong with it.
bool LoadTlsFiles(const NetAddress& address, TlsFiles& files, QString& problem);

// The same for whether each file can be read at all, without decoding it:
// this needs no TLS library, so it can answer before the application is up
// (the command line). What a readable file holds is judged as it opens.
bool TlsFilesReadable(const NetAddress& address, QString& problem);
