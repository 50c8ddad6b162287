#pragma once

namespace tessra {

class Core;
class FrontEnd;

/// What the nine C functions the program exports to models do (_debugLog,
/// _getDNewParamValue, _isDNewVisible, _simNew, _simPause, _simRun,
/// _simRunWait, _simStep, _simWait; see HostExports.cpp). Each is a thin entry
/// into the front end's operations, the same ones the menu commands and the
/// automation methods use, or a read of the core's state (the New Simulation
/// dialog's candidate values, the debug log); this object keeps no state of
/// its own.
///
/// C functions receive nothing to find their object by, so the exports reach
/// the one instance registered with install(): the program's only process-wide
/// entry point of this kind. Without an installed instance every export does
/// nothing and answers 0.
///
/// Every function here is noexcept: a failing operation (no model loaded, a
/// refused command) ends the call quietly, with a warning on the program's
/// error output; nothing is shown to the user and the model is never told.
///
/// Calls belong on the GUI thread, where the front end calls into the model.
/// From any other thread only debugLog() is served (the log passes the text to
/// its own thread); the others do nothing and answer 0.
///
/// Calls made while the model is at work:
/// - From inside a step (the model's time step, or anything the step calls):
///   the waiting functions (simPause, simWait, simRunWait) cannot wait, because
///   the run only stops at the end of the step under way. They give the Pause
///   command (so the run ends with this step) and return 0 at once.
///   simRunWait does not start a run then.
/// - From inside any call the front end makes to build or step the world (a
///   step, a new world with its simReady, a model load): simStep and simNew are
///   refused and do nothing, so the model is never re-entered. simRun starts
///   the run only where the Run command is available (after simReady, say); the
///   steps follow once the model's call has returned. The waits return at once.
/// - From a model call the user's input triggers (a mouse click on a site, the
///   New Simulation dialog judging a value) the functions act as usual; the
///   waits serve events, so steps run before they return.
/// - While any of these functions runs, the model's code is below it on the
///   stack: a model load asked for meanwhile (a menu command, a script's
///   LoadModel served by a wait) is refused, for it would unload that code.
class HostFunctions {
public:
    /// `core` must outlive this object.
    explicit HostFunctions(Core& core);
    /// Uninstalls this object if it is the installed one.
    ~HostFunctions();
    HostFunctions(const HostFunctions&) = delete;
    HostFunctions& operator=(const HostFunctions&) = delete;

    /// Makes this object the one the exported functions reach (replacing any
    /// other). The program installs one right after its core exists.
    void install();
    /// The installed object, or null.
    static HostFunctions* installed();

    /// _debugLog: the text, taken literally, to the core's debug log
    /// (DebugLog::write). Null adds nothing.
    void debugLog(const char* text) noexcept;
    /// _getDNewParamValue: the dialog's candidate value `index` (while hidden,
    /// the model's current value; see NewSimulationCandidates::candidateValue).
    double dNewParamValue(int index) noexcept;
    /// _isDNewVisible: true from the dialog's showing until it closes.
    bool isDNewVisible() noexcept;
    /// _simNew: pause and wait, then a new simulation from the parameter values
    /// in force (no file, no dialog).
    void simNew() noexcept;
    /// _simPause: the Pause command, then wait until no run is going. 0.
    int simPause() noexcept;
    /// _simRun: the Run command; returns at once.
    void simRun() noexcept;
    /// _simRunWait: simRun, then simWait. 0.
    int simRunWait() noexcept;
    /// _simStep: the Step command (one step and a refresh before returning).
    void simStep() noexcept;
    /// _simWait: returns once no run is going, serving events meanwhile. 0.
    int simWait() noexcept;

private:
    bool onGuiThread() const;
    bool insideStep() const;
    template <class Operation> void guarded(const char* name, Operation operation) noexcept;

    Core& m_core;
    FrontEnd& m_frontEnd;
};

} // namespace tessra
