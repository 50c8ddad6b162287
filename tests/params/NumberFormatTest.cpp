#include <QLocale>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>

#include "NumberFormat.h"

namespace tessra {
namespace {

struct FormatCase {
    double value;
    const char* text;
};

void PrintTo(const FormatCase& row, std::ostream* out)
{
    *out << row.text;
}

class FormatGeneral : public ::testing::TestWithParam<FormatCase> { };

TEST_P(FormatGeneral, writes_fifteen_significant_digits)
{
    EXPECT_EQ(formatGeneral(GetParam().value, QLocale::c()).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Examples, FormatGeneral,
    ::testing::Values(FormatCase { 0.0, "0" }, FormatCase { -0.0, "0" }, FormatCase { 0.5, "0.5" },
        FormatCase { 0.0001, "0.0001" }, FormatCase { 0.00001, "1E-5" },
        FormatCase { 1.5e20, "1.5E20" }, FormatCase { -2.5, "-2.5" },
        FormatCase { 1.0 / 3.0, "0.333333333333333" },
        FormatCase { static_cast<double>(0.1f), "0.100000001490116" },
        FormatCase { 123456789012345.0, "123456789012345" },
        FormatCase { 1234567890123456.0, "1.23456789012346E15" }, FormatCase { 100.0, "100" },
        FormatCase { 12.0, "12" }, FormatCase { 1e14, "100000000000000" },
        FormatCase { 1e15, "1E15" }, FormatCase { 2.0 / 3.0 * 1e-4, "6.66666666666667E-5" },
        FormatCase { 0.00012345, "0.00012345" }, FormatCase { -0.00001, "-1E-5" },
        FormatCase { 1e-300, "1E-300" },
        // Rounding carries into a new digit and may change the notation.
        FormatCase { 9.9999999999999999e14, "1E15" }, FormatCase { 0.999999999999999999, "1" },
        FormatCase { 0.00009999999999999999, "0.0001" },
        // Rounded, the largest doubles would show beyond the largest double.
        FormatCase { std::numeric_limits<double>::max(), "1.79769313486231E308" },
        FormatCase { -std::numeric_limits<double>::max(), "-1.79769313486231E308" },
        FormatCase { 1.79769313486231e308, "1.79769313486231E308" },
        FormatCase { std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324" },
        FormatCase { std::numeric_limits<double>::quiet_NaN(), "NAN" },
        FormatCase { std::numeric_limits<double>::infinity(), "INF" },
        FormatCase { -std::numeric_limits<double>::infinity(), "-INF" }));

TEST(NumberFormat, uses_the_decimal_separator_of_the_locale)
{
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(formatGeneral(0.5, german), QStringLiteral("0,5"));
    EXPECT_EQ(formatGeneral(-1.5e20, german), QStringLiteral("-1,5E20"));
    EXPECT_EQ(formatGeneral(1234.5, german), QStringLiteral("1234,5")); // no group separators
    EXPECT_EQ(formatGeneral(1e-5, german), QStringLiteral("1E-5"));
}

TEST(NumberFormat, reads_back_what_it_writes)
{
    for (const QLocale& locale : { QLocale::c(), QLocale(QLocale::German, QLocale::Germany) }) {
        for (double value : { 0.5, -2.5, 1.0 / 3.0, 1.5e20, 1e-5, 123456789012345.0, 7.0,
                 std::numeric_limits<double>::max(), 1.797693134862315e308,
                 std::numeric_limits<double>::denorm_min() }) {
            const std::optional<double> read = parseNumber(formatGeneral(value, locale), locale);
            ASSERT_TRUE(read.has_value()) << value;
            EXPECT_NEAR(*read, value, std::fabs(value) * 1e-14);
            EXPECT_EQ(formatGeneral(*read, locale), formatGeneral(value, locale));
        }
    }
}

TEST(NumberFormat, parses_only_finite_numbers_in_the_locale)
{
    const QLocale c = QLocale::c();
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(parseNumber(QStringLiteral(" 12 "), c), 12.0);
    EXPECT_EQ(parseNumber(QStringLiteral("1e5"), c), 1e5);
    EXPECT_EQ(parseNumber(QStringLiteral("0,25"), german), 0.25);
    EXPECT_FALSE(parseNumber(QStringLiteral("0,25"), c));
    EXPECT_FALSE(parseNumber(QStringLiteral("1,000"), c)); // no group separators
    EXPECT_FALSE(parseNumber(QStringLiteral("1.000"), german));
    EXPECT_FALSE(parseNumber(QString(), c));
    EXPECT_FALSE(parseNumber(QStringLiteral("12x"), c));
    EXPECT_FALSE(parseNumber(QStringLiteral("0x10"), c));
    EXPECT_FALSE(parseNumber(QStringLiteral("INF"), c));
    EXPECT_FALSE(parseNumber(QStringLiteral("NAN"), c));
    EXPECT_FALSE(parseNumber(QStringLiteral("1e400"), c));
}

} // namespace
} // namespace tessra
