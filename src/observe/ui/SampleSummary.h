#pragma once

#include <cstddef>
#include <limits>
#include <vector>

#include "SampleList.h"

namespace tessra {

/// Smallest and largest of a set of values; empty when min > max.
struct ValueSpan {
    double min = std::numeric_limits<double>::infinity();
    double max = -std::numeric_limits<double>::infinity();

    bool empty() const { return min > max; }
    void add(double value)
    {
        // NaN fails both comparisons; infinities are left out explicitly so
        // that one of them does not stretch an axis beyond any use.
        if (value < min && value != -std::numeric_limits<double>::infinity())
            min = value;
        if (value > max && value != std::numeric_limits<double>::infinity())
            max = value;
    }
    void add(const ValueSpan& other)
    {
        if (other.min < min)
            min = other.min;
        if (other.max > max)
            max = other.max;
    }
};

/// A summary of a sample list for drawing: the extremes of the values in
/// blocks of 64 samples and in blocks of 4096, so that the extremes of any
/// run of samples cost a few block reads instead of a pass over the run.
/// About 0.25 bytes per sample.
///
/// The summary covers the first count() samples as they were at the last
/// update(); the graph draws that many and no more, which is what defers new
/// samples until the window flushes them.
class SampleSummary {
public:
    static constexpr std::size_t Block = 64;
    static constexpr std::size_t BigBlock = Block * Block;

    /// Brings the summary up to date with `samples`, of which everything
    /// from index `changedFrom` on may have changed since the last update
    /// (SampleList::Clean when only appended to, or not at all).
    void update(const std::vector<Sample>& samples, std::size_t changedFrom);
    /// Forgets everything (count() becomes 0).
    void reset();

    /// Number of samples covered.
    std::size_t count() const { return m_count; }
    /// Extremes of the finite values of samples [from, to) of `samples`,
    /// which must be the list last passed to update(); `to` <= count().
    ValueSpan span(const std::vector<Sample>& samples, std::size_t from, std::size_t to) const;
    /// Extremes of every finite value covered.
    ValueSpan span(const std::vector<Sample>& samples) const { return span(samples, 0, m_count); }

    /// Heap bytes held by the summary.
    std::size_t bytes() const
    {
        return (m_blocks.capacity() + m_bigBlocks.capacity()) * sizeof(ValueSpan);
    }

private:
    std::vector<ValueSpan> m_blocks;
    std::vector<ValueSpan> m_bigBlocks;
    std::size_t m_count = 0;
};

} // namespace tessra
