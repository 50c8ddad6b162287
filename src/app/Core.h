#pragma once

#include "FrontEnd.h"
#include "ModelApi.h"
#include "MovieRecorder.h"
#include "SeriesChoice.h"
#include "StopConditions.h"
#include "TimeSeriesRecorder.h"

namespace tessra {

/// The front end's logic objects, created once in dependency order and living as long
/// as the program: the recorder and the stop conditions, then the operations that use
/// them. Windows, the exported functions and the automation server are handed this.
class Core {
public:
    Core();
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

private:
    ModelApi m_model;
    TimeSeriesRecorder m_recorder;
    SeriesChoice m_seriesChoice;
    StopConditions m_stopConditions;
    FrontEnd m_frontEnd;
    MovieRecorder m_movieRecorder;
};

} // namespace tessra
