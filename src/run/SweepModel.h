#pragma once

#include "ModelApi.h"
#include "SweepPlan.h"

#include <QStringList>

#include <vector>

namespace tessra {

/// A sweep's model loaded in this process with the sweep file's settings, no
/// world built: it names the parameters of the sweep's columns, judges every
/// run's values before any run starts and gives each run's --set arguments.
///
/// The columns of a sweep: the varied parameters in the order of their keys (as
/// the model spells them), then the seed parameter when it is not varied. A
/// run's seed is its base value (the varied value, or the settings' value) plus
/// the run's replication.
class SweepModel {
public:
    /// Loads the plan's model. Throws RunError: Refused when the model does not
    /// load; BadArguments when a key or the seed parameter names no parameter, the
    /// stop condition is none or names no parameter, or the file chooses no series.
    explicit SweepModel(const SweepPlan& plan);

    const QStringList& columns() const { return m_columnNames; }
    /// The values of `run` in column order.
    std::vector<double> values(qint64 run) const;
    /// Judges the values of `run` as typed values are judged. Throws RunError
    /// (Refused) naming the run, the parameter and the value.
    void judge(qint64 run) const;
    /// The arguments a run of tessra-run takes for `run`: the model, the sweep
    /// file, --set for each column, --ticks, --stop, --output.
    QStringList runArguments(qint64 run) const;

private:
    const SweepPlan& m_plan;
    ModelApi m_model;
    std::vector<int> m_columns; ///< parameter index of each column
    QStringList m_columnNames;
    int m_seedColumn = -1;
    double m_seedBase = 0;
};

} // namespace tessra
