#pragma once

#include <array>
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
/// blocks of 8 samples, of 64, of 512 and of 4096, so that the extremes of
/// any run of samples cost a few reads at each level (at most seven blocks
/// per level at either end) instead of a pass over the run. About 2.3 bytes
/// per sample.
///
/// The summary covers the first count() samples as they were at the last
/// update(); the graph draws that many and no more, which is what defers new
/// samples until the window flushes them.
class SampleSummary {
public:
    static constexpr std::size_t FanoutShift = 3;
    static constexpr std::size_t Fanout = std::size_t(1) << FanoutShift;
    static constexpr std::size_t Levels = 4;

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

    /// Asks the processor to fetch what a span ending near `index` reads.
    void prefetch(const std::vector<Sample>& samples, std::size_t index) const
    {
        __builtin_prefetch(&samples[index]);
        for (std::size_t level = 0; level < Levels; ++level) {
            const std::size_t block = index >> blockShift(level);
            if (block < m_levels[level].size())
                __builtin_prefetch(&m_levels[level][block]);
        }
    }

    /// Heap bytes held by the summary.
    std::size_t bytes() const;

private:
    /// Samples per block of `level` are 1 << blockShift(level).
    static constexpr std::size_t blockShift(std::size_t level) { return FanoutShift * (level + 1); }
    static constexpr std::size_t blockSize(std::size_t level)
    {
        return std::size_t(1) << blockShift(level);
    }

    /// m_levels[l][b]: extremes of samples [b * blockSize(l), (b + 1) * blockSize(l)),
    /// complete blocks only.
    std::array<std::vector<ValueSpan>, Levels> m_levels;
    std::size_t m_count = 0;
};

} // namespace tessra
