// Drawing costs of the time-series window (offscreen platform).
//
//   full_redraw_16x1M: one full redraw of a graph of 16 series of 1,000,000
//     samples each, at 800 x 600 pixels; prints ms per redraw (Time column).
//   full_redraw_16xN: the same with N samples per series.
//   flush_16x1000_new/N: the display refresh's flush during a run, after
//     1,000 new samples per series, on a graph that held N samples per series
//     to begin with; prints ms per flush (Time column).
//   memory: bytes held per sample by the sample lists, the graph and the
//     window together, measured with mallinfo2; printed before the runs.
#include <benchmark/benchmark.h>

#include <malloc.h>

#include <QApplication>
#include <QCoreApplication>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "ModelApi.h"
#include "SeriesChoice.h"
#include "SeriesTable.h"
#include "TfTimeSeries.h"
#include "TimeSeriesGraph.h"
#include "TimeSeriesRecorder.h"

using namespace tessra;

namespace {

const std::string StatsModel = std::string(TESSRA_BINARY_DIR) + "/tests/models/stats/model.so";
constexpr int Series = 16;
constexpr int Million = 1'000'000;

std::size_t heapInUse()
{
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

double sampleValue(int series, long long i)
{
    // Noisy waves: every pixel column holds a spread of values.
    return std::sin(i * 1e-4 + series) * (series + 1) + std::sin(i * 0.7) * 0.1;
}

/// A shown time-series window with 16 series, its graph 800 x 600 pixels.
struct GraphFixture {
    std::unique_ptr<TimeSeriesRecorder> recorder;
    std::unique_ptr<SeriesChoice> choice;
    std::unique_ptr<TfTimeSeries> window;
    long long samples = 0;

    explicit GraphFixture(long long perSeries)
    {
        const ModelApi model;
        recorder = std::make_unique<TimeSeriesRecorder>(model);
        choice = std::make_unique<SeriesChoice>(recorder->table());
        SeriesTable& table = recorder->table();
        for (int operation = 0; operation < SeriesTable::Parameter; ++operation) {
            table.addSeries(operation, 0);
            table.addSeries(operation, 1);
        }
        for (int param = 0; param < 4; ++param)
            table.addSeries(SeriesTable::Parameter, param);
        window = std::make_unique<TfTimeSeries>(*recorder, *choice);
        append(perSeries);
        window->show();
        const QSize graph = window->graph()->size();
        window->resize(window->size() + QSize(800, 600) - graph);
        QCoreApplication::processEvents();
        window->flush();
    }

    void append(long long count)
    {
        SeriesTable& table = recorder->table();
        for (long long i = samples; i < samples + count; ++i)
            for (int s = 0; s < Series; ++s)
                table.addSample(s, static_cast<double>(i), sampleValue(s, i));
        samples += count;
    }
};

void full_redraw_16x1M(benchmark::State& state)
{
    GraphFixture fixture(Million);
    TimeSeriesGraph* graph = fixture.window->graph();
    for (auto _ : state)
        graph->replot(QCustomPlot::rpImmediateRefresh);
    state.counters["graph_width"] = graph->width();
    state.counters["graph_height"] = graph->height();
}

void full_redraw_16xN(benchmark::State& state)
{
    GraphFixture fixture(state.range(0));
    TimeSeriesGraph* graph = fixture.window->graph();
    for (auto _ : state)
        graph->replot(QCustomPlot::rpImmediateRefresh);
}

void flush_16x1000_new(benchmark::State& state)
{
    GraphFixture fixture(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        fixture.append(1000);
        state.ResumeTiming();
        fixture.window->flush();
    }
}

void printMemory()
{
    const std::size_t before = heapInUse();
    {
        GraphFixture fixture(Million);
        const std::size_t after = heapInUse();
        const double total = static_cast<double>(Series) * Million;
        std::printf("memory: %.2f bytes per sample in all (sample lists, graph, window), "
                    "%zu MB for %d x %d samples\n",
            static_cast<double>(after - before) / total, (after - before) >> 20, Series, Million);
    }
    std::fflush(stdout);
}

} // namespace

BENCHMARK(full_redraw_16x1M)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(full_redraw_16xN)
    ->Arg(0)
    ->Arg(1000)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(flush_16x1000_new)
    ->Arg(0)
    ->Arg(10'000)
    ->Arg(100'000)
    ->Arg(Million)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(50);

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The windows keep display settings: not in the user's.
    const QTemporaryDir settings;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tessra"));
    QApplication::setApplicationName(QStringLiteral("TessraBench"));
    const ModelApi model;
    model.loadModel(StatsModel);
    if (!model.isLoaded()) {
        std::fprintf(stderr, "cannot load %s\n", StatsModel.c_str());
        return 1;
    }
    model.newAgents();
    // TESSRA_BENCH_NO_MEMORY=1 skips the memory figure (for profiling the runs).
    if (!qEnvironmentVariableIsSet("TESSRA_BENCH_NO_MEMORY"))
        printMemory();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
