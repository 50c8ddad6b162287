#include "ModelLibrary.h"

#include "ElfCheck.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <dlfcn.h>
#include <string_view>
#include <sys/stat.h>
#include <unordered_set>

namespace tessra::api {

namespace {

/// `text` on one line: control characters (line breaks, tabs, ...) are shown
/// escaped, so a load error is always one line whatever a model names.
std::string shown(std::string_view text)
{
    static const char digits[] = "0123456789abcdef";
    std::string result;
    result.reserve(text.size());
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n')
            result += "\\n";
        else if (c == '\r')
            result += "\\r";
        else if (c == '\t')
            result += "\\t";
        else if (byte < 0x20 || byte == 0x7f)
            result.append("\\x").append(1, digits[byte >> 4]).append(1, digits[byte & 15]);
        else
            result += c;
    }
    return result;
}

std::string quoted(const char* name)
{
    std::string text(1, '"');
    text.append(shown(name)).append(1, '"');
    return text;
}

bool hasControlCharacter(std::string_view name)
{
    for (char c : name)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f)
            return true;
    return false;
}

bool hasOuterBlank(std::string_view name)
{
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    return !name.empty() && (blank(name.front()) || blank(name.back()));
}

/// Why a settings file cannot carry `name` as the key of an entry (it would
/// read back as another key, or as no entry at all), or null.
const char* keyProblem(std::string_view name)
{
    if (hasControlCharacter(name))
        return "may not contain control characters such as line breaks";
    if (hasOuterBlank(name))
        return "may not begin or end with a blank";
    if (name.find('=') != std::string_view::npos)
        return "may not contain \"=\"";
    if (name.front() == ';' || name.front() == '#' || name.front() == '[')
        return "may not begin with \";\", \"#\" or \"[\"";
    return nullptr;
}

/// Why a settings file cannot carry `name` in a series label (the value of
/// an entry), or null.
const char* valueProblem(std::string_view name)
{
    if (hasControlCharacter(name))
        return "may not contain control characters such as line breaks";
    if (hasOuterBlank(name))
        return "may not begin or end with a blank";
    return nullptr;
}

/// Names compare without regard to the case of ASCII letters, as in files.
std::string folded(const char* name)
{
    std::string result(name);
    for (char& c : result)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return result;
}

/// dlerror() usually repeats the file name; leave it out, the message names it.
std::string loaderReason(const std::string& path)
{
    const char* text = ::dlerror();
    std::string reason = text ? text : "unknown reason";
    if (reason.rfind(path + ": ", 0) == 0)
        reason.erase(0, path.size() + 2);
    return shown(reason);
}

/// dlopen searches the library path for a bare file name; a model file is
/// always meant relative to the current folder.
std::string loaderPath(const std::string& path)
{
    return path.find('/') == std::string::npos ? "./" + path : path;
}

std::string checkParams(const TessraModel& model)
{
    if (model.paramCount < 0)
        return "the parameter count is negative";
    if (model.paramCount > 0 && !model.params)
        return "the parameter list is missing";
    std::unordered_set<std::string> names;
    names.reserve(static_cast<std::size_t>(model.paramCount));
    for (int i = 0; i < model.paramCount; ++i) {
        const TessraParamInfo& p = model.params[i];
        const std::string which = "parameter " + std::to_string(i);
        if (!p.name || !*p.name)
            return which + " has no name";
        if (const char* problem = keyProblem(p.name))
            return "the parameter name " + quoted(p.name)
                + " cannot be kept in settings files: " + "a parameter name " + problem;
        if (!names.insert(folded(p.name)).second)
            return "the parameter name " + quoted(p.name) + " is used twice";
        if (std::isnan(p.minimum) || std::isnan(p.maximum) || p.minimum > p.maximum)
            return "parameter " + quoted(p.name) + " has no valid range";
        if (!std::isfinite(p.initial) || p.initial < p.minimum || p.initial > p.maximum)
            return "the initial value of parameter " + quoted(p.name) + " is outside its range";
        if (p.wholeNumber && std::trunc(p.initial) != p.initial)
            return "the initial value of parameter " + quoted(p.name) + " is not a whole number";
    }
    return {};
}

