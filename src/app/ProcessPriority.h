#pragma once

namespace tessra {

/// Lowers the calling thread's scheduling priority to the nicest value for the
/// lifetime of the object and restores it afterwards, so that building a large world
/// leaves the desktop responsive. Best effort: when the priority cannot be read, or
/// could not be raised back afterwards without privileges, nothing is changed.
class LowPriorityScope {
public:
    LowPriorityScope();
    ~LowPriorityScope();
    LowPriorityScope(const LowPriorityScope&) = delete;
    LowPriorityScope& operator=(const LowPriorityScope&) = delete;

    /// Whether the priority was lowered (and will be restored).
    bool lowered() const { return m_lowered; }

private:
    int m_previous = 0;
    bool m_lowered = false;
};

} // namespace tessra
