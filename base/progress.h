#pragma once
// Long operations report how far they are, in whole percents 0..100, to the
// caller's progress bar (the window's bar, the terminal's). May be empty.
#include <functional>

namespace v2d {

using Progress = std::function<void(int percent)>;

}  // namespace v2d
