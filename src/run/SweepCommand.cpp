#include "SweepCommand.h"

#include "RunError.h"
#include "RunRequest.h"
#include "SweepMerge.h"
#include "SweepModel.h"
#include "SweepPlan.h"
#include "SweepRunner.h"
#include "TextNumbers.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QThread>

#include <cstdio>
#include <numeric>

namespace tessra {

namespace {

qint64 wholeNumber(const QString& option, const QString& text, qint64 minimum)
{
    bool ok = false;
    const qint64 value = text.trimmed().toLongLong(&ok);
    if (!ok || value < minimum)
        bad(QStringLiteral("%1 needs a whole number of at least %2, not \"%3\"")
                .arg(option)
                .arg(minimum)
                .arg(text));
    return value;
}

QString shellQuote(const QString& text)
{
    QString quoted = text;
    quoted.replace(u'\'', QStringLiteral("'\\''"));
    return u'\'' + quoted + u'\'';
}

void makeFolder(const QString& folder)
{
    if (!QDir().mkpath(folder))
        bad(QStringLiteral("cannot make the results folder \"%1\"").arg(folder));
}

QStringList valueTexts(const SweepModel& model, qint64 run)
{
    QStringList texts;
    for (double value : model.values(run))
        texts.append(QString::fromStdString(shortestNumber(value)));
    return texts;
}

void judgeAll(const SweepPlan& plan, const SweepModel& model)
{
    for (qint64 run = 0; run < plan.runCount(); ++run)
        model.judge(run);
}

} // namespace

SweepCommand::SweepCommand(QStringList arguments)
    : m_arguments(std::move(arguments))
{
}

int SweepCommand::failureStatus(qint64 failed)
{
    return failed == 0 ? 0 : 100 + static_cast<int>(std::min<qint64>(failed, 100));
}

void SweepCommand::parse()
{
    ArgumentReader reader(m_arguments);
    int actions = 0;
    const auto action = [&](Action chosen) {
        m_action = chosen;
        ++actions;
    };
    while (!reader.atEnd()) {
        const QString argument = reader.take();
        QString value;
        if (reader.option(argument, "--list")) {
            action(Action::List);
        } else if (reader.option(argument, "--numbers")) {
            m_numbers = true;
        } else if (reader.option(argument, "--index", &value)) {
            action(Action::Index);
            m_index = wholeNumber(QStringLiteral("--index"), value, 0);
        } else if (reader.option(argument, "--jobs", &value)) {
            action(Action::Jobs);
            m_jobs = static_cast<int>(std::min<qint64>(wholeNumber("--jobs", value, 1), 4096));
        } else if (reader.option(argument, "--merge")) {
            action(Action::Merge);
        } else if (reader.option(argument, "--slurm")) {
            action(Action::Slurm);
        } else if (reader.option(argument, "--max-parallel", &value)) {
            m_maxParallel = static_cast<int>(
                std::min<qint64>(wholeNumber("--max-parallel", value, 1), 1 << 30));
        } else if (reader.option(argument, "--quiet") || argument == u"-q") {
            m_quiet = true;
        } else if (reader.option(argument, "--help") || argument == u"-h") {
            m_help = true;
        } else if (argument.startsWith(u'-') && argument.size() > 1) {
            bad("unknown option " + argument);
        } else if (m_file.isEmpty()) {
            m_file = argument;
        } else {
            bad("one sweep file, not also \"" + argument + "\"");
        }
    }
    if (m_help)
        return;
    if (m_file.isEmpty())
        bad(QStringLiteral("no sweep file named"));
    if (actions > 1)
        bad(QStringLiteral("one of --list, --index, --jobs, --merge and --slurm at a time"));
    if (m_numbers && m_action != Action::List)
        bad(QStringLiteral("--numbers goes with --list"));
    if (m_maxParallel > 0 && m_action != Action::Slurm)
        bad(QStringLiteral("--max-parallel goes with --slurm"));
    if (m_jobs == 0)
        m_jobs = std::max(1, QThread::idealThreadCount());
}

int SweepCommand::execute()
{
    parse();
    if (m_help) {
        std::fputs(qPrintable(RunRequest::helpText()), stdout);
        return 0;
    }
    const SweepPlan plan = SweepPlan::read(m_file);
    const SweepModel model(plan);
    switch (m_action) {
    case Action::List:
        return list(plan, model);
    case Action::Index:
        return runIndex(plan, model);
    case Action::Merge:
        return merge(plan, model);
    case Action::Slurm:
        judgeAll(plan, model);
        std::fputs(qPrintable(slurmScript(plan, QCoreApplication::applicationFilePath(),
                       plan.runCount(), m_maxParallel)),
            stdout);
        return 0;
    case Action::Jobs:
        break;
    }
    return runJobs(plan, model);
}

int SweepCommand::list(const SweepPlan& plan, const SweepModel& model) const
{
    judgeAll(plan, model);
    QString text;
    if (!m_numbers)
        text = QStringLiteral("run\t") + model.columns().join(u'\t') + u'\n';
    for (qint64 run = 0; run < plan.runCount(); ++run) {
        text += QString::number(run);
        if (!m_numbers)
            text += u'\t' + valueTexts(model, run).join(u'\t');
        text += u'\n';
        if (text.size() > (1 << 16)) {
            std::fputs(qPrintable(text), stdout);
            text.clear();
        }
    }
    std::fputs(qPrintable(text), stdout);
    return 0;
}

int SweepCommand::runJobs(const SweepPlan& plan, const SweepModel& model) const
{
    judgeAll(plan, model);
    makeFolder(plan.outputFolder());
    std::vector<qint64> all(static_cast<std::size_t>(plan.runCount()));
    std::iota(all.begin(), all.end(), 0);
    const std::vector<qint64> todo = SweepRunner::incompleteRuns(plan, all);
    if (!m_quiet && todo.size() < all.size())
        std::fprintf(stderr, "tessra-run: %lld of %lld runs are complete already\n",
            static_cast<long long>(all.size() - todo.size()), static_cast<long long>(all.size()));
    SweepRunner runner(plan, model, m_jobs, m_quiet);
    const qint64 failed = runner.execute(todo);
    if (!m_quiet) {
        std::fprintf(
            stderr, "tessra-run: %lld runs complete", static_cast<long long>(all.size()) - failed);
        if (failed > 0)
            std::fprintf(stderr, ", %lld failed (see %s/failed.tsv)", failed,
                qPrintable(QDir::toNativeSeparators(plan.outputFolder())));
        std::fputc('\n', stderr);
    }
    return failureStatus(failed);
}

int SweepCommand::runIndex(const SweepPlan& plan, const SweepModel& model) const
{
    if (m_index >= plan.runCount())
        bad(QStringLiteral("--index %1: the sweep has runs 0 to %2")
                .arg(m_index)
                .arg(plan.runCount() - 1));
    model.judge(m_index);
    makeFolder(plan.outputFolder());
    if (QFileInfo::exists(plan.runFile(m_index))) {
        if (!m_quiet)
            std::fprintf(stderr, "tessra-run: run %lld is complete already\n", m_index);
        return 0;
    }
    SweepRunner runner(plan, model, 1, m_quiet);
    return failureStatus(runner.execute({ m_index }));
}

int SweepCommand::merge(const SweepPlan& plan, const SweepModel& model) const
{
    SweepMerge merge(plan, model.columns());
    const std::vector<qint64> missing
        = merge.merge([&model](qint64 run) { return valueTexts(model, run); });
    if (!m_quiet && !missing.empty()) {
        QStringList runs;
        for (std::size_t i = 0; i < std::min<std::size_t>(missing.size(), 20); ++i)
            runs.append(QString::number(missing[i]));
        std::fprintf(stderr, "tessra-run: %zu runs have no run file and are not in %s: %s%s\n",
            missing.size(), qPrintable(merge.fileName()),
            qPrintable(runs.join(QStringLiteral(", "))), missing.size() > 20 ? ", ..." : "");
    }
    return failureStatus(static_cast<qint64>(missing.size()));
}

QString SweepCommand::slurmScript(
    const SweepPlan& plan, const QString& program, qint64 runs, int maxParallel)
{
    const QString run
        = shellQuote(program) + u' ' + QStringLiteral("sweep") + u' ' + shellQuote(plan.file());
    const QString logs = plan.outputFolder() + QStringLiteral("/slurm");
    QString array = QStringLiteral("0-%1").arg(runs - 1);
    if (maxParallel > 0)
        array += QStringLiteral("%%1").arg(maxParallel);
    return QStringLiteral(
        "#!/bin/sh\n"
        "# Submits the sweep %1 to Slurm: its %2 runs as one job array,\n"
        "# then the merge into %3/runs.tsv once every run has ended.\n"
        "#     sh THIS-FILE\n"
        "# Further sbatch options go into SBATCH_* variables (SBATCH_PARTITION, ...).\n"
        "set -e\n"
        "mkdir -p %4\n"
        "array=$(sbatch --parsable --job-name=tessra-sweep --array=%5 --output=%6 <<'EOF'\n"
        "#!/bin/sh\n"
        "exec %8 --quiet --index \"$SLURM_ARRAY_TASK_ID\"\n"
        "EOF\n"
        ")\n"
        "array=${array%%;*}\n"
        "merge=$(sbatch --parsable --job-name=tessra-merge --output=%7 "
        "--dependency=afterany:\"$array\" <<'EOF'\n"
        "#!/bin/sh\n"
        "exec %8 --merge\n"
        "EOF\n"
        ")\n"
        "echo \"Submitted the runs as job array $array and the merge as job $merge.\"\n")
        .arg(plan.file(), QString::number(runs), plan.outputFolder(), shellQuote(logs), array,
            shellQuote(logs + QStringLiteral("/run-%a.out")),
            shellQuote(logs + QStringLiteral("/merge.out")), run);
}

} // namespace tessra
