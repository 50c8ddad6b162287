#pragma once

#include "DebugLog.h"
#include "FrontEnd.h"
#include "ModelApi.h"
#include "MovieRecorder.h"
#include "NewSimulationCandidates.h"
#include "SeriesChoice.h"
#include "SiteInspector.h"
#include "StopConditions.h"
#include "TimeSeriesRecorder.h"

#include <memory>

namespace tessra {

/// The front end's logic objects, created once in dependency order and living as long
/// as the program: the recorder and the stop conditions, then the operations that use
/// them, then the state the windows show (the values of the New Simulation dialog, the
/// inspected site, the debug log). Windows, the exported functions and the automation
/// server are handed this; the windows are views of its parts.
class Core {
public:
    Core();
    ~Core();
    Core(const Core&) = delete;
    Core& operator=(const Core&) = delete;

    ModelApi model() const { return m_model; }
    TimeSeriesRecorder& recorder() { return m_recorder; }
    /// The choice of the next series to plot; refreshed after every model load and
    /// new world.
    SeriesChoice& seriesChoice() { return m_seriesChoice; }
    StopConditions& stopConditions() { return m_stopConditions; }
    FrontEnd& frontEnd() { return m_frontEnd; }
    /// Movies of the run: frames at the front end's steps; a new world (a new
    /// simulation or model load) finishes the file.
    MovieRecorder& movieRecorder() { return m_movieRecorder; }
    /// The values being edited for a new simulation, and whether the New Simulation
    /// dialog is showing.
    NewSimulationCandidates& newSimulationCandidates() { return m_candidates; }
    /// The site under the pointer, followed while the inspector is shown (the front
    /// end's Inspect Sites shows and hides it); its states follow every new world.
    SiteInspector& siteInspector() { return m_siteInspector; }
    /// The model's debug log.
    DebugLog& debugLog() { return m_debugLog; }

private:
    ModelApi m_model;
    TimeSeriesRecorder m_recorder;
    SeriesChoice m_seriesChoice;
    StopConditions m_stopConditions;
    FrontEnd m_frontEnd;
    MovieRecorder m_movieRecorder;
    NewSimulationCandidates m_candidates;
    SiteInspector m_siteInspector;
    DebugLog m_debugLog;
    std::unique_ptr<CompanionWindow> m_inspectorShowing;
};

} // namespace tessra
