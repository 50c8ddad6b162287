// The sweep runner: its overhead per run, the throughput of two jobs against one,
// and the speed of the merge.
//
// Prints the milliseconds per run of a sweep of tiny runs (process start, model
// load, 1 x 1 world, 10 ticks, run file written; target <= 30 ms), the throughput
// of --jobs 2 over --jobs 1 on 12 runs of about 0.5 s (target >= 1.7 on two
// cores), and the MB/s of table --merge writes from 100 runs x 10,000 ticks x 4
// series (target >= 100 MB/s). The best of several rounds counts.
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>

namespace {

const QString Life = QStringLiteral(TESSRA_BINARY_DIR "/models/life/model.so");

/// A sweep file in `folder` over `runs` runs of Life size x size for `ticks` ticks.
QString writeSweep(const QTemporaryDir& folder, int runs, int size, int ticks, int series)
{
    const QString path = folder.filePath(QStringLiteral("bench.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return QString();
    QString text = QStringLiteral("[Parameters]\nWidth=%1\nHeight=%1\nDensity=0.5\n[Time Series]\n"
                                  "Count=%2\n")
                       .arg(size)
                       .arg(series);
    const char* labels[] = { "Average Alive", "Average Age", "Maximum Age", "Variance Age" };
    for (int i = 0; i < series; ++i)
        text += QStringLiteral("%1=%2\n").arg(i).arg(QLatin1String(labels[i]));
    text += QStringLiteral("[Sweep]\nModel=%1\nTicks=%2\nReplications=%3\nSeedParameter=Seed\n")
                .arg(Life)
                .arg(ticks)
                .arg(runs);
    file.write(text.toUtf8());
    return path;
}

/// Processor seconds (user and system) of every ended child and grandchild.
double childrenCpuSeconds()
{
    rusage usage {};
    getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

/// Seconds tessra-run takes with these arguments; negative when it fails.
double seconds(const QStringList& arguments)
{
    QProcess process;
    process.setProgram(QStringLiteral(TESSRA_RUN));
    process.setArguments(arguments);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    process.start();
    process.waitForFinished(-1);
    const double elapsed = static_cast<double>(clock.nsecsElapsed()) * 1e-9;
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0 ? elapsed : -1;
}

void removeResults(const QTemporaryDir& folder)
{
    QDir(folder.filePath(QStringLiteral("results"))).removeRecursively();
}

void BM_OverheadPerRun(benchmark::State& state)
{
    constexpr int Runs = 40;
    QTemporaryDir folder;
    const QString sweep = writeSweep(folder, Runs, 1, 10, 1);
    double best = 1e9;
    double bestCpu = 1e9;
    for (auto _ : state) {
        removeResults(folder);
        const double cpu = childrenCpuSeconds();
        const double s = seconds({ QStringLiteral("sweep"), sweep, QStringLiteral("--jobs"),
            QStringLiteral("1"), QStringLiteral("--quiet") });
        if (s < 0) {
            state.SkipWithError("the sweep failed");
            return;
        }
        best = std::min(best, s / Runs);
        bestCpu = std::min(bestCpu, (childrenCpuSeconds() - cpu) / Runs);
    }
    state.counters["ms_per_run"] = best * 1e3;
    state.counters["cpu_ms_per_run"] = bestCpu * 1e3;
    std::printf("Sweep overhead per run (1x1 world, 10 ticks, run file written): %.1f ms "
                "(cpu %.1f ms, the sweep's own share included)\n",
        best * 1e3, bestCpu * 1e3);
}
BENCHMARK(BM_OverheadPerRun)->Iterations(3)->Unit(benchmark::kMillisecond);

void BM_TwoJobs(benchmark::State& state)
{
    constexpr int Runs = 12;
    QTemporaryDir folder;
    // About 0.5 s a run: find the ticks from one run of 100 ticks.
    const QString probe = writeSweep(folder, 1, 256, 100, 1);
    const double probeSeconds = seconds({ QStringLiteral("sweep"), probe, QStringLiteral("--jobs"),
        QStringLiteral("1"), QStringLiteral("--quiet") });
    const int ticks = std::max(10, static_cast<int>(100 * 0.5 / std::max(probeSeconds, 1e-3)));
    const QString sweep = writeSweep(folder, Runs, 256, ticks, 1);
    double one = 1e9;
    double two = 1e9;
    for (auto _ : state) {
        for (const char* jobs : { "1", "2" }) {
            removeResults(folder);
            const double s = seconds({ QStringLiteral("sweep"), sweep, QStringLiteral("--jobs"),
                QLatin1String(jobs), QStringLiteral("--quiet") });
            if (s < 0) {
                state.SkipWithError("the sweep failed");
                return;
            }
            (jobs[0] == '1' ? one : two) = std::min(jobs[0] == '1' ? one : two, s);
        }
    }
    state.counters["speedup"] = one / two;
    std::printf("12 runs of %.2f s: --jobs 1 %.2f s, --jobs 2 %.2f s, throughput x %.2f\n",
        one / Runs, one, two, one / two);
}
BENCHMARK(BM_TwoJobs)->Iterations(2)->Unit(benchmark::kSecond);

void BM_Merge(benchmark::State& state)
{
    QTemporaryDir folder;
    const QString sweep = writeSweep(folder, 100, 2, 10000, 4);
    if (seconds({ QStringLiteral("sweep"), sweep, QStringLiteral("--jobs"), QStringLiteral("2"),
            QStringLiteral("--quiet") })
        < 0) {
        state.SkipWithError("the sweep failed");
        return;
    }
    double best = 1e9;
    for (auto _ : state) {
        const double s = seconds({ QStringLiteral("sweep"), sweep, QStringLiteral("--merge") });
        if (s < 0) {
            state.SkipWithError("the merge failed");
            return;
        }
        best = std::min(best, s);
    }
    const double megabytes
        = static_cast<double>(QFileInfo(folder.filePath(QStringLiteral("results/runs.tsv"))).size())
        / 1e6;
    state.counters["MB_per_s"] = megabytes / best;
    std::printf("Merge of 100 runs x 10,000 ticks x 4 series: %.1f MB in %.3f s, %.0f MB/s\n",
        megabytes, best, megabytes / best);
}
BENCHMARK(BM_Merge)->Iterations(3)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
