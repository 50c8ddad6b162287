#pragma once

#include <QString>
#include <QStringList>

namespace tessra {

class SweepModel;
class SweepPlan;

/// "tessra-run sweep FILE ...": the parameter sweep commands.
///
///     --list [--numbers]       the runs: number and values (or numbers only)
///     --index I                run I alone (what a cluster job calls)
///     --jobs N                 every run not yet complete, N at a time (default)
///     --merge                  OUTPUT/runs.tsv from the run files
///     --slurm [--max-parallel M]   a script that submits the sweep to Slurm
///     --quiet                  no progress and no notes
///
/// Every command but --merge judges the values of the runs it concerns before
/// any run starts. Exit status: 0 when every run asked for is complete, 100 + the
/// number of failed or missing runs (at most 200) otherwise; failures before any
/// run throw RunError.
class SweepCommand {
public:
    explicit SweepCommand(QStringList arguments);
    /// Does what the arguments ask; answers the exit status. Throws RunError.
    int execute();

    /// The exit status of a sweep with `failed` runs failed or missing.
    static int failureStatus(qint64 failed);
    /// The shell script that submits `plan` to Slurm: a job array over the runs
    /// (at most `maxParallel` at a time when it is above 0) calling --index, and a
    /// merge job that starts once every run has ended.
    static QString slurmScript(
        const SweepPlan& plan, const QString& program, qint64 runs, int maxParallel);

private:
    enum class Action { Jobs, List, Index, Merge, Slurm };
    void parse();
    int list(const SweepPlan& plan, const SweepModel& model) const;
    int runJobs(const SweepPlan& plan, const SweepModel& model) const;
    int runIndex(const SweepPlan& plan, const SweepModel& model) const;
    int merge(const SweepPlan& plan, const SweepModel& model) const;

    QStringList m_arguments;
    QString m_file;
    Action m_action = Action::Jobs;
    bool m_numbers = false;
    bool m_quiet = false;
    bool m_help = false;
    int m_jobs = 0;
    qint64 m_index = -1;
    int m_maxParallel = 0;
};

} // namespace tessra
