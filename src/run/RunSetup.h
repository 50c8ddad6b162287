#pragma once

#include "ModelApi.h"

#include <QString>

#include <optional>
#include <utility>

namespace tessra {

class SeriesTable;

/// The steps a run without a screen takes to set up the loaded model: finding
/// parameters by name, setting them as typed values are set, choosing series
/// by their labels and reading stop conditions. Failures throw RunError.
namespace RunSetup {

/// The index of the parameter `name`: the exact name, else the only one that
/// differs in letter case alone. Nothing when there is none.
std::optional<int> findParameter(const ModelApi& model, const QString& name);

/// "0 to 1", "a whole number from 1 to 4096": what a parameter accepts.
QString describeRange(const ModelApi& model, int index);

/// Sets parameter `index` to `value` after the model has judged it as it judges
/// a typed value. Throws RunError (Refused) naming the parameter, the value and
/// the range when the model refuses it, with `context` ("run 3: ") before it.
void setParameter(
    const ModelApi& model, int index, double value, const QString& context = QString());

/// The operation code and subject of a series label as the Series list shows it:
/// "Average Alive", or a parameter's name alone ("Density"); also "Parameter
/// Density". Exact labels first, then without regard to letter case.
std::optional<std::pair<int, int>> findSeries(const SeriesTable& table, const QString& label);

/// A stop condition as automation's StopIfAdd takes it: a name ("Tick" or a
/// parameter), "=", ">=" or "<=", and a number ("Tick >= 500").
struct StopCondition {
    QString name;
    int comparator; ///< -1 "<=", 0 "=", 1 ">="
    double value;
};
std::optional<StopCondition> parseStopCondition(const QString& text);

} // namespace RunSetup

} // namespace tessra
