#pragma once

#include <QLocale>
#include <QString>
#include <optional>

namespace tessra {

/// A double as the program shows it to the user (parameter values, site states,
/// the automation's GetParam and GetState): rounded to 15 significant digits,
/// trailing zeros dropped, the locale's decimal separator, ASCII digits and an
/// ASCII "-" so that the model library reads the text back unchanged.
///
/// Plain notation when the rounded value has at most 15 digits before the
/// separator and a magnitude of at least 0.0001; otherwise exponent notation:
/// the first digit, the separator and the further digits if any, "E", a "-" for
/// a negative exponent only, and the exponent without leading zeros.
///   0 -> "0", 0.5 -> "0.5", 0.0001 -> "0.0001", 0.00001 -> "1E-5",
///   1.5e20 -> "1.5E20", 1234567890123456 -> "1.23456789012346E15".
/// Negative zero shows as "0". Values that are not numbers show as "NAN",
/// infinities as "INF" and "-INF". The largest doubles, whose 15 digits would
/// round beyond the largest double, are cut to 15 digits instead
/// ("1.79769313486231E308"), so that every number shown reads back.
QString formatGeneral(double value, const QLocale& locale = QLocale());

/// Reads a number the user typed with the locale's decimal separator, by the
/// same rule as the model library reads typed values (readNumberText: ASCII
/// digits and signs, exponent with "e" or "E", the C library's blanks around
/// it; no group separators, hexadecimal, "INF", "NAN", overflow, or non-zero
/// text that would read as 0). Answers nothing when the text is no number.
std::optional<double> parseNumber(const QString& text, const QLocale& locale = QLocale());

} // namespace tessra
