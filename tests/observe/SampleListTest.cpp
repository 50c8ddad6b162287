#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "SampleList.h"

using tessra::Sample;
using tessra::SampleList;

namespace {

std::vector<double> ticks(const SampleList& list)
{
    std::vector<double> result;
    for (const Sample& s : list.samples())
        result.push_back(s.tick);
    return result;
}

} // namespace

TEST(sample_list, keeps_ticks_in_order_and_replaces_equal_ticks)
{
    SampleList list;
    list.add(0.0, 10.0);
    list.add(2.0, 12.0);
    list.add(3.1, 13.0);
    list.add(1.0, 11.0); // earlier: inserted in order
    list.add(2.0, 22.0); // same tick: the second value stays
    list.add(3.1, 23.0);
    list.add(-1.0, 9.0);
    EXPECT_EQ(ticks(list), (std::vector<double> { -1.0, 0.0, 1.0, 2.0, 3.1 }));
    EXPECT_EQ(list.samples()[3].value, 22.0);
    EXPECT_EQ(list.samples()[4].value, 23.0);
    list.add(std::numeric_limits<double>::quiet_NaN(), 1.0);
    EXPECT_EQ(list.size(), 5u);
    // NaN values are data like any other.
    list.add(4.0, std::numeric_limits<double>::quiet_NaN());
    EXPECT_TRUE(std::isnan(list.samples().back().value));
}

TEST(sample_list, tracks_the_first_changed_sample_since_the_last_flush)
{
    SampleList list;
    EXPECT_FALSE(list.isDirty());
    for (int t = 0; t < 10; ++t)
        list.add(t, t);
    EXPECT_EQ(list.dirtyFrom(), 0u);
    list.markFlushed();
    EXPECT_FALSE(list.isDirty());
    list.add(10.0, 1.0);
    EXPECT_EQ(list.dirtyFrom(), 10u);
    list.add(4.5, 1.0); // moves every later sample
    EXPECT_EQ(list.dirtyFrom(), 5u);
    list.add(7.0, 3.0);
    EXPECT_EQ(list.dirtyFrom(), 5u);
    list.markFlushed();
    list.add(8.0, 5.0); // a replaced value
    EXPECT_EQ(list.dirtyFrom(), 9u);
    list.markFlushed();
    list.clear();
    EXPECT_TRUE(list.isDirty());
    EXPECT_EQ(list.dirtyFrom(), 0u);
    EXPECT_TRUE(list.empty());
}

TEST(sample_list, a_million_samples_take_at_most_forty_bytes_each)
{
    static_assert(sizeof(Sample) == 16);
    SampleList list;
    for (int t = 0; t < 1000000; ++t)
        list.add(t, 0.5);
    EXPECT_LE(list.samples().capacity() * sizeof(Sample), 40u * list.size());
}
