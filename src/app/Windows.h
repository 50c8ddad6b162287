#pragma once

#include "HelpTable.h"

#include <QStringList>

#include <memory>

class QObject;
class QWidget;

namespace tessra {

class CommandError;
class CompanionWindow;
class Core;
class Dialogs;
class TdNew;
class TfAboutModel;
class TfAboutTool;
class TfDebug;
class TfInspect;
class TfMain;
class TfStop;
class TfTimeSeries;

/// The program's windows, created once in this order and living until the program
/// ends: main window TfMain, new-simulation dialog TdNew, site inspector TfInspect,
/// time-series window TfTimeSeries, about-the-model TfAboutModel, about-the-program
/// TfAboutTool, debug log TfDebug, stop-conditions dialog TfStop. Only the main window
/// is shown at start; the others are shown and hidden, never destroyed. Each window is
/// wired to the front end and the main window's commands here.
///
/// Windows also owns the help table (its ModelFolder entry follows the loaded model)
/// and installs it for openHelpPage while it lives.
///
/// The New Simulation dialog, the inspector and the debug log are views of the core's
/// NewSimulationCandidates, SiteInspector and DebugLog, which the functions exported
/// to models read and write without any window.
class Windows {
public:
    /// `arguments` are the command-line arguments after the program path; `automated`
    /// tells whether the program was started for automation. `core` and `dialogs` must
    /// outlive this object.
    Windows(Core& core, const QStringList& arguments, bool automated, Dialogs& dialogs);
    ~Windows();
    Windows(const Windows&) = delete;
    Windows& operator=(const Windows&) = delete;

    TfMain& main() { return *m_main; }
    TdNew& newSimulationDialog() { return *m_new; }
    TfInspect& inspector() { return *m_inspect; }
    TfTimeSeries& timeSeries() { return *m_timeSeries; }
    TfAboutModel& aboutModel() { return *m_aboutModel; }
    TfAboutTool& aboutTool() { return *m_aboutTool; }
    TfDebug& debugLog() { return *m_debug; }
    TfStop& stopConditions() { return *m_stop; }
    const HelpTable& helpTable() const { return m_helpTable; }

    /// The eight windows in creation order.
    QList<QWidget*> all() const;

    /// The application's one error display for a failed command of any window: the
    /// message followed by ".", the application title as caption, the error icon, OK.
    void reportError(QWidget* parent, const CommandError& error);

private:
    void createNewSimulationDialog();
    void createInspector();
    void createTimeSeries();
    void createAboutWindows();
    void createStopConditions();
    void connectHelp();

    Core& m_core;
    Dialogs& m_dialogs;
    HelpTable m_helpTable;
    // Declared in creation order, so they go in reverse order.
    std::unique_ptr<TfMain> m_main;
    std::unique_ptr<TdNew> m_new;
    std::unique_ptr<TfInspect> m_inspect;
    std::unique_ptr<TfTimeSeries> m_timeSeries;
    std::unique_ptr<TfAboutModel> m_aboutModel;
    std::unique_ptr<TfAboutTool> m_aboutTool;
    std::unique_ptr<TfDebug> m_debug;
    std::unique_ptr<TfStop> m_stop;
    // How the front end shows and hides the time-series window and the
    // stop-conditions dialog.
    std::unique_ptr<CompanionWindow> m_timeSeriesCompanion;
    std::unique_ptr<CompanionWindow> m_stopCompanion;
    // Keeps plain keys typed in the tool windows away from the main window's shortcuts.
    std::unique_ptr<QObject> m_toolKeys;
};

} // namespace tessra
