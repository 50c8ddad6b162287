#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

namespace tessra {

class SweepPlan;

/// Collects the run files of a sweep into one table, OUTPUT/runs.tsv, that
/// pandas.read_csv(f, sep="\t") and R's read.delim read without options:
///
///     run <TAB> <column names...> <TAB> tick <TAB> <series labels...>
///
/// then one line per run per recorded tick. A series without a sample at a
/// tick is an empty field; "nan", "inf" and "-inf" are written "NaN", "Inf"
/// and "-Inf". The table is written under a temporary name and renamed.
class SweepMerge {
public:
    /// `columns` and `values(run)` give the parameter columns of each run.
    SweepMerge(const SweepPlan& plan, QStringList columns);

    /// Writes the table from the run files there are; `values` gives the
    /// parameter values of a run, one text per column. Answers the runs that
    /// have no run file. Throws RunError (BadArguments) when a run file cannot
    /// be read, when run files list different series, or when none exists.
    std::vector<qint64> merge(const std::function<QStringList(qint64 run)>& values);

    QString fileName() const;

private:
    const SweepPlan& m_plan;
    QStringList m_columns;
};

} // namespace tessra
