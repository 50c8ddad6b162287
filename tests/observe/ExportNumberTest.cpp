#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

#include "ExportNumber.h"

using tessra::formatExportNumber;

namespace {

std::string general(double value)
{
    char text[tessra::GeneralNumberMaxLength];
    return std::string(text, formatExportNumber(text, value));
}

std::string printfGeneral(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%lg", value);
    return text;
}

} // namespace

TEST(number_format, writes_what_printf_lg_writes)
{
    // The process runs in the C locale here, so printf is the reference.
    const double values[] = { 0.0, -0.0, 1.0, -1.0, 3.1, 1.0 / 3.0, 2.0 / 3.0, 1e6, -1e6, 999999.0,
        999999.4, 999999.5, 999999.6, 123456.5, 0.5, 1e-4, 1e-5, 0.00012345678, 1e100, -1.5e-300,
        4.9e-324, DBL_MAX, -DBL_MAX, 1e15, 12345678.9, 0.1f, 2.5, 1e21, 100000.0, 1234567.0,
        std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity() };
    for (double v : values)
        EXPECT_EQ(general(v), printfGeneral(v)) << "value " << v;

    std::mt19937_64 random(7);
    std::uniform_int_distribution<int> exponent(-320, 308);
    std::uniform_real_distribution<double> mantissa(-10.0, 10.0);
    std::uniform_int_distribution<int> whole(-2000000, 2000000);
    for (int i = 0; i < 200000; ++i) {
        const double v = mantissa(random) * std::pow(10.0, exponent(random));
        ASSERT_EQ(general(v), printfGeneral(v)) << "value " << v;
        const double w = whole(random);
        ASSERT_EQ(general(w), printfGeneral(w)) << "value " << w;
        const double f = whole(random) / 64.0; // ties at the sixth digit
        ASSERT_EQ(general(f), printfGeneral(f)) << "value " << f;
    }
}

TEST(number_format, fixed_range_and_near_ties)
{
    // Where "%lg" writes plain decimals, the formatter has a path of its own.
    std::mt19937_64 random(13);
    std::uniform_real_distribution<double> logMagnitude(-5.5, 6.5);
    std::uniform_int_distribution<int> digits(0, 999999);
    std::uniform_int_distribution<int> shift(-10, 6);
    for (int i = 0; i < 300000; ++i) {
        const double v = std::pow(10.0, logMagnitude(random)) * (i % 2 ? 1 : -1);
        ASSERT_EQ(general(v), printfGeneral(v)) << "value " << v;
        // Six digits and a half in the seventh place: a tie, or the nearest
        // double to one.
        const double tie = (digits(random) + 0.5) * std::pow(10.0, shift(random));
        ASSERT_EQ(general(tie), printfGeneral(tie)) << "value " << tie;
        const double below = std::nextafter(tie, 0.0);
        const double above = std::nextafter(tie, 1e9);
        ASSERT_EQ(general(below), printfGeneral(below)) << "value " << below;
        ASSERT_EQ(general(above), printfGeneral(above)) << "value " << above;
    }
    for (double v : { 0.0001, 0.00009999995, 0.000099999949, 999999.5, 999999.49999, 99999.95, 0.1,
             0.30000000000000004, 1e-4 * (1 - 1e-16), 123.456, 5e-5 })
        EXPECT_EQ(general(v), printfGeneral(v)) << "value " << v;
}

TEST(number_format, examples_and_nan)
{
    EXPECT_EQ(general(1000000.0), "1e+06");
    EXPECT_EQ(general(3.1), "3.1");
    EXPECT_EQ(general(1.0 / 3.0), "0.333333");
    EXPECT_EQ(general(-0.0), "-0");
    EXPECT_EQ(general(std::numeric_limits<double>::quiet_NaN()), "nan");
    EXPECT_EQ(general(-std::numeric_limits<double>::quiet_NaN()), "nan");
    EXPECT_EQ(general(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(general(-std::numeric_limits<double>::infinity()), "-inf");
    EXPECT_LE(general(-1.23456789e-308).size(), std::size_t(tessra::GeneralNumberMaxLength));
}
