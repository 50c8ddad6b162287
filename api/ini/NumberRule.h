#pragma once

#include <optional>
#include <string_view>

namespace tessra {

/// The one rule by which every typed or stored number is read: the model
/// library's typed values and settings files, the front end's dialogs,
/// stop conditions and automation, and tessra-run's arguments and sweep files.
///
/// The text is an optional "+" or "-", digits with at most one decimal
/// separator (digits on at least one side of it), and an optional exponent:
/// "e" or "E", an optional sign, digits. Only ASCII digits and signs count.
/// `decimalPoint` is the one separator accepted ("." in files, the locale's in
/// typed text); a "." where the separator is another one is refused, so a
/// group separator never passes for a decimal one. Blanks around the number
/// are the C library's blanks: space, tab, line feed, carriage return,
/// vertical tab and form feed. Refused: anything else, an empty text,
/// hexadecimal, "INF" and "NAN", a value too large for a double, and a text
/// with a non-zero digit that would read as 0 ("1e-400"); a value below the
/// normal range that still reads as non-zero ("1e-310") is kept.
std::optional<double> readNumberText(std::string_view text, std::string_view decimalPoint);

} // namespace tessra
