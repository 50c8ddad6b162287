#pragma once

#include <QObject>

#include <array>

namespace tessra {

/// Where a run stands, and with it which commands the user may give.
///
/// The state is kept explicitly and changes only by the transitions below; the enabled
/// commands follow from it alone (enabledCommands), so a menu item and the state it
/// stands for never disagree. Beside the state RunControl keeps what is on the call
/// stack: the program's own call into the model (a step, a model load or world build)
/// and the model's calls back into the program. Those are orthogonal to the state: a
/// run is Running between its steps and inside them, a new world's model is told it is
/// ready once the state is Ready again, and a model's call may wait while a run goes on.
///
/// RunControl knows neither the model nor the timers; FrontEnd drives it. Everything
/// runs on the GUI thread.
class RunControl : public QObject {
    Q_OBJECT
public:
    /// Commands enabled and disabled as one (a menu item and its tool button). Load
    /// Model, Exit, the zoom and frame-rate items and the program's own help and about
    /// items are never disabled and are not listed.
    enum class Command {
        Run,
        Pause,
        Step,
        New,
        LoadParameters,
        SaveParameters, ///< Save Parameters and Save Parameters As
        InspectSites,
        TimeSeries,
        StopConditions,
        ModelHelp,
        AboutModel,
    };
    Q_ENUM(Command)
    static constexpr int CommandCount = 11;
    using Commands = std::array<bool, CommandCount>;

    enum class State {
        NoModel, ///< no model loaded: before the first load, or the last load failed
        NoWorld, ///< a model is loaded; its last new simulation built no world, or it was freed
        Ready, ///< a world, paused
        Running, ///< a run goes on
        Pausing, ///< a pause was asked for; the run ends after the next step
        SingleStep, ///< one single step with its refresh
        Busy, ///< a model is being loaded or a world built
    };
    Q_ENUM(State)

    /// The program's own call into the model now under way.
    enum class Work {
        None,
        Step, ///< a step of the model (of a run or a single step)
        World, ///< a model load or a new world, up to the model's own end of it
    };

    explicit RunControl(QObject* parent = nullptr);

    /// The commands enabled in `state`. `loadTried`: whether a model load has been made
    /// yet; before the first one the model's commands stand enabled, as the main window
    /// is built, and only a load that fails disables them.
    static Commands enabledCommands(State state, bool loadTried);

    State state() const { return m_state; }
    Commands enabledCommands() const { return enabledCommands(m_state, m_loadTried); }
    bool isEnabled(Command command) const { return enabledCommands()[static_cast<int>(command)]; }
    /// A model is loaded. While Busy: the one before a load, or the new one once it loaded.
    bool hasModel() const;
    /// The model has a world to step, draw and click on (while Busy: as for hasModel).
    bool hasWorld() const;
    /// A run goes on or a single step is under way: Running, Pausing, SingleStep.
    bool isRunning() const;

    // ---- transitions; each does nothing in a state it does not start from ------------

    /// Ready -> Running. False in any other state.
    bool startRun();
    /// Running -> Pausing. False in any other state.
    bool requestPause();
    /// Running or Pausing -> Ready: the run has ended.
    void endRun();
    /// Ready -> SingleStep. False in any other state.
    bool startStep();
    /// SingleStep -> Ready.
    void endStep();
    /// Ready (or a run that could not end first) -> NoWorld: the world was freed.
    void worldFreed();

    /// Busy while it lives: a model is loaded or a world built. Nested scopes are one
    /// Busy period. When the outermost ends while still Busy (the work was given up by an
    /// error before its outcome), the state goes back to where it came from, or to
    /// NoWorld once loadSucceeded() was called.
    class BusyScope {
    public:
        explicit BusyScope(RunControl& control);
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        RunControl& m_control;
        bool m_outermost;
    };
    /// Busy: the model library loaded a model; it has no world yet.
    void loadSucceeded();
    /// Busy -> NoModel: the model library holds no model.
    void loadFailed();
    /// Busy -> Ready: the new world exists.
    void worldBuilt();
    /// Busy -> NoWorld: the model built no world.
    void worldMissing();

    // ---- the call stack --------------------------------------------------------------

    /// Marks the program's call into the model for its lifetime.
    class WorkScope {
    public:
        WorkScope(RunControl& control, Work work);
        ~WorkScope();
        WorkScope(const WorkScope&) = delete;
        WorkScope& operator=(const WorkScope&) = delete;

    private:
        RunControl& m_control;
        Work m_before;
    };
    Work work() const { return m_work; }
    bool isInsideStep() const { return m_work == Work::Step; }
    bool isInsideModelCall() const { return m_work != Work::None; }

    /// Calls of the model back into the program now on the stack.
    void enterModelCallback() { ++m_callbacks; }
    void leaveModelCallback() { --m_callbacks; }
    int modelCallbackDepth() const { return m_callbacks; }

signals:
    void stateChanged(tessra::RunControl::State state);
    /// One signal per command whose enabled state differs before and after a
    /// transition, in the order of Command, before stateChanged.
    void commandEnabledChanged(tessra::RunControl::Command command, bool enabled);

private:
    void setState(State state);
    /// The state that counts for hasModel and hasWorld: while Busy, the one it returns to.
    State settledState() const { return m_state == State::Busy ? m_afterBusy : m_state; }

    State m_state = State::NoModel;
    State m_afterBusy = State::NoModel;
    bool m_loadTried = false;
    Work m_work = Work::None;
    int m_callbacks = 0;
};

} // namespace tessra
