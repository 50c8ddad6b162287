#pragma once

#include <optional>
#include <string>
#include <vector>

#include "IniFile.h"
#include "tessra/model.h"

namespace tessra::api {

/// The parameter values of the loaded model, one double each at an address
/// that stays put until the next reset, and their checks, texts and entries in
/// settings files.
class ParamSet {
public:
    ParamSet() { m_values.reserve(1); }

    /// Takes the parameters of `model` (null: none) at their initial values.
    void reset(const TessraModel* model);

    int count() const { return static_cast<int>(m_values.size()); }
    bool has(int index) const { return index >= 0 && index < count(); }
    /// The values in description order; never null, even with no parameters.
    const double* values() const { return m_values.data(); }

    const char* name(int index) const;
    const char* label(int index) const;
    double value(int index) const { return has(index) ? m_values[index] : 0.0; }
    double* ref(const char* name);

    /// The range of parameter `index` written to the non-null pointers; false
    /// (nothing written) for an index out of range.
    bool range(int index, double* minimum, double* maximum, unsigned char* whole) const;
    /// Whether `value` may become parameter `index`: inside the range, whole
    /// when required, and accepted by the model's own check.
    bool accepts(int index, double value) const;
    /// Whether `text`, read in the user's locale, is an acceptable value.
    bool validate(int index, const char* text) const;
    /// Stores the value of `text` when validate() accepts it.
    void set(int index, const char* text);
    /// The model's description of parameter `index` for the given candidate
    /// values (null: the current values), else the parameter's own description.
    const char* about(int index, const double* candidates) const;

    /// Reads the "Parameters" section of a settings file. A parameter keeps its
    /// value when its entry is missing, not a number or not acceptable; a
    /// missing file changes nothing.
    void load(const std::string& path);
    /// Writes the "Parameters" section into a settings file, leaving every
    /// other line of the file as it was. Returns false and leaves the file
    /// alone when it cannot be read or written, or is not a regular file.
    bool save(const std::string& path, std::string* error = nullptr) const;
    /// The text of a settings file `text` with its "Parameters" section
    /// holding the current values; every other line stays as it was.
    std::string saveToText(std::string text) const;

    static constexpr const char* SectionName = "Parameters";

private:
    IniFile::Entries entries() const;
    std::optional<int> indexOf(const char* name) const;

    const TessraModel* m_model = nullptr;
    std::vector<double> m_values;
};

} // namespace tessra::api
