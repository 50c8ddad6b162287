// tessra-run against a bare loop of steps on the same model and world, with and
// without series, its start-up on a 1 x 1 world, and a run recording a movie
// against the same run without one.
//
// Prints the ratio of ticks per second of the real tessra-run process (start-up,
// loading, world, run) to a loop of _callTimestep in this process (targets: no
// series >= 0.97, 16 series of all seven operations >= 0.80), and the time from
// start to the end of a one-tick run on a 1 x 1 world (target <= 30 ms). The
// best of several rounds counts, so that other load on the machine decides less;
// the ratios are given for wall-clock and for processor time (of the child alone),
// and for the run alone: without what the same process costs on a 1 x 1 world
// for one tick (loading Qt, the model and the settings, ending).
// The movie: Life 512 x 512, 1,000 frames (one a tick) of an MP4 through ffmpeg,
// ticks per second with the movie / without it (target >= 0.5 on 2 cores); its
// processor time includes ffmpeg's, which tessra-run waits for.
#include "ModelApi.h"

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <vector>

extern char** environ;

namespace {

const std::string Life = std::string(TESSRA_BINARY_DIR) + "/models/life/model.so";

/// Wall-clock and processor seconds of a piece of work.
struct Cost {
    double wall;
    double cpu;
};

double cpuSeconds()
{
    timespec now {};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

/// What the real tessra-run costs with these arguments (negative on failure). The
/// processor time (user and system) is that of the child alone, so that other load
/// on the machine counts less than in the wall-clock time.
Cost runCost(const std::vector<std::string>& arguments)
{
    std::vector<std::string> all { TESSRA_RUN };
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    QElapsedTimer clock;
    clock.start();
    // The series go nowhere: only the time counts.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return { -1, -1 };
    int status = 0;
    rusage usage {};
    wait4(pid, &status, 0, &usage);
    const double wall = static_cast<double>(clock.nsecsElapsed()) * 1e-9;
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
    };
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return { -1, -1 };
    return { wall, seconds(usage.ru_utime) + seconds(usage.ru_stime) };
}

/// The cost of `ticks` bare steps of Life size x size in this process.
Cost bareCost(int size, int ticks)
{
    const tessra::ModelApi model;
    model.loadModel(Life);
    model.setParamValue(0, std::to_string(size));
    model.setParamValue(1, std::to_string(size));
    model.newAgents();
    QElapsedTimer clock;
    clock.start();
    const double cpu = cpuSeconds();
    for (int i = 0; i < ticks; ++i)
        model.timestep();
    return { static_cast<double>(clock.nsecsElapsed()) * 1e-9, cpuSeconds() - cpu };
}

std::vector<std::string> lifeRun(int size, int ticks, bool series)
{
    std::vector<std::string> arguments { Life, "--quiet", "--set", "Width=" + std::to_string(size),
        "--set", "Height=" + std::to_string(size), "--ticks", std::to_string(ticks) };
    if (series) {
        for (const char* state : { "Alive", "Age" })
            for (const char* operation :
                { "Minimum", "Maximum", "Average", "Variance", "Skewness", "Kurtosis" })
                arguments.insert(
                    arguments.end(), { "--series", std::string(operation) + " " + state });
        for (const char* parameter : { "Width", "Height", "Density", "Seed" })
            arguments.insert(arguments.end(), { "--series", parameter });
    }
    return arguments;
}

void runAgainstBareLoop(benchmark::State& state, bool series)
{
    constexpr int Size = 256;
    constexpr int Ticks = 2000;
    constexpr int Rounds = 3;
    Cost bare { 1e9, 1e9 };
    Cost run { 1e9, 1e9 };
    Cost start { 1e9, 1e9 };
    for (auto _ : state) {
        for (int round = 0; round < Rounds; ++round) {
            const Cost b = bareCost(Size, Ticks);
            const Cost r = runCost(lifeRun(Size, Ticks, series));
            // The same program, model and series on a 1 x 1 world for one
            // tick: what the process costs before and after its run.
            const Cost s = runCost(lifeRun(1, 1, series));
            if (r.wall < 0 || s.wall < 0) {
                state.SkipWithError("tessra-run failed");
                return;
            }
            bare = { std::min(bare.wall, b.wall), std::min(bare.cpu, b.cpu) };
            run = { std::min(run.wall, r.wall), std::min(run.cpu, r.cpu) };
            start = { std::min(start.wall, s.wall), std::min(start.cpu, s.cpu) };
        }
    }
    state.counters["ratio_wall"] = bare.wall / run.wall;
    state.counters["ratio_cpu"] = bare.cpu / run.cpu;
    state.counters["ratio_run_alone"] = bare.wall / (run.wall - start.wall);
    std::printf("Life %dx%d, %d ticks, %s: tessra-run %.3f s (cpu %.3f s), bare loop %.3f s "
                "(cpu %.3f s), ratio %.3f (cpu %.3f); without the process's start and end "
                "(%.1f ms) %.3f\n",
        Size, Size, Ticks, series ? "16 series" : "no series", run.wall, run.cpu, bare.wall,
        bare.cpu, bare.wall / run.wall, bare.cpu / run.cpu, start.wall * 1e3,
        bare.wall / (run.wall - start.wall));
}

void BM_RunNoSeries(benchmark::State& state)
{
    runAgainstBareLoop(state, false);
}
BENCHMARK(BM_RunNoSeries)->Iterations(1)->Unit(benchmark::kSecond);

void BM_Run16Series(benchmark::State& state)
{
    runAgainstBareLoop(state, true);
}
BENCHMARK(BM_Run16Series)->Iterations(1)->Unit(benchmark::kSecond);

void BM_StartUp(benchmark::State& state)
{
    Cost best { 1e9, 1e9 };
    for (auto _ : state) {
        const Cost cost = runCost({ Life, "--quiet", "--set", "Width=1", "--set", "Height=1",
            "--ticks", "1", "--series", "Average Alive" });
        if (cost.wall < 0) {
            state.SkipWithError("tessra-run failed");
            return;
        }
        best = { std::min(best.wall, cost.wall), std::min(best.cpu, cost.cpu) };
    }
    state.counters["best_ms"] = best.wall * 1e3;
    state.counters["best_cpu_ms"] = best.cpu * 1e3;
    std::printf("Start-up to the end of a one-tick run on a 1x1 world: %.1f ms (cpu %.1f ms), "
                "best of 20\n",
        best.wall * 1e3, best.cpu * 1e3);
}
BENCHMARK(BM_StartUp)->Iterations(20)->Unit(benchmark::kMillisecond);

void BM_RunMovie(benchmark::State& state)
{
    constexpr int Size = 512;
    constexpr int Frames = 1000;
    constexpr int Rounds = 3;
    const QTemporaryDir folder;
    const std::string movie = folder.filePath("life.mp4").toStdString();
    Cost without { 1e9, 1e9 };
    Cost with { 1e9, 1e9 };
    double load[3] = {};
    for (auto _ : state) {
        for (int round = 0; round < Rounds; ++round) {
            // A frame at the start and at every tick: ticks 0 to Frames - 1.
            std::vector<std::string> arguments = lifeRun(Size, Frames - 1, false);
            const Cost plain = runCost(arguments);
            arguments.insert(arguments.end(), { "--movie", movie });
            std::remove(movie.c_str());
            const Cost recorded = runCost(arguments);
            if (plain.wall < 0 || recorded.wall < 0) {
                state.SkipWithError("tessra-run failed (is ffmpeg installed?)");
                return;
            }
            without = { std::min(without.wall, plain.wall), std::min(without.cpu, plain.cpu) };
            with = { std::min(with.wall, recorded.wall), std::min(with.cpu, recorded.cpu) };
        }
    }
    getloadavg(load, 3);
    state.counters["ratio_wall"] = without.wall / with.wall;
    state.counters["ratio_cpu"] = without.cpu / with.cpu;
    std::printf("Life %dx%d, %d frames of an MP4: with the movie %.3f s (cpu %.3f s with "
                "ffmpeg), without %.3f s (cpu %.3f s), ratio %.3f (cpu %.3f); load average "
                "%.2f %.2f %.2f\n",
        Size, Size, Frames, with.wall, with.cpu, without.wall, without.cpu,
        without.wall / with.wall, without.cpu / with.cpu, load[0], load[1], load[2]);
}
BENCHMARK(BM_RunMovie)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace

BENCHMARK_MAIN();
