#pragma once

#include <functional>

#include "CommandError.h"

class QWidget;

namespace tessra {

/// Shows a failed command's error to the user.
using ErrorReporter = std::function<void(const CommandError& error)>;

/// The standard error box: the message followed by ".", the application's
/// title as caption, an error icon and OK; modal over `parent`.
void showStandardError(QWidget* parent, const CommandError& error);

} // namespace tessra
