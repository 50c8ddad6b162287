#pragma once

#include "FrontEnd.h"
#include "ModelApi.h"
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
    StopConditions& stopConditions() { return m_stopConditions; }
    FrontEnd& frontEnd() { return m_frontEnd; }

private:
    ModelApi m_model;
    TimeSeriesRecorder m_recorder;
    StopConditions m_stopConditions;
    FrontEnd m_frontEnd;
};

} // namespace tessra
