#include "SampleSummary.h"

#include <algorithm>

namespace tessra {

void SampleSummary::update(const std::vector<Sample>& samples, std::size_t changedFrom)
{
    // Blocks that hold a changed sample, or that lie beyond the samples
    // still there, are summed up again; the others stay.
    const std::size_t n = samples.size();
    const std::size_t keep = std::min({changedFrom, m_count, n});
    m_blocks.resize(std::min(m_blocks.size(), keep / Block));
    m_bigBlocks.resize(std::min(m_bigBlocks.size(), keep / BigBlock));

    for (std::size_t b = m_blocks.size(); (b + 1) * Block <= n; ++b) {
        ValueSpan span;
        for (std::size_t i = b * Block; i < (b + 1) * Block; ++i)
            span.add(samples[i].value);
        m_blocks.push_back(span);
    }
    for (std::size_t b = m_bigBlocks.size(); (b + 1) * Block <= m_blocks.size(); ++b) {
        ValueSpan span;
        for (std::size_t i = b * Block; i < (b + 1) * Block; ++i)
            span.add(m_blocks[i]);
        m_bigBlocks.push_back(span);
    }
    m_count = n;
}

void SampleSummary::reset()
{
    m_blocks.clear();
    m_blocks.shrink_to_fit();
    m_bigBlocks.clear();
    m_bigBlocks.shrink_to_fit();
    m_count = 0;
}

ValueSpan SampleSummary::span(const std::vector<Sample>& samples, std::size_t from,
                              std::size_t to) const
{
    ValueSpan span;
    to = std::min({to, m_count, samples.size()});
    std::size_t i = from;
    for (; i < to && i % Block != 0; ++i)
        span.add(samples[i].value);
    for (; i + Block <= to && i % BigBlock != 0; i += Block)
        span.add(m_blocks[i / Block]);
    for (; i + BigBlock <= to; i += BigBlock)
        span.add(m_bigBlocks[i / BigBlock]);
    for (; i + Block <= to; i += Block)
        span.add(m_blocks[i / Block]);
    for (; i < to; ++i)
        span.add(samples[i].value);
    return span;
}

} // namespace tessra