std::string checkStates(const TessraModel& model)
{
    if (model.stateCount < 0)
        return "the state count is negative";
    if (model.stateCount > 0 && !model.stateNames)
        return "the state name list is missing";
    std::unordered_set<std::string> names;
    names.reserve(static_cast<std::size_t>(model.stateCount));
    for (int i = 0; i < model.stateCount; ++i) {
        const char* name = model.stateNames[i];
        if (!name || !*name)
            return "state " + std::to_string(i) + " has no name";
        if (const char* problem = valueProblem(name))
            return "the state name " + quoted(name)
                + " cannot be kept in settings files: " + "a state name " + problem;
        if (!names.insert(folded(name)).second)
            return "the state name " + quoted(name) + " is used twice";
    }
    return {};
}

/// The description in the present layout. A version 1 description ends at
/// cleanup: nothing after it is read, and the later functions stay null.
TessraModel copyDescription(const TessraModel& model)
{
    TessraModel copy {};
    if (model.interfaceVersion >= 2)
        copy = model;
    else
        std::memcpy(&copy, &model, offsetof(TessraModel, colorRows));
    return copy;
}

} // namespace

ModelLibrary::~ModelLibrary()
{
    close();
}

std::string ModelLibrary::descriptionProblem(const TessraModel& model)
{
    if (!model.worldSize)
        return "the world size function is missing";
    if (!model.init)
        return "the init function is missing";
    if (!model.step)
        return "the step function is missing";
    if (!model.color)
        return "the color function is missing";
    if (std::string problem = checkParams(model); !problem.empty())
        return problem;
    return checkStates(model);
}

bool ModelLibrary::open(const std::string& path, std::string& error)
{
    close();
    const std::string named = "Cannot load model \"" + shown(path) + "\": ";
    struct stat info { };
    if (path.empty()) {
        error = "Cannot load model: no file given";
        return false;
    }
    if (::stat(path.c_str(), &info) != 0) {
        error = named + "the file does not exist";
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        error = named + "it is a folder, not a model library";
        return false;
    }
    // A pipe or device would block the system loader or feed it endless data;
    // a partial copy would make it fault when it maps the missing pages.
    if (!S_ISREG(info.st_mode)) {
        error = named + "it is not a regular file";
        return false;
    }
    if (std::string problem = elfLoadProblem(path); !problem.empty()) {
        error = named + problem;
        return false;
    }
    // A library loaded before at this path has been closed by now, so its
    // static data starts afresh; RTLD_NOW reports missing symbols here rather
    // than in the middle of a run.
    const std::string loadPath = loaderPath(path);
    ::dlerror();
    void* handle = ::dlopen(loadPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        error = named + "not a loadable library (" + loaderReason(loadPath) + ")";
        return false;
    }
    auto entry = reinterpret_cast<TessraModelEntry>(::dlsym(handle, TESSRA_MODEL_ENTRY));
    const TessraModel* model = entry ? entry() : nullptr;
    if (!entry)
        error = named + "it has no model entry point (" TESSRA_MODEL_ENTRY ")";
    else if (!model)
        error = named + "its model entry point returned no description";
    else if (model->interfaceVersion < TESSRA_MODEL_OLDEST_INTERFACE_VERSION
        || model->interfaceVersion > TESSRA_MODEL_INTERFACE_VERSION)
        error = named + "it was built for model interface version "
            + std::to_string(model->interfaceVersion) + ", this program loads versions "
            + std::to_string(TESSRA_MODEL_OLDEST_INTERFACE_VERSION) + " to "
            + std::to_string(TESSRA_MODEL_INTERFACE_VERSION);
    else if (std::string problem = descriptionProblem(*model); !problem.empty())
        error = named + "invalid model description: " + problem;
    else {
        m_handle = handle;
        m_description = copyDescription(*model);
        m_model = &m_description;
        return true;
    }
    ::dlclose(handle);
    return false;
}

void ModelLibrary::close()
{
    m_model = nullptr;
    m_description = TessraModel {};
    if (m_handle) {
        void* handle = m_handle;
        m_handle = nullptr;
        ::dlclose(handle);
    }
}

} // namespace tessra::api
