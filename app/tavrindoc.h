#pragma once
#include <QObject>

// The single document. It holds nothing: the panel's state lives in the view
// and the channel file, which the view reads and writes itself.
class CTavrinDoc : public QObject {
public:
    bool OnNewDocument() { return true; }
};
