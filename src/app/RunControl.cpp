#include "RunControl.h"

namespace tessra {

namespace {

constexpr bool X = true;
constexpr bool o = false;

// One row per state, in the order of RunControl::State; columns in the order of
// RunControl::Command: Run, Pause and Step, then the model's commands.
constexpr std::array<RunControl::Commands, 7> Table { {
    // Run Pause Step | New Load Save Insp Series Stop Help About
    { o, o, o, o, o, o, o, o, o, o, o }, // NoModel (a load failed)
    { o, o, o, X, X, X, X, X, X, X, X }, // NoWorld
    { X, o, X, X, X, X, X, X, X, X, X }, // Ready
    { o, X, o, X, X, X, X, X, X, X, X }, // Running
    { o, o, o, X, X, X, X, X, X, X, X }, // Pausing
    { o, o, o, X, X, X, X, X, X, X, X }, // SingleStep
    { o, o, o, o, o, o, o, o, o, o, o }, // Busy
} };

// Before any load the main window stands as it was built: nothing to run yet, the
// model's commands not yet switched off by a failed load.
constexpr RunControl::Commands BeforeFirstLoad { o, o, o, X, X, X, X, X, X, X, X };

} // namespace

RunControl::RunControl(QObject* parent)
    : QObject(parent)
{
}

RunControl::Commands RunControl::enabledCommands(State state, bool loadTried)
{
    if (state == State::NoModel && !loadTried)
        return BeforeFirstLoad;
    return Table[static_cast<std::size_t>(state)];
}

bool RunControl::hasModel() const
{
    return settledState() != State::NoModel;
}

bool RunControl::hasWorld() const
{
    const State state = settledState();
    return state != State::NoModel && state != State::NoWorld;
}

bool RunControl::isRunning() const
{
    return m_state == State::Running || m_state == State::Pausing || m_state == State::SingleStep;
}

bool RunControl::startRun()
{
    if (m_state != State::Ready)
        return false;
    setState(State::Running);
    return true;
}

bool RunControl::requestPause()
{
    if (m_state != State::Running)
        return false;
    setState(State::Pausing);
    return true;
}

void RunControl::endRun()
{
    if (m_state == State::Running || m_state == State::Pausing)
        setState(State::Ready);
}

bool RunControl::startStep()
{
    if (m_state != State::Ready)
        return false;
    setState(State::SingleStep);
    return true;
}

void RunControl::endStep()
{
    if (m_state == State::SingleStep)
        setState(State::Ready);
}

void RunControl::worldFreed()
{
    if (m_state != State::Busy && hasWorld())
        setState(State::NoWorld);
}

RunControl::BusyScope::BusyScope(RunControl& control)
    : m_control(control)
    , m_outermost(control.m_state != State::Busy)
{
    if (!m_outermost)
        return;
    m_control.m_afterBusy = m_control.m_state;
    m_control.setState(State::Busy);
}

RunControl::BusyScope::~BusyScope()
{
    if (m_outermost && m_control.m_state == State::Busy)
        m_control.setState(m_control.m_afterBusy);
}

void RunControl::loadSucceeded()
{
    if (m_state != State::Busy)
        return;
    m_afterBusy = State::NoWorld;
    m_loadTried = true;
}

void RunControl::loadFailed()
{
    if (m_state != State::Busy)
        return;
    m_afterBusy = State::NoModel;
    m_loadTried = true;
    setState(State::NoModel);
}

void RunControl::worldBuilt()
{
    if (m_state == State::Busy)
        setState(State::Ready);
}

void RunControl::worldMissing()
{
    if (m_state == State::Busy)
        setState(State::NoWorld);
}

RunControl::WorkScope::WorkScope(RunControl& control, Work work)
    : m_control(control)
    , m_before(control.m_work)
{
    m_control.m_work = work;
}

RunControl::WorkScope::~WorkScope()
{
    m_control.m_work = m_before;
}

void RunControl::setState(State state)
{
    if (state == m_state)
        return;
    // loadTried changes only while Busy, whose commands do not depend on it.
    const Commands before = enabledCommands(m_state, m_loadTried);
    const Commands after = enabledCommands(state, m_loadTried);
    m_state = state;
    for (int i = 0; i < CommandCount; ++i) {
        if (before[i] != after[i])
            emit commandEnabledChanged(static_cast<Command>(i), after[i]);
    }
    emit stateChanged(state);
}

} // namespace tessra
