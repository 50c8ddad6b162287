// The C entry points of the model API library. Each one forwards to the one
// ModelHost and catches everything: no exception crosses into the caller.
#include "TessraAPI.h"

#include "ModelHost.h"

using tessra::api::modelHost;

namespace {

/// Runs `body`, answering `fallback` if anything is thrown.
template <typename Result, typename Body> Result guarded(Result fallback, Body&& body) noexcept
{
    try {
        return body();
    } catch (...) {
        return fallback;
    }
}

template <typename Body> void guarded(Body&& body) noexcept
{
    try {
        body();
    } catch (...) {
    }
}

} // namespace

extern "C" {

void _loadModel(const char* path)
{
    guarded([&] { modelHost().loadModel(path); });
}

const char* _getLoadModelErr(void)
{
    return guarded<const char*>(
        "Cannot load model: unknown error", [] { return modelHost().loadError(); });
}

const char* _callAboutModel(int field)
{
    return guarded<const char*>("", [&] { return modelHost().about(field); });
}

const char* _getApiVersion(void)
{
    return TESSRA_API_VERSION;
}

int _getWorldWidth(void)
{
    return modelHost().world().width();
}

int _getWorldHeight(void)
{
    return modelHost().world().height();
}

void _newAgents(void)
{
    guarded([] { modelHost().world().build(); });
}

const char* _getSimError(void)
{
    return guarded<const char*>("unknown error", [] {
        const std::string& failure = modelHost().world().failure();
        return failure.empty() ? nullptr : failure.c_str();
    });
}

void _reportModelError(const char* reason)
{
    guarded([&] { modelHost().world().reportFailure(reason); });
}

void _callSimReady(void)
{
    guarded([] { modelHost().world().simReady(); });
}

void _deleteAgents(void)
{
    guarded([] { modelHost().world().destroy(); });
}

double _callTimestep(void)
{
    return guarded(modelHost().world().time(), [] { return modelHost().world().step(); });
}

double _getSimTime(void)
{
    return modelHost().world().time();
}

double* _getPSimTime(void)
{
    return modelHost().world().timeRef();
}

void _callColorAgent(
    int column, int row, unsigned short* red, unsigned short* green, unsigned short* blue)
{
    guarded([&] { modelHost().world().color(column, row, red, green, blue); });
}

void _callColorRows(int firstRow, int rowCount, unsigned char* rgb, int bytesPerLine)
{
    guarded([&] { modelHost().world().colorRows(firstRow, rowCount, rgb, bytesPerLine); });
}

const char* _callAgentHint(int column, int row)
{
    return guarded<const char*>("", [&] { return modelHost().world().hint(column, row); });
}

void _callMouseUp(int button, int column, int row, int keys)
{
    guarded([&] { modelHost().world().mouseUp(button, column, row, keys); });
}

int _getParamCount(void)
{
    return modelHost().params().count();
}

const char* _getParamName(int index)
{
    return modelHost().params().name(index);
}

const char* _getParamNameAndProp(int index)
{
    return modelHost().params().label(index);
}

double _getParamValue(int index)
{
    return modelHost().params().value(index);
}

void _setParamValue(int index, const char* text)
{
    guarded([&] { modelHost().params().set(index, text); });
}

int _getParamRange(int index, double* minimum, double* maximum, unsigned char* whole)
{
    return modelHost().params().range(index, minimum, maximum, whole) ? 1 : 0;
}

unsigned char _validateParam(int index, const char* text, int /*quiet: nothing is ever shown*/)
{
    return guarded<unsigned char>(0, [&] {
        return static_cast<unsigned char>(modelHost().params().validate(index, text) ? 1 : 0);
    });
}

const char* _callAboutParam(int index, const double* candidates)
{
    return guarded<const char*>("", [&] { return modelHost().params().about(index, candidates); });
}

double* getParamRef(const char* name)
{
    return guarded<double*>(nullptr, [&] { return modelHost().params().ref(name); });
}

void _loadParams(const char* path)
{
    if (path)
        guarded([&] { modelHost().params().load(path); });
}

void _saveParams(const char* path)
{
    if (path && *path)
        guarded([&] { modelHost().params().save(path); });
}

const char* _saveParamsText(const char* text, size_t size, size_t* resultSize)
{
    if (resultSize)
        *resultSize = 0;
    return guarded<const char*>(nullptr, [&]() -> const char* {
        if (!modelHost().model())
            return nullptr;
        const std::string& answer = modelHost().keep(
            modelHost().params().saveToText(text ? std::string(text, size) : std::string()));
        if (resultSize)
            *resultSize = answer.size();
        return answer.c_str();
    });
}

int _getStateCount(void)
{
    return modelHost().stateCount();
}

const char* _getStateName(int index)
{
    return modelHost().stateName(index);
}

double _getStateValue(int column, int row, int index)
{
    return modelHost().world().stateValue(column, row, index);
}

float* _getStateByName(int column, int row, const char* name)
{
    return modelHost().world().stateRef(column, row, name);
}

const char* _callAboutState(int column, int row, int index)
{
    return guarded<const char*>(
        "", [&] { return modelHost().world().aboutState(column, row, index); });
}

void forEachAgentVar(TessraSiteOperation operation, double* result, int /*always1*/)
{
    guarded([&] { modelHost().world().forEachSite(operation, result); });
}

const float* _getSiteValues(void)
{
    return modelHost().world().sites();
}

} // extern "C"
