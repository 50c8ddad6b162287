#pragma once

#include <cstddef>
#include <vector>

namespace tessra {

/// One recorded value of a series: the tick it was taken at and the value.
/// Laid out as two doubles (16 bytes), the same layout as a graph point.
struct Sample {
    double tick;
    double value;
};

/// The samples of one series in increasing tick order, no two at the same
/// tick. This is the only copy of the data: the graph draws it and the
/// export reads it.
///
/// Changes are tracked for deferred drawing: dirtyFrom() is the index of the
/// first sample that changed (or moved) since the last markFlushed(); every
/// sample from there to the end must be redrawn.
class SampleList {
public:
    /// No sample has changed since the last flush.
    static constexpr std::size_t Clean = static_cast<std::size_t>(-1);

    /// Adds a sample. A sample at a tick already present replaces that
    /// sample's value; one earlier than the last is inserted in tick order.
    /// A NaN tick has no place in the order and is ignored.
    void add(double tick, double value);
    /// Removes every sample (the view must redraw from the start).
    void clear();

    const std::vector<Sample>& samples() const { return m_samples; }
    std::size_t size() const { return m_samples.size(); }
    bool empty() const { return m_samples.empty(); }

    bool isDirty() const { return m_dirtyFrom != Clean; }
    /// Index of the first sample changed since the last flush, or Clean.
    std::size_t dirtyFrom() const { return m_dirtyFrom; }
    /// The view has drawn everything up to now.
    void markFlushed() { m_dirtyFrom = Clean; }

private:
    void touch(std::size_t index)
    {
        if (index < m_dirtyFrom)
            m_dirtyFrom = index;
    }

    std::vector<Sample> m_samples;
    std::size_t m_dirtyFrom = Clean;
};

} // namespace tessra
