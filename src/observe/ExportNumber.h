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

/// Writes a tick so that it reads back to the same double: as
/// formatExportNumber when that text does (0, 3.1, 999999, 1e+06), otherwise
/// in the same general form with the fewest significant digits, up to 17, that
/// do (1000001, 123456.5, 1.0000001e+07). Writes at most
/// GeneralNumberMaxLength characters, no terminating NUL; returns the end.
char* formatExportTick(char* out, double value);

} // namespace tessra
