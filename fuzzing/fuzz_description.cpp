// A model's description, checked by the model library when the model loads:
// the bytes make the description (about texts, parameters, states, which
// functions are given), a real model library hands it over, and the library
// loads it through its real path.
//
// Properties: a refused model gives a load error of one line without control
// characters, and leaves no model, parameters, states or world behind (a
// valid model with a world is loaded first); an accepted model has exactly
// the parameters and states described, each parameter at its initial value
// inside its range, names unique without regard to case, and every
// parameter written to a settings file reads back under its own name with
// its own value.

#include "FuzzSupport.h"
#include "NumberRule.h"
#include "TessraAPI.h"

#include <tessra/model.h>

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <deque>
#include <dlfcn.h>
#include <map>
#include <set>
#include <string>
#include <vector>

using namespace tessra::fuzz;

namespace {

const TessraModel* g_description = nullptr;

int g_width = 2;
int g_height = 2;

void worldSize(const double*, int* width, int* height)
{
    *width = g_width;
    *height = g_height;
}

void init(TessraSim*)
{
}

double step(TessraSim* sim)
{
    return sim->time + 1;
}

void color(
    const TessraSim*, int, int, unsigned short* red, unsigned short* green, unsigned short* blue)
{
    *red = *green = *blue = 0;
}

const char* hint(const TessraSim*, int, int)
{
    return "hint";
}

int validate(int, double)
{
    return 1;
}

/// A description and the texts it points to.
struct Description {
    TessraModel model {};
    std::deque<std::string> texts;
    std::vector<TessraParamInfo> params;
    std::vector<const char*> stateNames;

    const char* text(FuzzedDataProvider& input, bool mayBeNull)
    {
        if (mayBeNull && input.ConsumeIntegralInRange(0, 7) == 0)
            return nullptr;
        return texts.emplace_back(input.ConsumeRandomLengthString(12)).c_str();
    }
};

double number(FuzzedDataProvider& input)
{
    switch (input.ConsumeIntegralInRange(0, 3)) {
    case 0:
        return input.ConsumeIntegralInRange(-3, 3);
    case 1:
        return input.ConsumeProbability<double>();
    case 2:
        return input.ConsumeFloatingPoint<double>();
    default:
        return std::ldexp(
            input.ConsumeIntegral<std::int16_t>(), input.ConsumeIntegralInRange(-8, 0));
    }
}

void describe(Description& d, FuzzedDataProvider& input)
{
    TessraModel& m = d.model;
    switch (input.ConsumeIntegralInRange(0, 7)) {
    case 0:
        m.interfaceVersion = input.ConsumeIntegral<int>();
        break;
    case 1:
        m.interfaceVersion = 1;
        break;
    default:
        m.interfaceVersion = TESSRA_MODEL_INTERFACE_VERSION;
    }
    m.name = d.text(input, true);
    m.version = d.text(input, true);
    m.copyright = d.text(input, true);
    m.comments = d.text(input, true);
    m.url = d.text(input, true);

    m.paramCount = input.ConsumeIntegralInRange(-1, 6);
    d.params.resize(static_cast<std::size_t>(std::max(m.paramCount, 0)));
    for (TessraParamInfo& p : d.params) {
        p.name = d.text(input, true);
        p.label = d.text(input, true);
        p.minimum = number(input);
        p.maximum = input.ConsumeBool() ? p.minimum + std::fabs(number(input)) : number(input);
        p.initial = input.ConsumeBool() ? p.minimum : number(input);
        p.wholeNumber = input.ConsumeBool();
        p.description = d.text(input, true);
    }
    m.params = d.params.empty() && input.ConsumeBool() ? nullptr : d.params.data();

    m.stateCount = input.ConsumeIntegralInRange(-1, 4);
    for (int i = 0; i < m.stateCount; ++i)
        d.stateNames.push_back(d.text(input, true));
    m.stateNames = d.stateNames.empty() && input.ConsumeBool() ? nullptr : d.stateNames.data();

    const auto functions = input.ConsumeIntegral<std::uint8_t>();
    m.worldSize = (functions & 1) ? nullptr : worldSize;
    m.init = (functions & 2) ? nullptr : init;
    m.step = (functions & 4) ? nullptr : step;
    m.color = (functions & 8) ? nullptr : color;
    m.hint = (functions & 16) ? hint : nullptr;
    m.validateParam = (functions & 32) ? validate : nullptr;
}

/// A valid model with two parameters, a state and a world of 2 x 2 sites.
const TessraModel& validModel()
{
    static const TessraParamInfo params[]
        = { { "Rate", "Rate", 0.5, 0, 1, 0, nullptr }, { "Size", "Size", 4, 1, 10, 1, nullptr } };
    static const char* const states[] = { "u" };
    static const TessraModel model = [] {
        TessraModel m {};
        m.interfaceVersion = TESSRA_MODEL_INTERFACE_VERSION;
        m.name = "valid";
        m.paramCount = 2;
        m.params = params;
        m.stateCount = 1;
        m.stateNames = states;
        m.worldSize = worldSize;
        m.init = init;
        m.step = step;
        m.color = color;
        return m;
    }();
    return model;
}

void load(const TessraModel* model)
{
    // Held open here, the model library is mapped once: every load still
    // takes the library's whole path (checks, dlopen, entry point, dlclose)
    // without the system loader's work and memory for each input.
    static void* const held = ::dlopen(TESSRA_FUZZ_DESCRIBED_MODEL, RTLD_NOW | RTLD_LOCAL);
    check(held != nullptr, "the described model cannot be opened");
    g_description = model;
    _loadModel(TESSRA_FUZZ_DESCRIBED_MODEL);
    g_description = nullptr;
}

void checkRefused(const char* error)
{
    const std::string text(error);
    check(!text.empty(), "a refused model has an empty load error");
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        check(byte >= 0x20 && byte != 0x7f, "the load error is not one line: " + escaped(text));
    }
    check(_getParamCount() == 0, "a refused model left parameters: " + text);
    check(_getStateCount() == 0, "a refused model left states: " + text);
    check(_getWorldWidth() == 0 && _getWorldHeight() == 0, "a refused model left a world");
    check(!_callAboutModel(0) || std::string(_callAboutModel(0)).empty(),
        "a refused model left its name");
}

