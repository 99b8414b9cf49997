#pragma once
// The fleet's connection to its broker and what went through it: names,
// topics and counts, never a key or a password.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcFleet)
