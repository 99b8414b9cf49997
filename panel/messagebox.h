#pragma once
// The program's only way of telling the user something went wrong: a modal
// box with an OK button, captioned with the application title. Tests and
// headless runs replace the box with a sink that records the text.
#include <functional>

#include "panel/cstring.h"

using MessageBoxSink = std::function<void(const CString& text)>;

void AfxMessageBox(const CString& text);

// Installs a replacement for the modal box; an empty sink restores the box.
void SetMessageBoxSink(MessageBoxSink sink);

extern const char* const g_szAppTitle; // "Harris RT-1446/URC"
