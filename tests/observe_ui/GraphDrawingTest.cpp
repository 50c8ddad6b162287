// Drawing straight from the sample lists: the summary of extremes that lets
// the graph draw a million samples per series, and what the drawn picture
// keeps of dense data.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <random>

#include "GraphOutput.h"
#include "ObserveUiTestSupport.h"
#include "SampleGraph.h"
#include "SampleSummary.h"
#include "SeriesChoice.h"
#include "SeriesTable.h"
#include "TfTimeSeries.h"
#include "TimeSeriesGraph.h"
#include "TimeSeriesRecorder.h"

namespace tessra {
namespace {

ValueSpan bruteSpan(const std::vector<Sample>& samples, std::size_t from, std::size_t to)
{
    ValueSpan span;
    for (std::size_t i = from; i < to; ++i)
        span.add(samples[i].value);
    return span;
}

TEST(SampleSummary, extremes_of_any_run_match_a_pass_over_the_samples)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<double> value(-1000.0, 1000.0);
    SampleList list;
    SampleSummary summary;
    double tick = 0;
    for (int round = 0; round < 40; ++round) {
        const int added = static_cast<int>(random() % 9000);
        for (int i = 0; i < added; ++i) {
            const unsigned kind = random() % 100;
            if (kind < 2 && list.size() > 0) // replace a value in the middle
                list.add(list.samples()[random() % list.size()].tick, value(random));
            else if (kind < 4) // insert before the end
                list.add(tick * (random() % 1000) / 1000.0 + 0.5e-3, value(random));
            else if (kind < 5) // values that are not numbers
                list.add(tick += 1,
                    kind % 2 ? std::numeric_limits<double>::quiet_NaN()
                             : std::numeric_limits<double>::infinity());
            else
                list.add(tick += 1, value(random));
        }
        if (round == 20)
            list.clear();
        summary.update(list.samples(), list.dirtyFrom());
        list.markFlushed();
        ASSERT_EQ(summary.count(), list.size());

        const auto& samples = list.samples();
        for (int query = 0; query < 60 && !samples.empty(); ++query) {
            std::size_t a = random() % (samples.size() + 1);
            std::size_t b = random() % (samples.size() + 1);
            if (a > b)
                std::swap(a, b);
            const ValueSpan expected = bruteSpan(samples, a, b);
            const ValueSpan found = summary.span(samples, a, b);
            ASSERT_EQ(found.empty(), expected.empty()) << a << ".." << b;
            if (!expected.empty()) {
                ASSERT_EQ(found.min, expected.min) << a << ".." << b;
                ASSERT_EQ(found.max, expected.max) << a << ".." << b;
            }
        }
    }
}

TEST(SampleSummary, costs_a_few_bytes_per_sample)
{
    SampleList list;
    for (int i = 0; i < 1'000'000; ++i)
        list.add(i, std::sin(i * 0.001));
    SampleSummary summary;
    summary.update(list.samples(), list.dirtyFrom());
    EXPECT_LT(summary.bytes(), 3 * list.size());
}

class DenseGraph : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::loadModelWithWorld(test::fixtureModel("stats")));
        test::forgetDisplaySettings(QStringLiteral("fTimeSeries"));
        recorder = std::make_unique<TimeSeriesRecorder>(ModelApi());
        choice = std::make_unique<SeriesChoice>(recorder->table());
        window = std::make_unique<TfTimeSeries>(*recorder, *choice);
        window->resize(800, 600);
        window->show();
        recorder->table().addSeries(SeriesTable::Average, 0);
    }

    /// True when a red pixel of the series lies within `reach` pixels of the
    /// point (tick, value) in the graph's picture.
    bool redNear(const QImage& image, double tick, double value, int reach = 3) const
    {
        const TimeSeriesGraph* graph = window->graph();
        const int x = qRound(graph->xAxis->coordToPixel(tick));
        const int y = qRound(graph->yAxis->coordToPixel(value));
        for (int dy = -reach; dy <= reach; ++dy) {
            for (int dx = -reach; dx <= reach; ++dx) {
                if (!image.rect().contains(x + dx, y + dy))
                    continue;
                const QColor c = image.pixelColor(x + dx, y + dy);
                // Antialiased lines may spread over two pixels at half strength.
                if (c.red() > 200 && c.red() - c.green() > 60 && c.red() - c.blue() > 60)
                    return true;
            }
        }
        return false;
    }

    std::unique_ptr<TimeSeriesRecorder> recorder;
    std::unique_ptr<SeriesChoice> choice;
    std::unique_ptr<TfTimeSeries> window;
};

TEST_F(DenseGraph, a_single_sample_spike_among_many_is_drawn)
{
    const int count = 200'000;
    for (int i = 0; i < count; ++i)
        recorder->table().addSample(0, i, i == 123'457 ? 1.0 : (i == 50'001 ? -1.0 : 0.0));
    window->flush();
    const TimeSeriesGraph* graph = window->graph();
    // The data's range and a small margin, so that no line lies on the frame.
    ASSERT_DOUBLE_EQ(graph->yAxis->range().lower, -1.06);
    ASSERT_DOUBLE_EQ(graph->yAxis->range().upper, 1.06);
    ASSERT_GT(count, 4 * graph->axisRect()->width());

    const QImage image = GraphOutput::image(*window->graph());
    EXPECT_TRUE(redNear(image, 123'457, 1.0));
    EXPECT_TRUE(redNear(image, 50'001, -1.0));
    EXPECT_TRUE(redNear(image, 10'000, 0.0));
    EXPECT_FALSE(redNear(image, 90'000, 1.0));
}

TEST_F(DenseGraph, values_that_are_not_numbers_leave_a_gap)
{
    for (int i = 0; i < 11; ++i)
        recorder->table().addSample(
            0, i, i == 5 ? std::numeric_limits<double>::quiet_NaN() : 1.0 + (i % 2));
    window->flush();
    const QImage image = GraphOutput::image(*window->graph());
    EXPECT_TRUE(redNear(image, 3.5, 1.5, 1));
    EXPECT_FALSE(redNear(image, 4.5, 1.5, 1));
    EXPECT_FALSE(redNear(image, 5.5, 1.5, 1));
    EXPECT_TRUE(redNear(image, 6.5, 1.5, 1));
}

TEST_F(DenseGraph, zoomed_in_the_samples_beyond_the_edges_still_draw_the_line)
{
    for (int i = 0; i < 1000; ++i)
        recorder->table().addSample(0, i, 0.5);
    window->flush();
    TimeSeriesGraph* graph = window->graph();
    graph->setAutoScaling(false);
    graph->xAxis->setRange(500.2, 500.8);
    graph->yAxis->setRange(0, 1);
    graph->replot();
    const QImage image = GraphOutput::image(*graph);
    EXPECT_TRUE(redNear(image, 500.5, 0.5, 1));
}

} // namespace
} // namespace tessra
