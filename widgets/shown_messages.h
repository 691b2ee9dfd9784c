#pragma once
// The messages the widget-free core returns as values, as windows show them
// (see ShownText): the context their translations live in and the patterns
// of the messages that carry a file name, a number or another message.
#include <array>

namespace v2d {

inline constexpr const char* kMessagesContext = "Messages";

// %1, %2 ... stand for what the message carries; longer patterns first where
// one begins like another.
extern const std::array<const char*, 39> kShownMessagePatterns;

}  // namespace v2d
