#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "ObserveTestSupport.h"
#include "SiteOperations.h"
#include "TimeSeriesRecorder.h"

using namespace tessra;

namespace {

struct Reference {
    double minimum, maximum, average, variance, skewness, kurtosis;
};

// Textbook formulas in long double, independent of the recorder's passes.
Reference reference(const std::vector<float>& values)
{
    const long double n = values.size();
    long double sum = 0;
    double lo = values[0], hi = values[0];
    for (float v : values) {
        sum += v;
        lo = std::min<double>(lo, v);
        hi = std::max<double>(hi, v);
    }
    const long double mean = sum / n;
    long double m2 = 0, m3 = 0, m4 = 0;
    for (float v : values) {
        const long double d = v - mean;
        m2 += d * d;
        m3 += d * d * d;
        m4 += d * d * d * d;
    }
    const long double var = m2 / (n - 1);
    return { lo, hi, double(mean), double(var), double(m3 / (n * var * std::sqrt(var))),
        double(m4 / (n * var * var) - 3) };
}

} // namespace

// Life at 160 x 125 (20,000 sites) with random, skewed ages written into the
// world; the recorder's statistics must agree with the reference.
TEST(random_world, statistics_agree_with_a_long_double_reference)
{
    ASSERT_TRUE(test::loadModel(test::exampleModel("life")));
    const ModelApi model;
    const int width = 160, height = 125;
    test::setParam("Width", width);
    test::setParam("Height", height);
    model.newAgents();
    ASSERT_EQ(model.worldWidth(), width);
    ASSERT_EQ(model.worldHeight(), height);

    std::mt19937 random(2024);
    std::lognormal_distribution<float> spread(1.0f, 0.8f);
    std::vector<float> values;
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column) {
            float* age = model.stateRef(column, row, "Age");
            ASSERT_NE(age, nullptr);
            *age = spread(random);
            values.push_back(*age);
        }

    TimeSeriesRecorder recorder(model);
    SeriesTable& table = recorder.table();
    const int age = test::stateIndex("Age");
    for (int operation = 0; operation < SeriesTable::Parameter; ++operation)
        table.addSeries(operation, age);
    recorder.recordTimeSeries(0.0);

    const Reference expected = reference(values);
    const auto value = [&](int slot) { return table.samples(slot).samples().at(0).value; };
    EXPECT_EQ(value(0), expected.minimum);
    EXPECT_EQ(value(1), expected.maximum);
    EXPECT_NEAR(value(2), expected.average, 1e-12 * std::abs(expected.average));
    EXPECT_NEAR(value(3), expected.variance, 1e-11 * expected.variance);
    EXPECT_NEAR(value(4), expected.skewness, 1e-9 * std::abs(expected.skewness));
    EXPECT_NEAR(value(5), expected.kurtosis, 1e-9 * std::abs(expected.kurtosis));
    EXPECT_GT(expected.skewness, 1.0); // a lognormal world is far from symmetric
    EXPECT_GT(expected.kurtosis, 1.0);
}

namespace {

// A statistic as the per-site operations give it through forEachAgentVar:
// one pass, or for codes 3 to 5 an Average pass whose mean the second pass
// reads from the same result double.
double throughTheSiteOperations(const ModelApi& model, int code, int state)
{
    SiteOperations::SiteContext context {};
    context.result = std::numeric_limits<double>::quiet_NaN();
    context.state = state;
    if (code >= 3)
        model.forEachSite(SiteOperations::operation(2), &context.result);
    model.forEachSite(SiteOperations::operation(code), &context.result);
    return context.result;
}

bool sameNumber(double a, double b)
{
    return (std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

// The recorder reads the sites straight from the world's block, two states at
// a time, in two sweeps however many statistics there are. Each value must be
// the very number the per-site operations give, bit for bit, whatever else is
// asked with it and in whatever order: states side by side and apart, an odd
// count of them, values that cancel, signed zeros, subnormals, infinities, NaN.
TEST(random_world, statistics_read_from_the_block_are_those_of_the_site_operations)
{
    ASSERT_TRUE(test::loadModel(test::fixtureModel("fivestates")));
    const ModelApi model;
    const int width = 37, height = 23; // an odd count of sites
    test::setParam("Width", width);
    test::setParam("Height", height);
    model.newAgents();
    ASSERT_EQ(model.stateCount(), 5);

    std::mt19937 random(7);
    std::lognormal_distribution<float> skewed(1.0f, 0.8f);
    std::normal_distribution<float> nearMillion(1e6f, 3.0f);
    std::uniform_int_distribution<int> small(0, 3);
    const float specials[] = { -0.0f, 0.0f, 1e-42f, -1e-42f, 3.4e38f, -3.4e38f };
    const auto fill = [&](bool hostile) {
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < width; ++column) {
                const int i = row * width + column;
                float* s = model.stateRef(column, row, "s0");
                ASSERT_NE(s, nullptr);
                s[0] = skewed(random);
                s[1] = nearMillion(random);
                s[2] = static_cast<float>(small(random));
                s[3] = specials[i % 6] * (hostile ? 1.0f : 0.0f) + (hostile ? 0.0f : -0.0f);
                s[4] = hostile && i == 0  ? std::numeric_limits<float>::quiet_NaN()
                    : hostile && i == 400 ? std::numeric_limits<float>::infinity()
                                          : skewed(random) - 2.0f;
            }
    };
    // States in the order first asked: side by side (0 1, 2 3, 4 alone) and
    // apart (3 1, 4 0, 2 alone).
    const std::vector<int> orders[] = { { 0, 1, 2, 3, 4 }, { 3, 1, 4, 0, 2 } };
    for (const bool hostile : { false, true }) {
        fill(hostile);
        for (const std::vector<int>& order : orders) {
            std::vector<SiteOperations::Request> requests;
            for (int code = 5; code >= 0; --code)
                for (const int state : order)
                    requests.push_back({ code, state });
            requests.push_back({ 6, 0 }); // no operation
            requests.push_back({ 2, 7 }); // no such state
            std::vector<double> together(requests.size());
            SiteOperations::computeAll(model, requests, together);
            for (std::size_t i = 0; i < requests.size(); ++i) {
                const auto [code, state] = requests[i];
                SCOPED_TRACE(testing::Message() << "operation " << code << " of state " << state
                                                << (hostile ? ", hostile values" : ""));
                if (code == 6 || state == 7) {
                    EXPECT_TRUE(std::isnan(together[i]));
                    continue;
                }
                const double expected = throughTheSiteOperations(model, code, state);
                EXPECT_TRUE(sameNumber(together[i], expected))
                    << together[i] << " from the block, " << expected << " site by site";
            }
        }
    }
    // The extremes keep the first of equal values and skip NaN, as the
    // operations' strict comparisons do.
    EXPECT_EQ(std::signbit(SiteOperations::compute(model, 0, 3)), true); // -0 first, then +0
    EXPECT_TRUE(std::isnan(SiteOperations::compute(model, 1, 4))); // site 0 holds NaN
    EXPECT_TRUE(std::isnan(SiteOperations::compute(model, 2, 4)));

    // A world without sites: every statistic NaN.
    test::setParam("Width", 0);
    model.newAgents();
    for (int code = 0; code < 6; ++code)
        EXPECT_TRUE(std::isnan(SiteOperations::compute(model, code, 0))) << code;
}