void checkAccepted(const TessraModel& m)
{
    check(_getParamCount() == m.paramCount, "parameter count differs");
    check(_getStateCount() == m.stateCount, "state count differs");
    check(_getWorldWidth() == 0 && _getWorldHeight() == 0, "a new model has a world");
    std::set<std::string> names;
    for (int i = 0; i < m.paramCount; ++i) {
        const TessraParamInfo& p = m.params[i];
        check(p.name && std::string(_getParamName(i)) == p.name, "parameter name differs");
        check(names.insert(folded(p.name)).second, "two parameters named " + escaped(p.name));
        check(_getParamValue(i) == p.initial, "parameter not at its initial value");
        check(p.minimum <= p.initial && p.initial <= p.maximum,
            "accepted an initial value outside the range of " + escaped(p.name));
        check(!p.wholeNumber || std::trunc(p.initial) == p.initial,
            "accepted a fractional initial value of the whole parameter " + escaped(p.name));
    }
    std::set<std::string> states;
    for (int i = 0; i < m.stateCount; ++i) {
        check(m.stateNames[i] && std::string(_getStateName(i)) == m.stateNames[i],
            "state name differs");
        check(states.insert(folded(m.stateNames[i])).second,
            "two states named " + escaped(m.stateNames[i]));
    }

    // Every parameter reads back from a settings file under its own name.
    std::size_t size = 0;
    const char* saved = _saveParamsText("", 0, &size);
    check(saved != nullptr, "no settings text for a loaded model");
    const std::string text(saved, size);
    std::map<std::string, std::string> entries;
    for (const ReferenceEntry& entry : referenceEntries(text))
        if (entry.section == "parameters")
            entries[entry.key] = entry.value;
    check(entries.size() == names.size(), "the settings text has other entries: " + escaped(text));
    for (int i = 0; i < m.paramCount; ++i) {
        const auto found = entries.find(folded(m.params[i].name));
        check(found != entries.end(),
            "parameter " + escaped(m.params[i].name) + " is lost in " + escaped(text));
        check(tessra::readNumberText(found->second, ".") == m.params[i].initial,
            "parameter " + escaped(m.params[i].name) + " reads back as " + escaped(found->second));
    }
}

} // namespace

extern "C" __attribute__((visibility("default"))) const TessraModel* tessraFuzzedDescription()
{
    return g_description;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    Description description;
    describe(description, input);

    // A model with a world first: a refused model must take all of it away.
    g_width = g_height = 2;
    load(&validModel());
    if (const char* error = _getLoadModelErr())
        fail(std::string("the valid model is refused: ") + error);
    _newAgents();
    check(_getWorldWidth() == 2, "the valid model has no world");

    g_width = input.ConsumeIntegralInRange(0, 3);
    g_height = input.ConsumeIntegralInRange(0, 3);
    load(&description.model);
    if (const char* error = _getLoadModelErr())
        checkRefused(error);
    else
        checkAccepted(description.model);

    // Nothing stays loaded, so every input starts alike and what one input
    // leaves allocated is a leak.
    load(nullptr);
    check(_getLoadModelErr() != nullptr, "a model without a description loaded");
    return 0;
}
