#include "ModelApi.h"

namespace tessra {

namespace {
std::string copyText(const char* text)
{
    return text ? std::string(text) : std::string();
}
} // namespace

void ModelApi::loadModel(const std::string& path) const
{
    _loadModel(path.c_str());
}

std::optional<std::string> ModelApi::loadModelError() const
{
    const char* error = _getLoadModelErr();
    if (!error)
        return std::nullopt;
    return std::string(error);
}

std::string ModelApi::aboutModel(int field) const
{
    return copyText(_callAboutModel(field));
}
std::string ModelApi::apiVersion() const
{
    return copyText(_getApiVersion());
}

int ModelApi::worldWidth() const
{
    return _getWorldWidth();
}
int ModelApi::worldHeight() const
{
    return _getWorldHeight();
}
void ModelApi::newAgents() const
{
    _newAgents();
}
std::optional<std::string> ModelApi::simError() const
{
    const char* error = _getSimError();
    if (!error)
        return std::nullopt;
    return std::string(error);
}
void ModelApi::simReady() const
{
    _callSimReady();
}
void ModelApi::deleteAgents() const
{
    _deleteAgents();
}
double ModelApi::timestep() const
{
    return _callTimestep();
}
double ModelApi::simTime() const
{
    return _getSimTime();
}
double* ModelApi::simTimeRef() const
{
    return _getPSimTime();
}

std::string ModelApi::agentHint(int column, int row) const
{
    return copyText(_callAgentHint(column, row));
}

void ModelApi::mouseUp(int button, int column, int row, int keys) const
{
    _callMouseUp(button, column, row, keys);
}

int ModelApi::paramCount() const
{
    return _getParamCount();
}
std::string ModelApi::paramName(int index) const
{
    return copyText(_getParamName(index));
}
std::string ModelApi::paramLabel(int index) const
{
    return copyText(_getParamNameAndProp(index));
}
double ModelApi::paramValue(int index) const
{
    return _getParamValue(index);
}

void ModelApi::setParamValue(int index, const std::string& text) const
{
    _setParamValue(index, text.c_str());
}

std::optional<ModelApi::ParamRange> ModelApi::paramRange(int index) const
{
    ParamRange range {};
    unsigned char whole = 0;
    if (_getParamRange(index, &range.minimum, &range.maximum, &whole) == 0)
        return std::nullopt;
    range.whole = whole != 0;
    return range;
}

bool ModelApi::validateParam(int index, const std::string& text) const
{
    return _validateParam(index, text.c_str(), 1) != 0;
}

std::string ModelApi::aboutParam(int index, const double* candidates) const
{
    return copyText(_callAboutParam(index, candidates));
}

double* ModelApi::paramRef(const std::string& name) const
{
    return getParamRef(name.c_str());
}
void ModelApi::loadParams(const std::string& path) const
{
    _loadParams(path.c_str());
}
void ModelApi::saveParams(const std::string& path) const
{
    _saveParams(path.c_str());
}

std::optional<std::string> ModelApi::saveParamsText(const std::string& text) const
{
    std::size_t size = 0;
    const char* answer = _saveParamsText(text.data(), text.size(), &size);
    if (!answer)
        return std::nullopt;
    return std::string(answer, size);
}

int ModelApi::stateCount() const
{
    return _getStateCount();
}
std::string ModelApi::stateName(int index) const
{
    return copyText(_getStateName(index));
}

double ModelApi::stateValue(int column, int row, int index) const
{
    return _getStateValue(column, row, index);
}

float* ModelApi::stateRef(int column, int row, const std::string& name) const
{
    return _getStateByName(column, row, name.c_str());
}

std::string ModelApi::aboutState(int column, int row, int index) const
{
    return copyText(_callAboutState(column, row, index));
}

} // namespace tessra
