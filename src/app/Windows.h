#pragma once


#include <QStringList>

#include <memory>

namespace tessra {

class Core;
class Dialogs;
class TdNew;
class TfDebug;
class TfMain;
class WidgetCompanion;

/// The program's windows, created once in this order and living until the program
/// ends: main window TfMain, new-simulation dialog TdNew, site inspector TfInspect,
/// time-series window TfTimeSeries, about-the-model TfAboutModel, about-the-program
/// TfAboutTool, debug log TfDebug, stop-conditions dialog TfStop. Only the main window
/// is shown at start; the others are shown and hidden, never destroyed. Each window is
/// wired to the front end and the main window's commands here.
class Windows {
public:
    /// `arguments` are the command-line arguments after the program path; `automated`
    /// tells whether the program was started for automation.
    Windows(Core& core, const QStringList& arguments, bool automated, Dialogs& dialogs);
    ~Windows();
    Windows(const Windows&) = delete;
    Windows& operator=(const Windows&) = delete;

    TfMain& main() { return *m_main; }
    /// The New Simulation dialog (the exported functions read whether it is shown
    /// and its candidate values).
    TdNew& newSimulationDialog() { return *m_new; }
    /// The debug log window the exported _debugLog writes to.
    TfDebug& debugLog() { return *m_debug; }

private:
    Core& m_core;
    std::unique_ptr<TfMain> m_main;
    std::unique_ptr<TdNew> m_new;
    std::unique_ptr<TfDebug> m_debug;
    // The other windows follow here in creation order, each with its companion
    // adapter where the front end shows and hides it.
};

} // namespace tessra
