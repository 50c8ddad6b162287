#pragma once

#include <array>

class QAction;
class QActionGroup;
class QMainWindow;
class QMenu;

namespace tessra {

/// The main window's commands, one QAction each, named as their menu items
/// (objectName). A menu item and the tool button for the same command share one action,
/// so they are enabled and disabled together.
struct MainActions {
    // File
    QAction* loadModel; // mLoadModel
    QAction* loadParameters; // Load1, tool button sbLoad
    QAction* saveParameters; // Save1
    QAction* saveParametersAs; // SaveAs1
    QAction* saveWorldPicture; // mSaveWorldPicture
    QAction* exit; // Exit1
    // View
    QMenu* portalMenu; // mPortal
    QActionGroup* zoomGroup;
    std::array<QAction*, 6> zoom; // Stretch1, Zoom50, Zoom100, Zoom200, Zoom400, Zoom800
    QAction* framerateUp; // mFramerateUp
    QAction* framerateDown; // mFramerateDown
    QAction* inspectSites; // Inspect1, tool button sbInspect
    QAction* timeSeries; // mTimeSeries, tool button sbTimeSeries
    // Simulation
    QAction* newSimulation; // New1, tool button sbNew
    QAction* run; // Run1, tool button sbRun
    QAction* pause; // Pause1, tool button sbPause
    QAction* step; // Step1, tool button sbStep
    QAction* stopConditions; // mStopConditions
    QAction* recordMovie; // mRecordMovie, a check item
    // Help
    QAction* programHelp; // mProgramHelp
    QAction* modelHelp; // mModelHelp
    QAction* aboutProgram; // mAboutTool
    QAction* aboutModel; // mAboutModel
};

/// The zoom codes of MainActions::zoom, in order.
constexpr std::array<int, 6> ZoomCodes { -1, 0, 1, 2, 4, 8 };

/// Creates the actions and the menu bar of `window`, every caption, shortcut, separator
/// and check state in place. Nothing is connected; which commands are enabled follows
/// the run state (TfMain sets them from FrontEnd).
MainActions createMainActions(QMainWindow& window);

} // namespace tessra
