// The front end's own cost: how fast a run goes at each frame-rate setting compared
// with a bare loop of steps on the same model and world, the cost of one step of the run
// loop, and the cost of drawing the world.
//
// Prints, per benchmark, ticks/s and the ratio to the bare loop (targets: Slow and
// Medium >= 0.95, Fast >= 0.40), steps/s for the "nothing" model at Slow (target
// >= 200,000), and ms per drawWorld of a 1024 x 1024 world (target for Life <= 2 ms;
// Life colours whole rows, "nothing" is coloured site by site).
#include "Core.h"
#include "FrontEnd.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace tessra {
namespace {

QString exampleModel(const char* name)
{
    return QString(TESSRA_BINARY_DIR) + "/models/" + name + "/model.so";
}

QString fixtureModel(const char* name)
{
    return QString(TESSRA_BINARY_DIR) + "/tests/models/" + name + "/model.so";
}

/// One front end, loaded with `path` and a world of width x height sites.
class Bench {
public:
    Bench(const QString& path, int width, int height)
    {
        QDir::setCurrent(m_folder.path());
        QFile settings(m_folder.filePath("size.ini"));
        if (settings.open(QIODevice::WriteOnly))
            settings.write(
                QString("[Parameters]\nWidth=%1\nHeight=%2\n").arg(width).arg(height).toUtf8());
        settings.close();
        m_core = std::make_unique<Core>();
        frontEnd().setStartupSettingsFile(settings.fileName());
        if (!frontEnd().loadModelFile(path))
            std::fprintf(stderr, "cannot load %s: %s\n", qPrintable(path),
                qPrintable(frontEnd().loadModelError()));
    }
    FrontEnd& frontEnd() { return m_core->frontEnd(); }
    ModelApi model() { return m_core->model(); }

    /// Ticks per second of a bare loop of steps for `seconds`.
    double bareTicksPerSecond(double seconds)
    {
        frontEnd().newSimulation(QString());
        QElapsedTimer clock;
        clock.start();
        const double start = model().simTime();
        double time = start;
        while (clock.nsecsElapsed() < seconds * 1e9)
            time = model().timestep();
        return (time - start) / (clock.nsecsElapsed() * 1e-9);
    }

    /// Ticks per second of a run at `frameRate` lasting `seconds`.
    double runTicksPerSecond(int frameRate, double seconds)
    {
        frontEnd().newSimulation(QString());
        frontEnd().setFrameRate(frameRate);
        QTimer::singleShot(
            static_cast<int>(seconds * 1000), &frontEnd(), [this] { frontEnd().requestPause(); });
        QElapsedTimer clock;
        clock.start();
        const double start = model().simTime();
        frontEnd().Run1Click();
        frontEnd().waitWhileRunning();
        return (model().simTime() - start) / (clock.nsecsElapsed() * 1e-9);
    }

private:
    QTemporaryDir m_folder;
    std::unique_ptr<Core> m_core;
};

constexpr double Seconds = 1.0;
constexpr int Rounds = 3;

// The bare loop and the run alternate; the best of each is compared, so that other
// load on the machine does not decide the ratio.
void runThroughput(benchmark::State& state, const char* model, int size)
{
    Bench bench(exampleModel(model), size, size);
    const int frameRate = static_cast<int>(state.range(0));
    double bare = 0;
    double run = 0;
    for (auto _ : state) {
        for (int round = 0; round < Rounds; ++round) {
            bare = std::max(bare, bench.bareTicksPerSecond(Seconds));
            run = std::max(run, bench.runTicksPerSecond(frameRate, Seconds));
        }
    }
    state.counters["bare_ticks_per_s"] = bare;
    state.counters["run_ticks_per_s"] = run;
    state.counters["ratio"] = run / bare;
    static const char* names[] = { "Slow", "Medium", "Fast" };
    std::printf("%s %dx%d %-6s: run %.0f ticks/s, bare loop %.0f ticks/s, ratio %.3f\n", model,
        size, size, names[frameRate], run, bare, run / bare);
}

void BM_LifeRun256(benchmark::State& state)
{
    runThroughput(state, "life", 256);
}
BENCHMARK(BM_LifeRun256)->Arg(0)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kSecond);

// The run loop's own cost per step: a model whose step and colours do nothing.
void BM_NothingStepsAtSlow(benchmark::State& state)
{
    Bench bench(fixtureModel("nothing"), 256, 256);
    double run = 0;
    for (auto _ : state) {
        for (int round = 0; round < Rounds; ++round)
            run = std::max(run, bench.runTicksPerSecond(0, Seconds));
    }
    state.counters["steps_per_s"] = run;
    std::printf("nothing 256x256 Slow  : %.0f steps/s (%.2f us per step)\n", run, 1e6 / run);
}
BENCHMARK(BM_NothingStepsAtSlow)->Iterations(1)->Unit(benchmark::kSecond);

// One refresh's drawing: the model colours the image's rows in place.
void drawWorld(benchmark::State& state, const QString& path, const char* name)
{
    Bench bench(path, 1024, 1024);
    double best = 1e9;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        bench.frontEnd().drawWorld();
        best = std::min(best, clock.nsecsElapsed() * 1e-6);
    }
    state.counters["best_ms_per_draw"] = best;
    state.counters["ns_per_site"] = best * 1e6 / (1024.0 * 1024.0);
    state.SetLabel(name);
}

void BM_DrawWorldLife1024(benchmark::State& state)
{
    drawWorld(state, exampleModel("life"), "life");
}
BENCHMARK(BM_DrawWorldLife1024)->Unit(benchmark::kMillisecond);

void BM_DrawWorldNothing1024(benchmark::State& state)
{
    drawWorld(state, fixtureModel("nothing"), "nothing");
}
BENCHMARK(BM_DrawWorldNothing1024)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tessra

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
