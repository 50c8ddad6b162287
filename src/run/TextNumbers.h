#pragma once

#include <QString>

#include <optional>
#include <string>

namespace tessra {

/// Numbers as the command line and sweep files write them, and as the model
/// library reads typed values.

/// Reads a number written with "." (as settings files write them, whatever the
/// locale) or in the user's locale ("0,5" where that is the decimal separator).
/// Blanks around it are allowed; nothing for a text that is no finite number.
std::optional<double> readNumber(const QString& text);

/// Reads a number as settings and sweep files write it: "." always. Blanks
/// around it are allowed; nothing for a text that is no finite number.
std::optional<double> readFileNumber(const QString& text);

/// The shortest text with "." that reads back as exactly `value` ("0.1", "32",
/// "1e-05"): parameter values in listings and tables.
std::string shortestNumber(double value);

/// The same text with the user's decimal separator: what the model library reads
/// as a typed value.
std::string typedNumber(double value);

} // namespace tessra
