#include "NumberFormat.h"

#include "NumberRule.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>
#include <system_error>

namespace tessra {

namespace {

constexpr int SignificantDigits = 15;
// Plain notation from 1E-4 up to 15 digits before the separator.
constexpr int SmallestPlainExponent = -4;
constexpr int LargestPlainExponent = SignificantDigits - 1;

/// The significant digits of |value| rounded to 15 digits, without trailing
/// zeros, and the decimal exponent of the first of them.
struct Decimal {
    std::string digits;
    int exponent = 0;
};

/// The first `count` significant digits of |value| (correctly rounded) and the
/// decimal exponent of the first of them.
Decimal decimalDigits(double magnitude, int count)
{
    // Scientific notation with count - 1 digits after the point gives exactly
    // `count` correctly rounded significant digits: "d.dddde+xx".
    char buffer[64];
    const auto result = std::to_chars(
        buffer, buffer + sizeof buffer, magnitude, std::chars_format::scientific, count - 1);
    const std::string_view text(buffer, static_cast<std::size_t>(result.ptr - buffer));
    const std::size_t e = text.find('e');

    Decimal decimal;
    decimal.digits.push_back(text[0]);
    if (e > 2)
        decimal.digits.append(text.substr(2, e - 2));

    std::string_view exponent = text.substr(e + 1);
    const bool negative = exponent.front() == '-';
    exponent.remove_prefix(1); // the sign: to_chars always writes one
    std::from_chars(exponent.data(), exponent.data() + exponent.size(), decimal.exponent);
    if (negative)
        decimal.exponent = -decimal.exponent;
    return decimal;
}

/// Whether the number `decimal` writes is a finite double.
bool isFinite(const Decimal& decimal)
{
    const std::string text = decimal.digits + 'e'
        + std::to_string(decimal.exponent - static_cast<int>(decimal.digits.size()) + 1);
    double value = 0;
    return std::from_chars(text.data(), text.data() + text.size(), value).ec == std::errc();
}

Decimal roundedDecimal(double magnitude)
{
    Decimal decimal = decimalDigits(magnitude, SignificantDigits);
    // The largest doubles round to a number beyond the largest double
    // ("1.79769313486232E308"), which no reader takes: those are cut to 15
    // digits instead, so that every number shown reads back.
    if (!isFinite(decimal)) {
        decimal = decimalDigits(magnitude, std::numeric_limits<double>::max_digits10);
        decimal.digits.resize(SignificantDigits);
    }
    while (decimal.digits.size() > 1 && decimal.digits.back() == '0')
        decimal.digits.pop_back();
    return decimal;
}

QString plainNotation(const Decimal& decimal, const QString& separator)
{
    const QString digits = QString::fromLatin1(decimal.digits);
    if (decimal.exponent < 0)
        return QLatin1String("0") + separator + QString(-decimal.exponent - 1, QLatin1Char('0'))
            + digits;
    const qsizetype integerDigits = decimal.exponent + 1;
    if (digits.size() <= integerDigits)
        return digits + QString(integerDigits - digits.size(), QLatin1Char('0'));
    return digits.left(integerDigits) + separator + digits.mid(integerDigits);
}

QString exponentNotation(const Decimal& decimal, const QString& separator)
{
    QString text = QString::fromLatin1(decimal.digits.substr(0, 1));
    if (decimal.digits.size() > 1)
        text += separator + QString::fromLatin1(decimal.digits.substr(1));
    text += QLatin1Char('E');
    if (decimal.exponent < 0)
        text += QLatin1Char('-');
    text += QString::number(std::abs(decimal.exponent));
    return text;
}

} // namespace

QString formatGeneral(double value, const QLocale& locale)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0)
        return QStringLiteral("0");

    const Decimal decimal = roundedDecimal(std::fabs(value));
    const QString separator = locale.decimalPoint();
    const bool plain
        = decimal.exponent >= SmallestPlainExponent && decimal.exponent <= LargestPlainExponent;
    const QString text
        = plain ? plainNotation(decimal, separator) : exponentNotation(decimal, separator);
    return value < 0 ? QLatin1Char('-') + text : text;
}

std::optional<double> parseNumber(const QString& text, const QLocale& locale)
{
    return readNumberText(text.toStdString(), locale.decimalPoint().toStdString());
}

} // namespace tessra
