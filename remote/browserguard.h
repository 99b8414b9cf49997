#pragma once
// A web page open in the operator's browser can reach the station's ports
// on this computer: a form or a fetch() may POST to the flrig port, and
// the same request sent to the rig-control port is read line by line. A
// station program never sends what a browser always does, so those
// requests are refused before anything in them runs.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

// Why an flrig request is a web page's, or empty for a station program's:
// it names an Origin or Referer, or its Content-Type is not XML (fldigi
// and hamlib send "Content-type: text/xml"; a page may send without a
// preflight only text/plain, a form's types, or none).
QString WebPageSign(const QList<QPair<QByteArray, QByteArray>>& headers);
// "POST / HTTP/1.1": the first line of a browser's request.
bool IsHttpRequestLine(const QByteArray& line);
