// The "Parameters" entries of a settings file, read and written by the model
// library for a real model (the forest-fire example, whose own check ties
// two parameters together).
//
// Properties: loading takes, parameter by parameter in description order,
// exactly the entries that are numbers by the reading rule, inside the range
// and accepted by the model, and keeps the value otherwise; saving into the
// file's text changes no line outside the section and writes every value
// so that it reads back exactly; loading the saved text gives the same values.

#include "FuzzSupport.h"
#include "NumberRule.h"
#include "TessraAPI.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

using namespace tessra::fuzz;

namespace {

std::string typed(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::vector<double> values()
{
    std::vector<double> out;
    for (int i = 0; i < _getParamCount(); ++i)
        out.push_back(_getParamValue(i));
    return out;
}

const std::vector<double>& initialValues()
{
    static const std::vector<double> initial = [] {
        // Typed values are read in the user's locale: make it the C one.
        ::setenv("LC_ALL", "C", 1);
        _loadModel(TESSRA_FUZZ_MODEL);
        if (const char* error = _getLoadModelErr())
            fail(std::string("the model does not load: ") + error);
        check(_getParamCount() > 0, "the model has no parameters");
        return values();
    }();
    return initial;
}

/// Back to the initial values; the model's own check may refuse one value
/// until another has been set, so as many rounds as there are parameters.
void reset()
{
    const std::vector<double>& initial = initialValues();
    for (std::size_t round = 0; round < initial.size() && values() != initial; ++round)
        for (std::size_t i = 0; i < initial.size(); ++i)
            _setParamValue(int(i), typed(initial[i]).c_str());
    check(values() == initial, "the initial values cannot be set again");
}

std::string describe(const std::vector<double>& numbers)
{
    std::string out;
    for (double value : numbers)
        out += typed(value) + " ";
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    reset();

    // What loading must give: the entries taken one by one, as a user would
    // type them, each checked against the values taken before it.
    std::map<std::string, std::string> entries;
    for (const ReferenceEntry& entry : referenceEntries(text))
        if (entry.section == "parameters")
            entries[entry.key] = entry.value;
    for (int i = 0; i < _getParamCount(); ++i) {
        const auto found = entries.find(folded(_getParamName(i)));
        if (found == entries.end())
            continue;
        if (const std::optional<double> value = tessra::readNumberText(found->second, "."))
            _setParamValue(i, typed(*value).c_str());
    }
    const std::vector<double> expected = values();
    reset();

    writeFile(scratchFile(), text);
    _loadParams(scratchFile().c_str());
    const std::vector<double> loaded = values();
    check(loaded == expected,
        "loaded " + describe(loaded) + "expected " + describe(expected) + "from " + escaped(text));
    for (int i = 0; i < _getParamCount(); ++i) {
        double minimum = 0, maximum = 0;
        unsigned char whole = 0;
        _getParamRange(i, &minimum, &maximum, &whole);
        check(minimum <= loaded[i] && loaded[i] <= maximum
                && (!whole || std::trunc(loaded[i]) == loaded[i]),
            std::string("parameter ") + _getParamName(i) + " outside its range");
    }

    std::size_t savedSize = 0;
    const char* savedText = _saveParamsText(text.data(), text.size(), &savedSize);
    check(savedText != nullptr, "no settings text with a model loaded");
    const std::string saved(savedText, savedSize);
    checkOnlySectionChanged(text, saved, "Parameters");
    std::map<std::string, std::string> written;
    for (const ReferenceEntry& entry : referenceEntries(saved))
        if (entry.section == "parameters")
            written[entry.key] = entry.value;
    for (int i = 0; i < _getParamCount(); ++i) {
        const auto found = written.find(folded(_getParamName(i)));
        check(found != written.end()
                && tessra::readNumberText(found->second, ".") == std::optional(loaded[i]),
            std::string("parameter ") + _getParamName(i) + " does not read back from "
                + escaped(saved));
    }

    reset();
    writeFile(scratchFile(), saved);
    _loadParams(scratchFile().c_str());
    check(values() == loaded, "the saved values load as " + describe(values()));
    return 0;
}
