#pragma once

#include "ModelApi.h"
#include "PacedTimer.h"
#include "RunControl.h"

#include <QElapsedTimer>
#include <QImage>
#include <QLocale>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

namespace tessra {

class StopConditions;
class TimeSeriesRecorder;

/// A window the front end shows and hides: the site inspector, the time-series window
/// and the stop-conditions dialog attach one each (see FrontEnd::attachInspector ...).
class CompanionWindow {
public:
    virtual ~CompanionWindow() = default;
    virtual bool isShown() const = 0;
    virtual void setShown(bool shown) = 0;
};

/// The front end's one set of operations: model loading, new simulations, run control,
/// display refresh, the world image and the companion windows' visibility. The menu
/// commands, the tool bar, the functions exported to models and the automation server
/// all call these, so a script does exactly what the matching command does.
///
/// FrontEnd owns the run control (RunControl: the run state, from which the enabled
/// commands follow), the two paced timers, the world image (one pixel per
/// site, 24 bits), the current parameter file, the model's folder and the status texts.
/// It knows no widget: views follow it through its signals, and it runs without any
/// window (tests, benchmarks, headless drivers). It shows no dialogs: commands that ask
/// the user belong to the windows, which call these operations afterwards.
///
/// Everything runs on the GUI thread. A failing operation throws CommandError.
/// Operations that would re-enter the model while it is at work (a step, a world being
/// built, a model being loaded) are refused: steps are ignored, loads and new
/// simulations throw, waits return at once.
class FrontEnd : public QObject {
    Q_OBJECT
public:
    /// Commands enabled and disabled as one (a menu item and its tool button).
    using Command = RunControl::Command;
    static constexpr int CommandCount = RunControl::CommandCount;
    /// Where the run stands (RunControl::State).
    using RunState = RunControl::State;

    /// The refresh share of the frame-rate settings 0 Slow, 1 Medium, 2 Fast.
    static constexpr int SlowShare = 50;
    static constexpr int MediumShare = 1;
    static constexpr int FastShare = 0;
    /// The refresh interval before the first adaptation (ms).
    static constexpr int InitialRefreshInterval = 34;

    FrontEnd(ModelApi model, TimeSeriesRecorder& recorder, StopConditions& stopConditions,
        QObject* parent = nullptr);
    ~FrontEnd() override;

    // ---- model loading and new simulations --------------------------------------------

    /// Loads the model library `path` (an empty path keeps the model the library holds)
    /// and, on success, creates the first simulation from the start-up settings file or
    /// the "default.ini" in the loaded model's own folder. Pauses first. True when a
    /// model is loaded afterwards; the reason of a failure is loadModelError(). Throws
    /// CommandError when the model is at work, or when the first simulation fails (its
    /// settings cannot be read, the model built no world); the model is loaded then.
    bool loadModelFile(const QString& path);
    /// Builds a new world from `settingsFile` (empty: the parameter values in force),
    /// clears the recorded series and records their first samples. Pauses first.
    /// Throws CommandError with no model loaded, while the model is at work, when the
    /// series selections of `settingsFile` cannot be read (the world is built then), or
    /// when the model built no world ("The model built no world (<reason>)"; Run and
    /// Step stay disabled until a new simulation succeeds).
    void newSimulation(const QString& settingsFile);
    /// Whether a model is loaded without error.
    bool isModelLoaded() const { return m_run.hasModel(); }
    /// The load error of the model library; empty when a model is loaded.
    QString loadModelError() const;
    /// The model's name for captions: its own name, or "Model" when it gives none.
    QString modelCaptionName() const { return m_modelCaptionName; }
    /// Pauses and tells the model library to free the world (Exit). Run and Step are
    /// disabled afterwards. Does nothing without a model or when already freed;
    /// refused (CommandError) while a call of the model waits in the program.
    void freeWorld();

    /// The settings file named on the command line; read by the next successful model
    /// load, which then empties it.
    QString startupSettingsFile() const { return m_startupSettingsFile; }
    void setStartupSettingsFile(const QString& file) { m_startupSettingsFile = file; }

