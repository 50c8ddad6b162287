#pragma once

#include "HelpTable.h"

#include <QStringList>

#include <memory>

class QWidget;

namespace tessra {

class CommandError;
class Core;
class Dialogs;
class TdNew;
class TfAboutModel;
class TfAboutTool;
class TfDebug;
class TfMain;
class TfStop;
class WidgetCompanion;

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
/// The functions the program exports to models reach two of these windows: `_debugLog`
/// writes to debugLog() (TfDebug::debugLog), `_isDNewVisible` and `_getDNewParamValue`
/// read newSimulationDialog() (TdNew::isShowing, TdNew::candidateValue). Whoever
/// registers those functions takes the windows from here, after construction, and
/// must unregister them before this object goes.
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
    void createAboutWindows();
    void createStopConditions();
    void connectHelp();

    Core& m_core;
    Dialogs& m_dialogs;
    HelpTable m_helpTable;
    // Declared in creation order, so they go in reverse order.
    std::unique_ptr<TfMain> m_main;
    std::unique_ptr<TdNew> m_new;
    std::unique_ptr<TfAboutModel> m_aboutModel;
    std::unique_ptr<TfAboutTool> m_aboutTool;
    std::unique_ptr<TfDebug> m_debug;
    std::unique_ptr<TfStop> m_stop;
    std::unique_ptr<WidgetCompanion> m_stopCompanion;
};

} // namespace tessra
