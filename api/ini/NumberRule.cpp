#include "NumberRule.h"

#include <charconv>
#include <cmath>
#include <string>

namespace tessra {

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

std::optional<double> readNumberText(std::string_view text, std::string_view decimalPoint)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    if (decimalPoint.empty())
        decimalPoint = ".";

    // The number with "." for its separator and without a "+": what
    // from_chars reads, whatever the locale.
    std::string number;
    number.reserve(text.size());
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-')
            number.push_back('-');
        ++i;
    }
    int mantissaDigits = 0;
    while (i < text.size() && isDigit(text[i])) {
        number.push_back(text[i++]);
        ++mantissaDigits;
    }
    if (text.substr(i).starts_with(decimalPoint)) {
        number.push_back('.');
        i += decimalPoint.size();
        while (i < text.size() && isDigit(text[i])) {
            number.push_back(text[i++]);
            ++mantissaDigits;
        }
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        number.push_back('e');
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            number.push_back(text[i++]);
        int exponentDigits = 0;
        while (i < text.size() && isDigit(text[i])) {
            number.push_back(text[i++]);
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;

    // from_chars answers out of range both for an overflow and for a
    // non-zero text that would round to 0.
    double value = 0;
    const char* last = number.data() + number.size();
    const auto [end, error] = std::from_chars(number.data(), last, value);
    if (error != std::errc {} || end != last || !std::isfinite(value))
        return std::nullopt;
    return value;
}

} // namespace tessra
