#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
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

// The recorder takes every statistic in shared passes; each value must be the
// very number the statistic's own passes give, whatever else is asked with it.
TEST(random_world, statistics_taken_together_are_those_taken_alone)
{
    ASSERT_TRUE(test::loadModel(test::exampleModel("grayscott")));
    const ModelApi model;
    test::setParam("Width", 61);
    test::setParam("Height", 37);
    model.newAgents();
    for (int i = 0; i < 25; ++i)
        model.timestep();

    std::vector<SiteOperations::Request> requests;
    for (int state = 0; state < model.stateCount(); ++state)
        for (int code = 5; code >= 0; --code) // not in code order
            requests.push_back({ code, state });
    requests.push_back({ 6, 0 }); // no operation
    requests.push_back({ 2, 0 }); // one asked twice
    std::vector<double> together(requests.size());
    SiteOperations::computeAll(model, requests, together);
    for (std::size_t i = 0; i < requests.size(); ++i) {
        SCOPED_TRACE(testing::Message()
            << "operation " << requests[i].code << " of state " << requests[i].state);
        const double alone = SiteOperations::compute(model, requests[i].code, requests[i].state);
        if (requests[i].code == 6)
            EXPECT_TRUE(std::isnan(together[i]));
        else
            EXPECT_EQ(std::memcmp(&alone, &together[i], sizeof alone), 0)
                << alone << " alone, " << together[i] << " together";
    }
}
