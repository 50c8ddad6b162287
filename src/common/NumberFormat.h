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
/// infinities as "INF" and "-INF".
QString formatGeneral(double value, const QLocale& locale = QLocale());

/// Reads a number the user typed, in the locale's conventions (its decimal
/// separator; exponent with "e" or "E"). Blanks around the number are ignored;
/// group separators, hexadecimal, "INF" and "NAN" are not numbers here, and
/// neither is a text whose value overflows or underflows a double.
/// Answers nothing when the text is not a finite number.
std::optional<double> parseNumber(const QString& text, const QLocale& locale = QLocale());

} // namespace tessra
