#include "ParamSet.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <sys/stat.h>

#include "NumberText.h"

namespace tessra::api {

void ParamSet::reset(const TessraModel* model)
{
    m_model = model;
    const int count = model ? model->paramCount : 0;
    std::vector<double> values;
    values.reserve(count > 0 ? count : 1);
    for (int i = 0; i < count; ++i)
        values.push_back(model->params[i].initial);
    m_values.swap(values);
}

const char* ParamSet::name(int index) const
{
    return has(index) ? m_model->params[index].name : "";
}

const char* ParamSet::label(int index) const
{
    if (!has(index))
        return "";
    const TessraParamInfo& info = m_model->params[index];
    return info.label ? info.label : info.name;
}

std::optional<int> ParamSet::indexOf(const char* wanted) const
{
    if (!wanted)
        return std::nullopt;
    for (int i = 0; i < count(); ++i)
        if (std::strcmp(m_model->params[i].name, wanted) == 0)
            return i;
    return std::nullopt;
}

double* ParamSet::ref(const char* wanted)
{
    const std::optional<int> index = indexOf(wanted);
    return index ? &m_values[*index] : nullptr;
}

bool ParamSet::range(int index, double* minimum, double* maximum, unsigned char* whole) const
{
    if (!has(index))
        return false;
    const TessraParamInfo& info = m_model->params[index];
    if (minimum)
        *minimum = info.minimum;
    if (maximum)
        *maximum = info.maximum;
    if (whole)
        *whole = info.wholeNumber ? 1 : 0;
    return true;
}

bool ParamSet::accepts(int index, double value) const
{
    if (!has(index) || !std::isfinite(value))
        return false;
    const TessraParamInfo& info = m_model->params[index];
    if (value < info.minimum || value > info.maximum)
        return false;
    if (info.wholeNumber && std::trunc(value) != value)
        return false;
    return !m_model->validateParam || m_model->validateParam(index, value) != 0;
}

bool ParamSet::validate(int index, const char* text) const
{
    const std::optional<double> value = parseUserNumber(text);
    return value && accepts(index, *value);
}

void ParamSet::set(int index, const char* text)
{
    const std::optional<double> value = parseUserNumber(text);
    if (value && accepts(index, *value))
        m_values[index] = *value;
}

const char* ParamSet::about(int index, const double* candidates) const
{
    if (!has(index))
        return "";
    if (m_model->aboutParam) {
        const char* text = m_model->aboutParam(index, candidates ? candidates : values());
        if (text)
            return text;
    }
    const char* description = m_model->params[index].description;
    return description ? description : "";
}

void ParamSet::load(const std::string& path)
{
    if (count() == 0)
        return;
    IniFile file;
    if (!file.load(path))
        return;
    for (int i = 0; i < count(); ++i) {
        const std::optional<std::string> text = file.value(SectionName, name(i));
        if (!text)
            continue;
        const std::optional<double> value = parseFileNumber(*text);
        if (value && accepts(i, *value))
            m_values[i] = *value;
    }
}

IniFile::Entries ParamSet::entries() const
{
    IniFile::Entries result;
    result.reserve(m_values.size());
    for (int i = 0; i < count(); ++i)
        result.emplace_back(name(i), formatFileNumber(m_values[i]));
    return result;
}

bool ParamSet::save(const std::string& path, std::string* error) const
{
    if (!m_model) {
        if (error)
            *error = "no model is loaded";
        return false;
    }
    IniFile file;
    std::string problem;
    if (!file.load(path, &problem)) {
        // Only a file that does not exist yet may be written from scratch;
        // one that exists but cannot be read would lose its other lines.
        struct stat info { };
        if (::stat(path.c_str(), &info) == 0 || errno != ENOENT) {
            if (error)
                *error = problem;
            return false;
        }
    }
    file.replaceSection(SectionName, entries());
    return file.save(path, error);
}

std::string ParamSet::saveToText(std::string text) const
{
    IniFile file;
    file.setText(std::move(text));
    file.replaceSection(SectionName, entries());
    return file.text();
}

} // namespace tessra::api
