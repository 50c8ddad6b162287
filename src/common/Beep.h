#pragma once

#include <functional>

namespace tessra {

/// Sounds the error beep. Every beep of the program goes through here so that
/// tests can count beeps by installing a counter with setBeepHandler.
void beep();

/// Replaces what beep() does. The application installs the desktop's beep at
/// start-up; without a handler beep() is silent.
/// Returns the previous handler.
std::function<void()> setBeepHandler(std::function<void()> handler);

} // namespace tessra
