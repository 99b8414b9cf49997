#pragma once
// The web panel's TLS: 1.2 or later, and only ciphers whose keys are agreed
// afresh for each connection, so a key stolen later reads no recording.
#include <QSslConfiguration>

#include "web/webcertificate.h"

QSslConfiguration WebTlsConfiguration(const WebIdentity& identity);
// Whether a cipher agrees its key afresh (ECDHE, DHE, or any of TLS 1.3).
bool IsForwardSecret(const QSslCipher& cipher);
