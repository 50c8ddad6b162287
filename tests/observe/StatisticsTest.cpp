#include <gtest/gtest.h>

#include <QSignalSpy>

#include <cmath>

#include "ObserveTestSupport.h"
#include "TimeSeriesRecorder.h"

using namespace tessra;

namespace {

// The stats fixture: a Width x 1 world (Width 0 to 4) whose site i holds
// x = v<i> and "Average x" = 100 + v<i>, set when the world is built.
class StatisticsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::loadModel(test::fixtureModel("stats")));
        x = test::stateIndex("x");
    }

    // Builds the world from four values and the width.
    void world(double v0, double v1, double v2, double v3, int width = 4)
    {
        test::setParam("v0", v0);
        test::setParam("v1", v1);
        test::setParam("v2", v2);
        test::setParam("v3", v3);
        test::setParam("Width", width);
        model.newAgents();
        ASSERT_EQ(model.worldWidth(), width);
    }

    // Records once with every statistic of x; the values in operation order.
    std::vector<double> statistics()
    {
        if (table.count() == 0) {
            for (int operation = 0; operation < SeriesTable::Parameter; ++operation)
                table.addSeries(operation, x);
        }
        recorder.clearSamples();
        recorder.recordTimeSeries(0.0);
        std::vector<double> values;
        for (int operation = 0; operation < SeriesTable::Parameter; ++operation)
            values.push_back(table.samples(table.findSeries(operation, x)).samples().at(0).value);
        return values;
    }

    ModelApi model;
    TimeSeriesRecorder recorder { ModelApi() };
    SeriesTable& table = recorder.table();
    int x = -1;
};

} // namespace

TEST_F(StatisticsTest, one_two_three_four)
{
    world(1, 2, 3, 4);
    const std::vector<double> s = statistics();
    EXPECT_EQ(s[0], 1.0);
    EXPECT_EQ(s[1], 4.0);
    EXPECT_EQ(s[2], 2.5);
    EXPECT_DOUBLE_EQ(s[3], 5.0 / 3.0);
    EXPECT_EQ(s[4], 0.0);
    EXPECT_NEAR(s[5], -2.0775, 1e-12);
}

TEST_F(StatisticsTest, three_zeros_and_a_three)
{
    world(0, 0, 0, 3);
    const std::vector<double> s = statistics();
    EXPECT_EQ(s[0], 0.0);
    EXPECT_EQ(s[1], 3.0);
    EXPECT_EQ(s[2], 0.75);
    EXPECT_DOUBLE_EQ(s[3], 2.25);
    EXPECT_DOUBLE_EQ(s[4], 0.75);
    EXPECT_DOUBLE_EQ(s[5], -1.6875);
}

TEST_F(StatisticsTest, order_of_sites_and_negative_values)
{
    world(-7.5, 1e5, -7.5, 0.125);
    const std::vector<double> s = statistics();
    EXPECT_EQ(s[0], -7.5);
    EXPECT_EQ(s[1], 1e5);
    EXPECT_DOUBLE_EQ(s[2], (-7.5 + 1e5 - 7.5 + 0.125) / 4);
}

TEST_F(StatisticsTest, constant_small_and_empty_worlds_give_what_the_arithmetic_gives)
{
    world(5, 5, 5, 5);
    std::vector<double> s = statistics();
    EXPECT_EQ(s[0], 5.0);
    EXPECT_EQ(s[1], 5.0);
    EXPECT_EQ(s[2], 5.0);
    EXPECT_EQ(s[3], 0.0);
    EXPECT_TRUE(std::isnan(s[4])); // 0 / 0
    EXPECT_TRUE(std::isnan(s[5]));

    world(6, 2, 3, 4, 1); // one site
    s = statistics();
    EXPECT_EQ(s[0], 6.0);
    EXPECT_EQ(s[1], 6.0);
    EXPECT_EQ(s[2], 6.0);
    EXPECT_TRUE(std::isnan(s[3]));
    EXPECT_TRUE(std::isnan(s[4]));
    EXPECT_TRUE(std::isnan(s[5]));

    world(6, 2, 3, 4, 0); // no site at all
    s = statistics();
    for (double value : s)
        EXPECT_TRUE(std::isnan(value)) << value;
}

TEST_F(StatisticsTest, samples_ticks_and_parameters)
{
    world(1, 2, 3, 4);
    QSignalSpy recorded(&table, &SeriesTable::samplesRecorded);
    QSignalSpy cleared(&recorder, &TimeSeriesRecorder::samplesCleared);
    table.addSeries(SeriesTable::Parameter, test::paramIndex("v0"));
    recorder.recordTimeSeries(0.0);
    recorder.recordTimeSeries(1.0);
    // A parameter series reads the value at the moment of recording.
    test::setParam("v0", 9);
    recorder.recordTimeSeries(1.0); // same tick: the second value stays
    // Added during the run: its first sample is at the next recorded tick.
    table.addSeries(SeriesTable::Average, test::stateIndex("Average x"));
    recorder.recordTimeSeries(2.0);
    EXPECT_EQ(recorded.count(), 4);

    const std::vector<Sample>& v0 = table.samples(0).samples();
    ASSERT_EQ(v0.size(), 3u);
    EXPECT_EQ(v0[1].tick, 1.0);
    EXPECT_EQ(v0[1].value, 9.0);
    const std::vector<Sample>& average = table.samples(1).samples();
    ASSERT_EQ(average.size(), 1u);
    EXPECT_EQ(average[0].tick, 2.0);
    EXPECT_EQ(average[0].value, 102.5);

    recorder.clearSamples();
    EXPECT_EQ(cleared.count(), 1);
    EXPECT_TRUE(table.samples(0).empty());
    EXPECT_EQ(table.count(), 2); // the series stay
    recorder.recordTimeSeries(3.0);
    EXPECT_EQ(table.samples(1).size(), 1u);
}

TEST_F(StatisticsTest, a_state_the_model_lost_records_nan)
{
    world(1, 2, 3, 4);
    table.addSeries(SeriesTable::Maximum, test::stateIndex("Average x"));
    ASSERT_TRUE(test::loadModel(test::fixtureModel("nostates")));
    model.newAgents();
    recorder.recordTimeSeries(0.0);
    ASSERT_EQ(table.samples(0).size(), 1u);
    EXPECT_TRUE(std::isnan(table.samples(0).samples()[0].value));
}
