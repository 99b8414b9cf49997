#pragma once
// A panel that a screen reader can drive: every control that takes focus
// has a name a listener understands, the frequency display can be reached
// with Tab, the channel lines read as text, what the radio newly reports
// is announced once, and a keyed or unkeyed transmitter is told wherever
// the focus is.
class CTavrinView;

void MakePanelAccessible(CTavrinView& view);
