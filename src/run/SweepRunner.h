#pragma once

#include "FailureLog.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <cstdio>
#include <deque>
#include <vector>

namespace tessra {

class SweepModel;
class SweepPlan;
struct RunResult;

/// Runs the runs of a sweep, each in a process of its own (RunProcess), at most
/// `jobs` at a time, on this machine. A run whose run file exists is complete
/// and not run again, so a sweep that was stopped resumes where it was. Failed
/// runs go into OUTPUT/failed.tsv and the sweep goes on; a run that completes
/// leaves that list.
///
/// On a terminal a progress bar shows the runs done and failed and the time
/// left; elsewhere each failure is one line. Both go to the standard error.
class SweepRunner : public QObject {
    Q_OBJECT
public:
    SweepRunner(const SweepPlan& plan, const SweepModel& model, int jobs, bool quiet);

    /// Runs `runs` (in this order; complete ones are skipped) and returns once
    /// all have ended. Answers the number of runs that failed.
    qint64 execute(const std::vector<qint64>& runs);

    /// The runs that have no run file yet.
    static std::vector<qint64> incompleteRuns(
        const SweepPlan& plan, const std::vector<qint64>& runs);

private:
    void startNext();
    void finished(const RunResult& result);
    void report(const RunResult& result);
    void drawProgress();

    const SweepPlan& m_plan;
    const SweepModel& m_model;
    int m_jobs;
    bool m_quiet;
    bool m_terminal;
    FailureLog m_failures;
    std::deque<qint64> m_waiting;
    int m_running = 0;
    qint64 m_total = 0;
    qint64 m_done = 0;
    qint64 m_failed = 0;
    QElapsedTimer m_clock;
};

} // namespace tessra
