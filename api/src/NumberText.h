#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tessra::api {

/// Reads a number the user typed, in the user's locale (LC_ALL, LC_NUMERIC or
/// LANG at the time of the first call), so "0,5" is a half in a German locale
/// and "0.5" is not. The rest of the rule is readNumberText's, the one the
/// front end and tessra-run read with.
std::optional<double> parseUserNumber(const char* text);

/// Reads a number from a settings file: "." always, whatever the locale.
/// Otherwise the same rule as parseUserNumber.
std::optional<double> parseFileNumber(std::string_view text);

/// Writes a number for a settings file: the shortest text that reads back as
/// exactly the same double, "." always ("0.1", "1e-300", "12345678.9").
std::string formatFileNumber(double value);

} // namespace tessra::api
