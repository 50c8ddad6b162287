#include "SweepRunner.h"

#include "ProgressLine.h"
#include "RunProcess.h"
#include "SweepModel.h"
#include "SweepPlan.h"
#include "TextNumbers.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>

#include <cmath>

namespace tessra {

SweepRunner::SweepRunner(const SweepPlan& plan, const SweepModel& model, int jobs, bool quiet)
    : m_plan(plan)
    , m_model(model)
    , m_jobs(std::max(1, jobs))
    , m_quiet(quiet)
    , m_terminal(!quiet && ProgressLine::isTerminal(stderr))
    , m_failures(plan.outputFolder(), model.columns())
{
}

std::vector<qint64> SweepRunner::incompleteRuns(
    const SweepPlan& plan, const std::vector<qint64>& runs)
{
    std::vector<qint64> incomplete;
    for (qint64 run : runs) {
        if (!QFileInfo::exists(plan.runFile(run)))
            incomplete.push_back(run);
    }
    return incomplete;
}

qint64 SweepRunner::execute(const std::vector<qint64>& runs)
{
    m_waiting.assign(runs.begin(), runs.end());
    m_total = static_cast<qint64>(runs.size());
    m_clock.start();
    if (m_waiting.empty())
        return 0;
    QEventLoop loop;
    QTimer redraw;
    if (m_terminal) {
        connect(&redraw, &QTimer::timeout, this, &SweepRunner::drawProgress);
        redraw.start(1000);
        drawProgress();
    }
    while (m_running < m_jobs && !m_waiting.empty())
        startNext();
    while (m_running > 0)
        loop.processEvents(QEventLoop::WaitForMoreEvents);
    if (m_terminal)
        std::fputs("\r\033[K", stderr);
    return m_failed;
}

void SweepRunner::startNext()
{
    const qint64 run = m_waiting.front();
    m_waiting.pop_front();
    auto* process = new RunProcess(run, QCoreApplication::applicationFilePath(),
        m_model.runArguments(run), m_plan.runFile(run), m_plan.timeoutSeconds(), this);
    connect(process, &RunProcess::finished, this, &SweepRunner::finished);
    ++m_running;
    process->start();
}

void SweepRunner::finished(const RunResult& result)
{
    --m_running;
    ++m_done;
    if (auto* process = qobject_cast<RunProcess*>(sender()))
        process->deleteLater();
    if (result.complete) {
        m_failures.forget(result.run);
    } else {
        ++m_failed;
        QStringList values;
        for (double value : m_model.values(result.run))
            values.append(QString::fromStdString(shortestNumber(value)));
        if (!m_failures.record(result.run, values, result.status, result.message))
            std::fprintf(
                stderr, "tessra-run: cannot write %s\n", qPrintable(m_failures.fileName()));
        report(result);
    }
    if (m_terminal)
        drawProgress();
    if (!m_waiting.empty())
        startNext();
}

void SweepRunner::report(const RunResult& result)
{
    if (m_quiet)
        return;
    if (m_terminal)
        std::fputs("\r\033[K", stderr);
    std::fprintf(stderr, "tessra-run: run %lld failed: %s%s%s\n", result.run,
        qPrintable(result.status), result.message.isEmpty() ? "" : ": ",
        qPrintable(result.message));
}

void SweepRunner::drawProgress()
{
    constexpr int Width = 30;
    const int filled = m_total > 0 ? static_cast<int>(m_done * Width / m_total) : Width;
    const std::string bar = std::string(static_cast<std::size_t>(filled), '#')
        + std::string(static_cast<std::size_t>(Width - filled), '.');
    std::fprintf(
        stderr, "\r\033[K[%s] %lld/%lld runs, %lld failed", bar.c_str(), m_done, m_total, m_failed);
    if (m_done > 0 && m_done < m_total) {
        const double left = static_cast<double>(m_clock.elapsed()) * 1e-3
            / static_cast<double>(m_done) * static_cast<double>(m_total - m_done);
        const long long s = std::llround(left);
        std::fprintf(stderr, ", %lld:%02lld:%02lld left", s / 3600, s / 60 % 60, s % 60);
    }
    std::fflush(stderr);
}

} // namespace tessra
