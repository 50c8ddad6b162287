#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "AutomationNumbers.h"

namespace tessra::automation {
namespace {

const QLocale C = QLocale::c();
const QLocale German(QLocale::German, QLocale::Germany);

struct FormatCase {
    double value;
    const char* text;
};

class GeneralFormat : public ::testing::TestWithParam<FormatCase> { };

TEST_P(GeneralFormat, in_C_locale)
{
    EXPECT_EQ(formatGeneral(GetParam().value, C).toStdString(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(table, GeneralFormat,
    ::testing::Values(FormatCase { 0, "0" }, FormatCase { -0.0, "0" }, FormatCase { 0.5, "0.5" },
        FormatCase { -2.5, "-2.5" }, FormatCase { 100, "100" }, FormatCase { 0.0001, "0.0001" },
        FormatCase { 0.00001, "1E-5" }, FormatCase { -0.000012345, "-1.2345E-5" },
        FormatCase { 1.5e20, "1.5E20" }, FormatCase { 1e15, "1E15" },
        FormatCase { 123456789012345.0, "123456789012345" },
        FormatCase { 1234567890123456.0, "1.23456789012346E15" },
        // rounding to 15 digits can carry into a new digit
        FormatCase { 999999999999999.9, "1E15" }, FormatCase { 0.99999999999999999, "1" },
        FormatCase { 1.0 / 3.0, "0.333333333333333" },
        FormatCase { double(0.1f), "0.100000001490116" }, FormatCase { 12.000000000000002, "12" },
        FormatCase { 1.7976931348623157e308, "1.79769313486232E308" },
        FormatCase { 4.9e-324, "4.94065645841247E-324" },
        FormatCase { std::numeric_limits<double>::infinity(), "INF" },
        FormatCase { std::nan(""), "NAN" }));

TEST(automation_numbers, general_format_uses_the_locales_separator)
{
    EXPECT_EQ(formatGeneral(2.5, German), "2,5");
    EXPECT_EQ(formatGeneral(-1.25e-7, German), "-1,25E-7");
    EXPECT_EQ(formatGeneral(1234567.5, German), "1234567,5"); // never a group separator
}

TEST(automation_numbers, parse_reads_the_locales_numbers_only)
{
    EXPECT_EQ(parseNumber(" 2.5 ", C), 2.5);
    EXPECT_EQ(parseNumber("-1e3", C), -1000.0);
    EXPECT_EQ(parseNumber("2,5", German), 2.5);
    EXPECT_FALSE(parseNumber("2,5", C));
    EXPECT_FALSE(parseNumber("1,000", C));
    EXPECT_FALSE(parseNumber("1.000", German));
    EXPECT_FALSE(parseNumber("", C));
    EXPECT_FALSE(parseNumber("abc", C));
    EXPECT_FALSE(parseNumber("5 x", C));
    EXPECT_FALSE(parseNumber("inf", C));
    EXPECT_FALSE(parseNumber("nan", C));
    EXPECT_FALSE(parseNumber("1e999", C));
}

} // namespace
} // namespace tessra::automation
