#include "NumberText.h"

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>

namespace tessra::api {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

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

bool looksHexadecimal(std::string_view text)
{
    return text.find_first_of("xX") != std::string_view::npos;
}

} // namespace

std::optional<double> parseUserNumber(const char* text)
{
    if (!text)
        return std::nullopt;
    const std::string_view number = trimmed(text);
    if (number.empty() || looksHexadecimal(number))
        return std::nullopt;
    // strtod_l needs a terminated string; the trimmed text may end early.
    const std::string copy(number);
    const locale_t locale = userNumericLocale();
    if (!locale)
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const double value = ::strtod_l(copy.c_str(), &end, locale);
    if (end != copy.c_str() + copy.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> parseFileNumber(std::string_view text)
{
    std::string_view number = trimmed(text);
    if (number.size() > 1 && number.front() == '+' && number[1] != '-')
        number.remove_prefix(1);
    if (number.empty() || looksHexadecimal(number))
        return std::nullopt;
    double value = 0;
    const char* last = number.data() + number.size();
    const auto [end, error] = std::from_chars(number.data(), last, value);
    if (error != std::errc {} || end != last || !std::isfinite(value))
        return std::nullopt;
    return value;
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
