#include "AutomationNumbers.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace tessra::automation {

std::optional<double> parseNumber(const QString& text, const QLocale& locale)
{
    QLocale strict = locale;
    strict.setNumberOptions(locale.numberOptions() | QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = strict.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QString formatGeneral(double value, const QLocale& locale)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0)
        return QStringLiteral("0");

    // Round to 15 significant digits once; the decimal exponent of the rounded
    // value decides the notation.
    char buffer[64];
    const auto result = std::to_chars(
        buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::scientific, 14);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const std::size_t e = text.find('e');
    std::string digits;
    for (char c : text.substr(0, e))
        if (c != '.')
            digits += c;
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int exponent = std::atoi(std::string(text.substr(e + 1)).c_str());

    const QString separator = locale.decimalPoint();
    QString out = value < 0 ? QStringLiteral("-") : QString();
    const auto digitCount = static_cast<int>(digits.size());
    if (exponent >= -4 && exponent < 15) {
        if (exponent >= 0) {
            const int integerDigits = exponent + 1;
            out += QString::fromLatin1(digits.substr(0, std::min(digitCount, integerDigits)));
            for (int i = digitCount; i < integerDigits; ++i)
                out += u'0';
            if (digitCount > integerDigits)
                out += separator + QString::fromLatin1(digits.substr(std::size_t(integerDigits)));
        } else {
            out += u'0' + separator + QString(-exponent - 1, u'0') + QString::fromLatin1(digits);
        }
        return out;
    }
    out += QChar::fromLatin1(digits[0]);
    if (digitCount > 1)
        out += separator + QString::fromLatin1(digits.substr(1));
    out += u'E' + QString::number(exponent);
    return out;
}

} // namespace tessra::automation
