#include "NumberText.h"

#include "NumberRule.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <langinfo.h>
#include <locale.h>

namespace tessra::api {

namespace {

/// The numeric conventions of the user's environment. Made once and kept for
/// the life of the process; the C library's global locale is never touched,
/// so this works whether or not the host has called setlocale.
locale_t userNumericLocale()
{
    static const locale_t locale = [] {
        locale_t made = ::newlocale(LC_NUMERIC_MASK, "", locale_t {});
        if (!made)
            made = ::newlocale(LC_NUMERIC_MASK, "C", locale_t {});
        return made;
    }();
    return locale;
}

/// The decimal separator of the user's numeric locale: "," in a German one.
std::string_view userDecimalPoint()
{
    static const std::string point = [] {
        const locale_t locale = userNumericLocale();
        const char* text = locale ? ::nl_langinfo_l(RADIXCHAR, locale) : nullptr;
        return std::string(text && *text ? text : ".");
    }();
    return point;
}

} // namespace

std::optional<double> parseUserNumber(const char* text)
{
    if (!text)
        return std::nullopt;
    return readNumberText(text, userDecimalPoint());
}

std::optional<double> parseFileNumber(std::string_view text)
{
    return readNumberText(text, ".");
}

std::string formatFileNumber(double value)
{
    char buffer[64];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    if (error != std::errc {})
        return "0";
    return std::string(buffer, end);
}

} // namespace tessra::api
