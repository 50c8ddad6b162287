#include "SampleSummary.h"

#include <algorithm>

namespace tessra {

void SampleSummary::update(const std::vector<Sample>& samples, std::size_t changedFrom)
{
    // Blocks that hold a changed sample, or that lie beyond the samples
    // still there, are summed up again; the others stay.
    const std::size_t n = samples.size();
    const std::size_t keep = std::min({ changedFrom, m_count, n });
    for (std::size_t level = 0; level < Levels; ++level) {
        std::vector<ValueSpan>& blocks = m_levels[level];
        blocks.resize(std::min(blocks.size(), keep / blockSize(level)));
        const std::size_t below = level == 0 ? n : m_levels[level - 1].size();
        for (std::size_t b = blocks.size(); (b + 1) * Fanout <= below; ++b) {
            ValueSpan span;
            for (std::size_t i = b * Fanout; i < (b + 1) * Fanout; ++i) {
                if (level == 0)
                    span.add(samples[i].value);
                else
                    span.add(m_levels[level - 1][i]);
            }
            blocks.push_back(span);
        }
    }
    m_count = n;
}

void SampleSummary::reset()
{
    for (std::vector<ValueSpan>& blocks : m_levels) {
        blocks.clear();
        blocks.shrink_to_fit();
    }
    m_count = 0;
}

std::size_t SampleSummary::bytes() const
{
    std::size_t total = 0;
    for (const std::vector<ValueSpan>& blocks : m_levels)
        total += blocks.capacity() * sizeof(ValueSpan);
    return total;
}

ValueSpan SampleSummary::span(
    const std::vector<Sample>& samples, std::size_t from, std::size_t to) const
{
    // Climb from `from` with the largest aligned blocks that fit, then come
    // down again towards `to`: at most Fanout - 1 reads per level and side.
    ValueSpan span;
    to = std::min({ to, m_count, samples.size() });
    std::size_t i = from;
    while (i < to) {
        std::size_t level = Levels;
        while (level > 0) {
            const std::size_t size = blockSize(level - 1);
            if ((i & (size - 1)) == 0 && i + size <= to)
                break;
            --level;
        }
        if (level == 0) {
            span.add(samples[i].value);
            ++i;
        } else {
            span.add(m_levels[level - 1][i >> blockShift(level - 1)]);
            i += blockSize(level - 1);
        }
    }
    return span;
}

} // namespace tessra
