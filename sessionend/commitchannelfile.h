#pragma once
class CTavrinView;

// The channel file written as the window's close would write it, a range
// typed but not yet left included, with the window left as it is.
void CommitChannelFile(CTavrinView& view);
