#pragma once
// An operator's name goes into logs, CSV files and web pages as it is, so
// only characters that mean nothing in any of them are allowed: 1 to 32
// ASCII letters, digits, '.', '_' and '-'.
#include <QString>

constexpr int kLongestOperatorName = 32;

// False with why set to a sentence saying what is wrong with the name.
bool IsUsableOperatorName(const QString& name, QString& why);
