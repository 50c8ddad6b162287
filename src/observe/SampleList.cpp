#include "SampleList.h"

#include <algorithm>
#include <cmath>

namespace tessra {

void SampleList::add(double tick, double value)
{
    if (std::isnan(tick))
        return;
    // The common case: a run records ticks in increasing order.
    if (m_samples.empty() || tick > m_samples.back().tick) {
        touch(m_samples.size());
        m_samples.push_back({ tick, value });
        return;
    }
    const auto at = std::lower_bound(m_samples.begin(), m_samples.end(), tick,
        [](const Sample& s, double t) { return s.tick < t; });
    const auto index = static_cast<std::size_t>(at - m_samples.begin());
    touch(index);
    if (at->tick == tick)
        at->value = value;
    else
        m_samples.insert(at, { tick, value });
}

void SampleList::clear()
{
    m_samples.clear();
    m_samples.shrink_to_fit();
    m_dirtyFrom = 0;
}

} // namespace tessra
