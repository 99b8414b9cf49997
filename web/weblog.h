#pragma once
// Logins, refusals and dropped pages: names and addresses, never a
// password or a session token.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcWeb)
