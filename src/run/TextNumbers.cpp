#include "TextNumbers.h"

#include "NumberFormat.h"
#include "NumberRule.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <langinfo.h>
#include <locale.h>

namespace tessra {

std::optional<double> readFileNumber(const QString& text)
{
    return readNumberText(text.toStdString(), ".");
}

namespace {

// The decimal separator the model library reads typed values with: that of the
// numeric locale the environment names, as the library makes it.
std::string userDecimalPoint()
{
    static const std::string point = [] {
        locale_t locale = ::newlocale(LC_NUMERIC_MASK, "", locale_t {});
        if (!locale)
            return std::string(".");
        const std::string text = ::nl_langinfo_l(RADIXCHAR, locale);
        ::freelocale(locale);
        return text.empty() ? std::string(".") : text;
    }();
    return point;
}

} // namespace

std::optional<double> readNumber(const QString& text)
{
    if (const std::optional<double> value = readFileNumber(text))
        return value;
    return parseNumber(text);
}

std::string shortestNumber(double value)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::string typedNumber(double value)
{
    std::string text = shortestNumber(value);
    const std::string::size_type dot = text.find('.');
    if (dot != std::string::npos)
        text.replace(dot, 1, userDecimalPoint());
    return text;
}

} // namespace tessra
