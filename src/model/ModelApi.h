#pragma once

#include <optional>
#include <string>

#include "TessraAPI.h"

namespace tessra {

/// The front end's one door to the model API library. Every call into the
/// library goes through here; every text the library returns is copied before
/// this returns. The object is stateless: the library holds the model, and any
/// number of copies of this object may exist. All calls belong on the GUI thread.
class ModelApi {
public:
    /// Loads the model library at `path` (freeing any previous model and world).
    void loadModel(const std::string& path) const;
    /// The load error, or nothing when a model is loaded.
    std::optional<std::string> loadModelError() const;
    bool isLoaded() const { return !loadModelError().has_value(); }
    /// About text: 0 name, 1 version, 2 copyright, 3 comments, 4 web address.
    std::string aboutModel(int field) const;
    /// The API library's own version text.
    std::string apiVersion() const;

    int worldWidth() const;
    int worldHeight() const;
    void newAgents() const;
    /// Why the last newAgents() built no world or the last timestep() failed;
    /// nothing when the last of them succeeded.
    std::optional<std::string> simError() const;
    void simReady() const;
    void deleteAgents() const;
    double timestep() const;
    double simTime() const;
    /// Address of the simulation time; valid until the next model load.
    double* simTimeRef() const;
    void colorAgent(
        int column, int row, unsigned short* red, unsigned short* green, unsigned short* blue) const
    {
        _callColorAgent(column, row, red, green, blue);
    }
    /// Colours rows firstRow .. firstRow + rowCount - 1 of a top-down RGB888 image
    /// of the world (row 0 at `rgb`, rows `bytesPerLine` bytes apart), from the
    /// colours the pixels hold; rows outside the world are left alone.
    void colorRows(int firstRow, int rowCount, unsigned char* rgb, int bytesPerLine) const
    {
        _callColorRows(firstRow, rowCount, rgb, bytesPerLine);
    }
    std::string agentHint(int column, int row) const;
    void mouseUp(int button, int column, int row, int keys) const;

    int paramCount() const;
    std::string paramName(int index) const;
    /// Display label, which may carry HTML markup.
    std::string paramLabel(int index) const;
    double paramValue(int index) const;
    void setParamValue(int index, const std::string& text) const;
    /// The acceptable values of a parameter; nothing for an index out of range.
    struct ParamRange {
        double minimum;
        double maximum;
        bool whole;
    };
    std::optional<ParamRange> paramRange(int index) const;
    bool validateParam(int index, const std::string& text) const;
    std::string aboutParam(int index, const double* candidates) const;
    /// Address of the parameter's value, or null; valid until the next model load.
    double* paramRef(const std::string& name) const;
    void loadParams(const std::string& path) const;
    void saveParams(const std::string& path) const;
    /// The settings-file text `text` with the parameter entries holding the
    /// current values, every other line as it was; nothing without a model.
    std::optional<std::string> saveParamsText(const std::string& text) const;

    int stateCount() const;
    std::string stateName(int index) const;
    double stateValue(int column, int row, int index) const;
    /// Address of a site's state, or null; valid until the next new world,
    /// model load or deleteAgents.
    float* stateRef(int column, int row, const std::string& name) const;
    std::string aboutState(int column, int row, int index) const;
    /// One pass of `operation` over the world (start call, every site, finish call).
    void forEachSite(TessraSiteOperation operation, double* result) const
    {
        forEachAgentVar(operation, result, 1);
    }
    /// The states of every site, row-major, stateCount() floats a site; null
    /// without a site holding a state. Valid until the world steps or changes.
    const float* siteValues() const { return _getSiteValues(); }
};

} // namespace tessra
