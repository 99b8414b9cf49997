#pragma once
// The messages between a page and the panel, each named once here; the
// page names them once too, in page/messages.js.
#include <QLatin1String>

namespace WebMessage {

// What a page asks, as its "command".
inline constexpr QLatin1String kPress{"press"}, kEnter{"enter"}, kChoose{"choose"}, kRecall{"recall"}, kKey{"key"},
    kUnkey{"unkey"}, kBeat{"beat"}, kListen{"listen"};
// What a page is told, as its "type".
inline constexpr QLatin1String kYou{"you"}, kLayout{"layout"}, kState{"state"}, kChannels{"channels"},
    kOperators{"operators"}, kRefused{"refused"}, kHolder{"holder"}, kAudio{"audio"};

} // namespace WebMessage
