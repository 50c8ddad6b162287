#include "TimeSeriesSettings.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <charconv>
#include <string>
#include <utility>
#include <vector>

#include "CommandError.h"
#include "IniFile.h"
#include "SeriesTable.h"

namespace tessra {

const char* const TimeSeriesSettings::Section = "Time Series";

namespace {

const char CountKey[] = "Count";

std::string trimmed(const std::string& text)
{
    const auto begin = text.find_first_not_of(" \t");
    if (begin == std::string::npos)
        return std::string();
    const auto end = text.find_last_not_of(" \t");
    return text.substr(begin, end - begin + 1);
}

// A whole decimal number filling the text (blanks around it allowed), or
// `fallback` when the text is no such number or out of range.
int toInt(const std::string& text, int fallback)
{
    std::string t = trimmed(text);
    if (!t.empty() && t[0] == '+')
        t.erase(0, 1);
    int value = 0;
    const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value);
    if (t.empty() || error != std::errc() || end != t.data() + t.size())
        return fallback;
    return value;
}

// The row number a key names: "0", "1", ... written without leading zeros.
int keyIndex(const std::string& key)
{
    if (key.empty() || key.size() > 9 || (key.size() > 1 && key[0] == '0'))
        return -1;
    if (!std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return -1;
    return std::stoi(key);
}

std::string fileLabel(const QString& label)
{
    // A line break in a model's name must not break the file into lines.
    std::string text = label.toStdString();
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::replace(text.begin(), text.end(), '\r', ' ');
    return text;
}

int lastParameterNamed(const ModelApi& model, const std::string& name)
{
    int found = -1;
    const int n = model.paramCount();
    for (int i = 0; i < n; ++i) {
        if (model.paramName(i) == name)
            found = i;
    }
    return found;
}

int lastStateNamed(const ModelApi& model, const std::string& name)
{
    int found = -1;
    const int n = model.stateCount();
    for (int i = 0; i < n; ++i) {
        if (model.stateName(i) == name)
            found = i;
    }
    return found;
}

// Adds the series a label names, or nothing when it names none.
void restoreEntry(SeriesTable& table, const std::string& label)
{
    if (label.empty())
        return;
    const ModelApi& model = table.model();
    const int parameter = lastParameterNamed(model, label);
    if (parameter >= 0) {
        table.addSeries(SeriesTable::Parameter, parameter);
        return;
    }
    const QStringList& operations = SeriesTable::operationNames();
    for (int code = 0; code < operations.size(); ++code) {
        const std::string name = operations[code].toStdString();
        if (label.compare(0, name.size(), name) != 0)
            continue;
        // The operation's name and the one character after it (the space).
        const std::string rest = label.size() > name.size() ? label.substr(name.size() + 1) : "";
        // "Parameter" followed by a name means that parameter.
        const int subject = code == SeriesTable::Parameter ? lastParameterNamed(model, rest)
                                                           : lastStateNamed(model, rest);
        if (subject >= 0)
            table.addSeries(code, subject);
        return;
    }
}

std::string localPath(const QString& fileName)
{
    return QFile::encodeName(fileName).toStdString();
}

} // namespace

namespace {

const char SaveError[] = "Error opening .ini file in saveTimeSeries()";

[[noreturn]] void failSaving(const QString& fileName, const std::string& reason)
{
    throw CommandError(
        QStringLiteral("%1: cannot write \"%2\": %3")
            .arg(QLatin1String(SaveError), fileName, QString::fromStdString(reason)));
}

/// Reads the file that a save will replace; a missing file reads as empty.
void readForSaving(IniFile& ini, const QString& fileName)
{
    if (fileName.isEmpty())
        throw CommandError(QLatin1String(SaveError));
    std::string reason;
    if (!ini.load(localPath(fileName), &reason) && QFileInfo(fileName).exists())
        failSaving(fileName, reason);
}

/// Sets "Count" and the rows in the section; every other key of the section,
/// including rows of an earlier, longer list, keeps its place and value.
void writeSection(const SeriesTable& table, IniFile& ini)
{
    IniFile::Entries entries;
    entries.emplace_back(CountKey, std::to_string(table.count()));
    const QStringList labels = table.labels();
    for (int row = 0; row < labels.size(); ++row)
        entries.emplace_back(std::to_string(row), fileLabel(labels[row]));
    ini.updateSection(TimeSeriesSettings::Section, entries);
}

void save(const IniFile& ini, const QString& fileName)
{
    std::string reason;
    if (!ini.save(localPath(fileName), &reason))
        failSaving(fileName, reason);
}

} // namespace

void TimeSeriesSettings::saveTimeSeries(const SeriesTable& table, const QString& fileName)
{
    IniFile ini;
    readForSaving(ini, fileName);
    writeSection(table, ini);
    save(ini, fileName);
}

void TimeSeriesSettings::saveSettingsFile(const SeriesTable& table, const QString& fileName)
{
    IniFile ini;
    readForSaving(ini, fileName);
    const std::optional<std::string> text = table.model().saveParamsText(ini.text());
    if (!text)
        throw CommandError(QStringLiteral("No model loaded"));
    ini.setText(*text);
    writeSection(table, ini);
    save(ini, fileName);
}

void TimeSeriesSettings::loadTimeSeries(SeriesTable& table, const QString& fileName)
{
    table.removeAllSeries();
    const QFileInfo info(fileName);
    IniFile ini;
    if (info.isDir() || (info.exists() && !ini.load(localPath(fileName))))
        throw CommandError(QStringLiteral("Error opening .ini file in loadTimeSeries()"));

    // One pass over the section: "Count" (its last value) and the rows,
    // which may be any number and in any order. Rows 0 to Count - 1 are
    // restored in order, the last line of a row counting; a missing row
    // reads as empty and is skipped, so only the rows present need a look.
    // A refused entry (the seventeenth series) ends the restore early.
    std::string_view countText;
    struct Row {
        int index;
        std::size_t order;
        std::string_view label;
        bool operator<(const Row& other) const
        {
            return index != other.index ? index < other.index : order < other.order;
        }
    };
    std::vector<Row> rows;
    ini.forEachEntry(Section, [&](std::string_view key, std::string_view value) {
        if (key.size() == std::size(CountKey) - 1
            && QLatin1String(key.data(), qsizetype(key.size()))
                    .compare(QLatin1String(CountKey), Qt::CaseInsensitive)
                == 0)
            countText = value;
        else if (const int index = keyIndex(std::string(key)); index >= 0)
            rows.push_back({ index, rows.size(), value });
    });
    const int count = toInt(std::string(countText), 0);
    if (!std::is_sorted(rows.begin(), rows.end()))
        std::sort(rows.begin(), rows.end());
    for (std::size_t i = 0; i < rows.size() && rows[i].index < count; ++i)
        if (i + 1 == rows.size() || rows[i + 1].index != rows[i].index)
            restoreEntry(table, std::string(rows[i].label));
}

} // namespace tessra
