#pragma once
// A new password from whoever runs the program: asked twice without echo
// on a terminal, or read as one line when standard input is not one (for
// scripts). The password never passes through the command line, where
// other users could see it.
#include <QByteArray>
#include <QString>
#include <optional>

// None with why set when nothing usable was given: an empty password, two
// that differ, or no input at all.
std::optional<QByteArray> ReadNewPassword(const QString& name, QString& why);

// Overwrites a password's bytes once it is no longer needed.
void WipePassword(QByteArray& password);
