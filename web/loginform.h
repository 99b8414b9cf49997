#pragma once
// What the login page's form posts, as the server reads it: the body
// decoded as a browser encodes a form, the name without the spaces around
// it and the password's bytes. A name longer than any operator's is taken
// as no name, so it reaches neither the throttle nor the log: people type
// passwords there too.
#include <QByteArray>
#include <QString>

struct LoginForm {
    QString name;
    QByteArray password;
};

LoginForm ReadLoginForm(const QByteArray& body);
