// Recording and export costs of the time series.
//
//   record_16_series: one recordTimeSeries with 16 series (every operation,
//     both states of Life, and parameters) on a 1024 x 1024 world; prints ns
//     per site for the whole recording and the count of site statistics
//     (whose two sweeps over the world are shared by all of them).
//   export_1M_rows_16_series: export of 1,000,000 rows of 16 series; prints
//     MB/s of file written.
#include <benchmark/benchmark.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cmath>
#include <random>
#include <string>

#include "ModelApi.h"
#include "TimeSeriesRecorder.h"

using namespace tessra;

namespace {

const std::string LifeModel = std::string(TESSRA_BINARY_DIR) + "/models/life/model.so";

int paramIndex(const ModelApi& model, const std::string& name)
{
    for (int i = 0; i < model.paramCount(); ++i)
        if (model.paramName(i) == name)
            return i;
    return -1;
}

// Life at `size` x `size` with every pair of statistic and state plus the
// four parameters: 16 series.
bool setUpLife(const ModelApi& model, SeriesTable& table, int size)
{
    model.loadModel(LifeModel);
    if (!model.isLoaded())
        return false;
    model.setParamValue(paramIndex(model, "Width"), std::to_string(size));
    model.setParamValue(paramIndex(model, "Height"), std::to_string(size));
    model.setParamValue(paramIndex(model, "Density"), "0.5");
    model.newAgents();
    // Ages spread out so that every statistic has real work.
    std::mt19937 random(3);
    std::exponential_distribution<float> age(0.1f);
    for (int row = 0; row < size; ++row)
        for (int column = 0; column < size; ++column)
            *model.stateRef(column, row, "Age") = std::floor(age(random));
    for (int state = 0; state < model.stateCount(); ++state)
        for (int operation = 0; operation < SeriesTable::Parameter; ++operation)
            table.addSeries(operation, state);
    for (int param = 0; param < model.paramCount() && !table.isFull(); ++param)
        table.addSeries(SeriesTable::Parameter, param);
    return table.isFull();
}

void record_16_series(benchmark::State& state)
{
    const ModelApi model;
    TimeSeriesRecorder recorder(model);
    const int size = 1024;
    if (!setUpLife(model, recorder.table(), size)) {
        state.SkipWithError("Life model not built or too few series");
        return;
    }
    int statistics = 0;
    for (int slot = 0; slot < SeriesTable::SlotCount; ++slot) {
        const int operation = recorder.table().operation(slot);
        statistics += operation >= 0 && operation != SeriesTable::Parameter ? 1 : 0;
    }
    double tick = 0.0;
    for (auto _ : state) {
        recorder.recordTimeSeries(tick);
        tick += 1.0;
    }
    state.counters["site_statistics"] = statistics;
    state.counters["ns_per_site"] = benchmark::Counter(double(size) * size * 1e-9,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(record_16_series)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void export_1M_rows_16_series(benchmark::State& state)
{
    const ModelApi model;
    TimeSeriesRecorder recorder(model);
    if (!setUpLife(model, recorder.table(), 16)) {
        state.SkipWithError("Life model not built or too few series");
        return;
    }
    SeriesTable& table = recorder.table();
    const int rows = 1000000;
    for (int slot = 0; slot < SeriesTable::SlotCount; ++slot)
        for (int row = 0; row < rows; ++row)
            table.addSample(slot, row, std::sin(row * 0.001 + slot) * (slot + 1) * 100.0);
    QTemporaryDir folder;
    const QString file = QDir(folder.path()).filePath(QStringLiteral("series.dat"));
    double bytes = 0;
    for (auto _ : state) {
        recorder.exportTimeSeries(file, TimeSeriesExport::Overwrite);
        bytes = double(QFileInfo(file).size());
    }
    state.counters["file_MB"] = bytes / 1e6;
    state.counters["MB_per_s"]
        = benchmark::Counter(bytes / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(export_1M_rows_16_series)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
