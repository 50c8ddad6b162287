#pragma once

#include <QString>

#include <optional>

namespace tessra {

/// The switch an argument of the command line names, without its leading
/// character; nothing when the argument is a file name.
///
/// An argument starting with "-" is a switch. One starting with "/" is a
/// switch only when the rest holds no further "/" and the argument names
/// nothing that exists: every absolute path starts with "/", so "/tmp/run.ini"
/// (or "/run.ini" where that file exists) is a file name, while "/?", "/help",
/// "/automation" and an unknown "/foo" stay switches, as does "/" alone (an
/// empty switch). An empty argument is no switch.
std::optional<QString> commandLineSwitch(const QString& argument);

} // namespace tessra
