#pragma once
// What a screen reader is given for a line of the channel list.
#include <QString>

#include "panel/cstring.h"

class SimpleCombo;

// The line as the list shows it, made fit to be spoken: nothing from its
// first zero byte on, control characters (its closing line feed among them)
// as blanks, runs of blanks as one, none at either end.
QString ReadableChannelLine(const CString& line);

// Gives every line of the list that readable text, now and whenever the
// list takes a new line (the loader, Save Chnl).
void ReadChannelLinesAsText(SimpleCombo& channels);
