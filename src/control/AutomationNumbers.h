#pragma once

#include <QLocale>
#include <QString>
#include <optional>

namespace tessra::automation {

/// A number typed as text in `locale`: surrounding blanks ignored, the
/// locale's decimal separator, an optional exponent, no group separators.
/// Nothing for a text that is no number, and for infinities and NaN, which no
/// parameter, state or threshold may hold.
std::optional<double> parseNumber(const QString& text, const QLocale& locale = QLocale());

/// `value` in the general form the program shows parameter values in:
/// 15 significant digits, no trailing zeros, the locale's decimal separator;
/// plain notation while the integer part has at most 15 digits and the
/// magnitude is at least 0.0001, else "1.5E20" / "1E-5".
// Private copy until the shared number format in src/common is available.
QString formatGeneral(double value, const QLocale& locale = QLocale());

} // namespace tessra::automation
