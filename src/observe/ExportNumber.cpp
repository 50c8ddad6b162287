#include "ExportNumber.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace tessra {

namespace {

// Whole numbers below 10^6 print as their digits under "%g"; ticks nearly
// always are, and this path is many times faster than the general one.
char* formatWhole(char* out, double value)
{
    auto whole = static_cast<std::int32_t>(value);
    if (whole < 0 || (whole == 0 && std::signbit(value))) {
        *out++ = '-';
        whole = -whole;
    }
    char digits[8];
    int n = 0;
    do {
        digits[n++] = static_cast<char>('0' + whole % 10);
        whole /= 10;
    } while (whole != 0);
    while (n > 0)
        *out++ = digits[--n];
    return out;
}

constexpr double Pow10[] = { 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9 };
constexpr double Lower[] = { 1e-4, 1e-3, 1e-2, 1e-1, 1e0, 1e1, 1e2, 1e3, 1e4, 1e5 };

// Values from 1e-4 up to 1e6 print in fixed notation. Their six digits come
// from one scaling by a power of ten (itself exact) and one rounding; when the
// scaled value lies too close to a rounding tie for that to be sure, or
// outside the range, returns null and the general path decides.
char* formatFixed(char* out, double value)
{
    const double a = std::fabs(value);
    int e = 5; // 10^e <= a < 10^(e+1); checked below
    while (e > -4 && a < Lower[e + 4])
        --e;
    const double y = a * Pow10[5 - e]; // one rounding: off by at most 6e-11
    if (!(y >= 1e5 && y < 1e6))
        return nullptr;
    const double whole = std::floor(y);
    const double fraction = y - whole; // exact
    if (std::fabs(fraction - 0.5) < 1e-8)
        return nullptr;
    auto digits = static_cast<std::uint32_t>(whole) + (fraction > 0.5 ? 1 : 0);
    if (digits == 1000000) {
        digits = 100000;
        if (++e > 5)
            return nullptr; // 1e+06
    }
    char d[6];
    for (int i = 5; i >= 0; --i) {
        d[i] = static_cast<char>('0' + digits % 10);
        digits /= 10;
    }
    int last = 5; // the last digit written: trailing zeros of the fraction go
    while (last > e && last > 0 && d[last] == '0')
        --last;
    if (value < 0)
        *out++ = '-';
    if (e >= 0) {
        for (int i = 0; i <= e; ++i)
            *out++ = d[i];
        if (last > e) {
            *out++ = '.';
            for (int i = e + 1; i <= last; ++i)
                *out++ = d[i];
        }
    } else {
        *out++ = '0';
        *out++ = '.';
        for (int i = -1; i > e; --i)
            *out++ = '0';
        for (int i = 0; i <= last; ++i)
            *out++ = d[i];
    }
    return out;
}

} // namespace

char* formatExportNumber(char* out, double value)
{
    if (std::isnan(value)) {
        std::memcpy(out, "nan", 3);
        return out + 3;
    }
    if (value > -1e6 && value < 1e6 && value == std::trunc(value))
        return formatWhole(out, value);
    if (value > -1e6 && value < 1e6) {
        if (char* end = formatFixed(out, value))
            return end;
    }
    // to_chars in general form with a precision is specified as "%.*g" in the
    // C locale: same digits, same exponent form.
    return std::to_chars(out, out + GeneralNumberMaxLength, value, std::chars_format::general, 6)
        .ptr;
}

char* formatExportTick(char* out, double value)
{
    // Whole ticks below 10^6 are the common case and always exact.
    if (value >= 0 && value < 1e6 && value == std::trunc(value))
        return formatWhole(out, value);
    char* end = formatExportNumber(out, value);
    if (!std::isfinite(value))
        return end;
    double back = 0;
    const auto read = std::from_chars(out, end, back);
    if (read.ec == std::errc() && read.ptr == end && back == value)
        return end;
    for (int digits = 7; digits < 17; ++digits) {
        end = std::to_chars(
            out, out + GeneralNumberMaxLength, value, std::chars_format::general, digits)
                  .ptr;
        if (std::from_chars(out, end, back).ec == std::errc() && back == value)
            return end;
    }
    // Seventeen significant digits always read back to the same double.
    return std::to_chars(out, out + GeneralNumberMaxLength, value, std::chars_format::general, 17)
        .ptr;
}

} // namespace tessra