    /// The file behind Save Parameters; empty when there is none.
    QString currentParameterFile() const { return m_currentParameterFile; }
    void setCurrentParameterFile(const QString& file) { m_currentParameterFile = file; }
    /// Window title update: a non-empty `file` becomes the current parameter file; the
    /// title becomes "Tessra", then ": " and the model's name if it has one, then " - "
    /// and the current parameter file's name without its folder if there is one.
    void updateWindowTitle(const QString& file);
    /// Load Parameters once a file is chosen: pauses, makes `file` the current parameter
    /// file (window title update), then creates a new simulation from it (parameters and
    /// time-series selections). Throws CommandError with no model loaded, an empty name,
    /// a file that exists but is no regular file (a folder, a FIFO) or while the model is
    /// at work (nothing changes then), or as newSimulation does (the file stays the
    /// current parameter file).
    void loadParameters(const QString& file);
    /// Save Parameters: pauses, then writes the model's parameter values and the
    /// time-series selections into the current parameter file in one atomic replacement
    /// (every line outside those two sections stays byte for byte), then refreshes the
    /// title. Throws CommandError with no model loaded, without a current parameter file,
    /// while the model is at work, or when the file cannot be written (a file the user
    /// may not write, a folder): the file and the title are unchanged then.
    void saveParameters();
    /// Save Parameters As once a name is confirmed: writes `file` as saveParameters()
    /// does; once it is written, `file` becomes the current parameter file and the title
    /// shows it. Throws as saveParameters does (nothing changes then), and for an empty
    /// name.
    void saveParametersAs(const QString& file);
    /// The main window's caption: "Tessra" until the first title update.
    QString windowTitle() const { return m_windowTitle; }
    /// The application's title (error-box captions): "Tessra - " + description until
    /// the first title update, then the window title.
    QString applicationTitle() const { return m_applicationTitle; }

    /// The folder of the loaded model library with its trailing separator (the help
    /// table's ModelFolder entry): the current folder until a model loads.
    QString modelFolder() const { return m_modelFolder; }

    // ---- companion windows ------------------------------------------------------------

    /// Attach the real windows; until then only the check marks are kept. The front end
    /// does not own them. Pass nullptr to detach.
    void attachInspector(CompanionWindow* window);
    void attachTimeSeriesWindow(CompanionWindow* window);
    void attachStopConditionsWindow(CompanionWindow* window);

    /// Sets the Inspect Sites check mark and shows or hides the site inspector, then
    /// asks for the focus to go back to the main window.
    void setInspectorVisible(bool show);
    bool isInspectorChecked() const { return m_inspectorChecked; }
    /// Sets the Time Series check mark and shows or hides the time-series window.
    void setTimeSeriesVisible(bool show);
    bool isTimeSeriesChecked() const { return m_timeSeriesChecked; }
    /// Shows or hides the stop-conditions dialog; answers whether it is shown.
    bool setStopConditionsVisible(bool show);

    // ---- run control ------------------------------------------------------------------

    /// True from Run until the pause has completed at the end of a step, and during a
    /// single step: the states Running, Pausing and SingleStep.
    bool isRunning() const { return m_run.isRunning(); }
    RunState runState() const { return m_run.state(); }
    bool isCommandEnabled(Command command) const { return m_run.isEnabled(command); }
    /// The run state and the call stack; the command enabling follows from it.
    const RunControl& runControl() const { return m_run; }

