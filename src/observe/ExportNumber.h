#pragma once

namespace tessra {

/// Room that formatExportNumber needs at most ("-1.23457e-308" and more).
constexpr int GeneralNumberMaxLength = 24;

/// Writes `value` as printf's "%lg" does in the C locale (general form, six
/// significant digits, at least two exponent digits: 1e+06, 3.1, 0.333333,
/// -0), whatever the process's locale: the decimal point is always ".".
/// Infinities give "inf" and "-inf"; every NaN gives "nan". Writes at most
/// GeneralNumberMaxLength characters, no terminating NUL; returns the end.
char* formatExportNumber(char* out, double value);

} // namespace tessra
