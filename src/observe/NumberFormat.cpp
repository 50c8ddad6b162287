#include "NumberFormat.h"

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

} // namespace

char* formatGeneral(char* out, double value)
{
    if (std::isnan(value)) {
        std::memcpy(out, "nan", 3);
        return out + 3;
    }
    if (value > -1e6 && value < 1e6 && value == std::trunc(value))
        return formatWhole(out, value);
    // to_chars in general form with a precision is specified as "%.*g" in the
    // C locale: same digits, same exponent form.
    return std::to_chars(out, out + GeneralNumberMaxLength, value, std::chars_format::general, 6)
        .ptr;
}

} // namespace tessra