    /// Starts or continues the run. Refused (false) unless Run is enabled: no model, a
    /// run already going, or a step under way.
    bool Run1Click();
    /// Asks the run to stop; the run ends after the step that follows. Does nothing
    /// unless a run is going (Pause enabled).
    void requestPause();
    /// One single step with recording, the stop test and a refresh. While a run is going
    /// it pauses and waits first. Refused (false) without a model or inside a step or
    /// another model call.
    bool sbStepClick();
    /// Returns once isRunning() is false, serving the event loop meanwhile. Returns at
    /// once when no run is going, and when called while the model is at work (from
    /// inside a step), since the run could not end before the caller returns.
    void waitWhileRunning();
    /// requestPause(), then waitWhileRunning().
    void pauseAndWait();
    /// One step of the run (the run timer's handler): step the model, record when the
    /// time passes a whole tick, test the stop conditions, refresh at Fast, end the run
    /// if a pause was requested. Ignored inside another step. A step the model reports
    /// as failed ends the run (or the single step) and then throws CommandError
    /// "The step of the model failed (<the model's reason>)".
    void atRunTimer();
    /// A run for drivers without a screen: the same steps as a run (recording, the stop
    /// test) in a loop of its own, with no timer, no drawing and no events served, until
    /// the time reaches `untilTick` (negative: no limit), a stop condition holds or a
    /// pause is requested (the model's _simPause, or `afterStep` calling requestPause).
    /// `afterStep`, if given, is called after every step with the time. The run state is
    /// Running meanwhile and Ready afterwards. Refused (false) unless Run is enabled.
    /// A step the model reports as failed ends the run and throws as atRunTimer does.
    bool runWithoutScreen(double untilTick, const std::function<void(double tick)>& afterStep = {});
    /// One display refresh (the refresh timer's handler): draw the world, let views
    /// flush, update the rate panels and adapt the refresh interval.
    void atRefreshTimer();
    /// Whether a step of the model is under way (the exported functions refuse then).
    bool isInsideStep() const { return m_run.isInsideStep(); }
    /// Whether the front end is inside a call into the model that builds or steps
    /// (a step, a new world, a model load).
    bool isInsideModelCall() const { return m_run.isInsideModelCall(); }
    /// Marks the model's code as on the call stack: a model called back into the
    /// program (the exported functions), whose waits serve events. While marked,
    /// nothing may free or replace the world or the model the program returns
    /// into: loadModelFile, newSimulation, loadParameters and freeWorld refuse.
    void enterModelCallback() { m_run.enterModelCallback(); }
    void leaveModelCallback() { m_run.leaveModelCallback(); }
    /// Calls of the model into the program now on the stack.
    int modelCallbackDepth() const { return m_run.modelCallbackDepth(); }
    /// Throws CommandError ("<what> while the model waits in one of its calls")
    /// while a call of the model into the program is on the stack.
    void refuseWhileModelWaits(const char* what) const;
    /// The model's own request for a new simulation (_simNew), made from one of
    /// its calls (a mouse-up): that call alone may be on the stack, since the
    /// model asked for its world to be replaced; any further one refuses.
    void newSimulationForModel();

    /// tbFrameRateChange: 0 Slow, 1 Medium, 2 Fast. Throws CommandError for any other.
    void setFrameRate(int position);
    int frameRate() const { return m_frameRate; }
    void increaseFrameRate();
    void decreaseFrameRate();
    /// "Framerate=Slow", "Framerate=Medium" or "Framerate=Fast".
    static QString frameRateHint(int position);
    int refreshShare() const { return m_refreshShare; }
    bool isRunTimerEnabled() const { return m_runTimer.isEnabled(); }
    bool isRefreshTimerEnabled() const { return m_refreshTimer.isEnabled(); }
    int refreshInterval() const { return m_refreshTimer.interval(); }

    // ---- display ----------------------------------------------------------------------

    /// Colours every pixel of the world image from the model (one call per site) and
    /// updates the tick text; emits worldImageChanged().
    void drawWorld();
    /// One pixel per site, 24 bits, black after every new simulation; null while the
    /// world has no sites.
    const QImage& worldImage() const { return m_worldImage; }
    QSize worldSize() const { return m_worldImage.size(); }

    void setStatusText(const QString& text);
    QString statusText() const { return m_statusText; }
    QString tickText() const { return m_tickText; }
    QString frameRateText() const { return m_frameRateText; }
    QString tickRateText() const { return m_tickRateText; }

