#include "ProcessPriority.h"

#include <cerrno>
#include <sys/resource.h>
#include <unistd.h>

namespace tessra {

namespace {

constexpr int NicestValue = 19;

// Whether this process may set its nice value back to `nice` after raising it:
// unprivileged processes may lower their nice value only down to 20 - RLIMIT_NICE.
bool mayReturnTo(int nice)
{
    if (geteuid() == 0)
        return true;
    rlimit limit {};
    if (getrlimit(RLIMIT_NICE, &limit) != 0)
        return false;
    return limit.rlim_cur == RLIM_INFINITY || static_cast<rlim_t>(20 - nice) <= limit.rlim_cur;
}

} // namespace

LowPriorityScope::LowPriorityScope()
{
    errno = 0;
    const int nice = getpriority(PRIO_PROCESS, 0);
    if (errno != 0 || nice >= NicestValue || !mayReturnTo(nice))
        return;
    if (setpriority(PRIO_PROCESS, 0, NicestValue) == 0) {
        m_previous = nice;
        m_lowered = true;
    }
}

LowPriorityScope::~LowPriorityScope()
{
    if (m_lowered)
        setpriority(PRIO_PROCESS, 0, m_previous);
}

} // namespace tessra