    /// The pointer moved over a site: tells the inspector (siteInspected) and, when the
    /// site differs from the last one hinted, answers the model's hint for it.
    std::optional<QString> hoverSite(int column, int row);
    /// The last site whose hint was asked; (-1, -1) after a new simulation.
    QPoint lastHintedSite() const { return m_lastHinted; }
    /// A mouse button was released over a site (codes of mouseUpCodes): the model's
    /// mouse-up handler, then the world redrawn (drawWorld) and the site's hint asked
    /// again, which is answered. Ignored (nothing answered) without a world and while
    /// the model is at work.
    std::optional<QString> releaseOnSite(int button, int column, int row, int keys);
    /// Reduces the user interface to its minimum: collapse the main window
    /// (minimalUiRequested), frame rate Slow, time-series window and inspector hidden.
    void showMinimalUi();

signals:
    void statusTextChanged(const QString& text);
    void tickTextChanged(const QString& text);
    void frameRateTextChanged(const QString& text);
    void tickRateTextChanged(const QString& text);
    /// A command pair was enabled or disabled (a change of the run state).
    void commandEnabledChanged(tessra::RunControl::Command command, bool enabled);
    /// The model's caption name changed ("Model" when it has none).
    void modelCaptionNameChanged(const QString& name);
    /// Window title update: the main window's caption and the application's title.
    void titleChanged(const QString& title);
    /// The world image was redrawn or resized: repaint the portal.
    void worldImageChanged();
    /// The main window takes no input while a world is built.
    void inputEnabledChanged(bool enabled);
    void frameRateChanged(int position);
    void inspectorCheckedChanged(bool checked);
    void timeSeriesCheckedChanged(bool checked);
    /// The main window should take the focus back (after the inspector was shown).
    void mainWindowFocusRequested();
    /// A new world exists; the inspector rebuilds its list of state names.
    void worldCreated();
    /// A refresh has drawn the world; views of recorded data flush their drawing.
    void refreshed();
    /// A step of the model ended at simulation time `time`, after its samples were
    /// recorded and the stop conditions tested, before any refresh; also after each
    /// step of a run without a screen.
    void stepped(double time);
    /// The pointer is over a site; colour is red | green << 8 | blue << 16.
    void siteInspected(int column, int row, int colour);
    /// showMinimalUi: the main window collapses to its tool and status bars.
    void minimalUiRequested();
    /// A model was loaded from `folder` (with its trailing separator).
    void modelFolderChanged(const QString& folder);
    /// A load succeeded (also one that keeps the model the library holds), before
    /// its first simulation: lists of the model's names are filled afresh.
    void modelLoaded();

private:
    void buildSimulation(const QString& settingsFile);
    void fitWorldImage();
    [[noreturn]] void refuseMissingWorld(const QString& reason);
    void updateModelCaptions();
    void refuseWhileModelWorks(const char* what) const;
    void refuseWhileModelWaits(const char* what, int ownCallbacks) const;
    void createSimulation(const QString& settingsFile, int ownCallbacks);
    void endRun();
    enum class StepResult { GoOn, Stop, Failed };
    StepResult stepAndRecord();
    [[noreturn]] void throwStepFailure() const;
    double clockSeconds() const;
    void setText(QString& field, const QString& text, void (FrontEnd::*signal)(const QString&));

    ModelApi m_model;
    TimeSeriesRecorder& m_recorder;
    StopConditions& m_stopConditions;

    RunControl m_run;

    QString m_startupSettingsFile;
    QString m_currentParameterFile;
    QString m_windowTitle;
    QString m_applicationTitle;
    QString m_modelCaptionName;
    QString m_modelFolder;

    CompanionWindow* m_inspector = nullptr;
    CompanionWindow* m_timeSeriesWindow = nullptr;
    CompanionWindow* m_stopConditionsWindow = nullptr;
    bool m_inspectorChecked = false;
    bool m_timeSeriesChecked = false;
    bool m_stopConditionsShown = false;

    PacedTimer m_runTimer;
    PacedTimer m_refreshTimer;
    int m_frameRate = 1;
    int m_refreshShare = MediumShare;

    QElapsedTimer m_clock;
    bool m_stopwatchRunning = false;
    double m_stopwatchStart = 0;
    double m_stopwatchAccumulated = 0;
    bool m_firstRefreshDone = false;
    double m_previousSimTime = 0;

    QImage m_worldImage;
    QLocale m_locale;
    QPoint m_lastHinted { -1, -1 };
    QString m_statusText;
    QString m_tickText;
    QString m_frameRateText;
    QString m_tickRateText;
};

} // namespace tessra
