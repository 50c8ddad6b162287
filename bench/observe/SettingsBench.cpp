// Settings files at scale, processor time of this thread:
//  - read_110MB_settings: restoring the parameters (_loadParams) and the time
//    series (loadTimeSeries) from a 110 MB file whose "Time Series" section
//    lists 5 million rows, of which only 17 are valid (the 17th ends the
//    restore, the window holding 16);
//  - save_110MB_settings: one atomic save of both sections into that file;
//  - load_100k_parameters: loading a model that describes 100,000 parameters
//    (the baddesc fixture of a build with tests; skipped without it).
// Run from the build folder: bin/settings_bench
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

#include <benchmark/benchmark.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "CommandError.h"
#include "ModelApi.h"
#include "SeriesTable.h"
#include "TimeSeriesSettings.h"

using namespace tessra;

namespace {

const std::string LifeModel = std::string(TESSRA_BINARY_DIR) + "/models/life/model.so";
const std::string ManyParamsModel
    = std::string(TESSRA_BINARY_DIR) + "/tests/models/baddesc/model.so";

double threadSeconds()
{
    timespec now {};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
}

/// A settings file of about 110 MB in a private folder.
class LargeFile {
public:
    LargeFile()
    {
        m_path = QDir(m_dir.path()).filePath("large.ini");
        std::string text = "; a settings file grown by hand\n[Parameters]\nWidth=64\nHeight=64\n"
                           "Density=0.25\nSeed=9\n\n[Time Series]\nCount=5000000\n";
        const char* labels[] = { "Minimum Alive", "Maximum Alive", "Average Alive",
            "Variance Alive", "Skewness Alive", "Kurtosis Alive", "Minimum Age", "Maximum Age",
            "Average Age", "Variance Age", "Skewness Age", "Kurtosis Age", "Width", "Height",
            "Density", "Seed", "Average Alive" };
        for (int row = 0; row < 5000000; ++row)
            text += std::to_string(row) + "="
                + (row < 17 ? labels[row] : "Label of no series at all") + "\n";
        text.resize(std::max<std::size_t>(text.size(), 110u << 20), '\n');
        QFile file(m_path);
        if (file.open(QIODevice::WriteOnly))
            file.write(text.data(), static_cast<qint64>(text.size()));
    }
    const QString& path() const { return m_path; }

private:
    QTemporaryDir m_dir;
    QString m_path;
};

void read_110MB_settings(benchmark::State& state)
{
    const ModelApi model;
    model.loadModel(LifeModel);
    if (!model.isLoaded())
        return state.SkipWithError("Life is not built");
    const LargeFile file;
    SeriesTable table { model };
    for (auto _ : state) {
        const double start = threadSeconds();
        model.loadParams(QFile::encodeName(file.path()).toStdString());
        try {
            TimeSeriesSettings::loadTimeSeries(table, file.path());
        } catch (const CommandError&) {
            // the seventeenth series ends the restore
        }
        state.SetIterationTime(threadSeconds() - start);
        if (table.count() != 16)
            return state.SkipWithError("the restore did not find 16 series");
    }
}
BENCHMARK(read_110MB_settings)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

void save_110MB_settings(benchmark::State& state)
{
    const ModelApi model;
    model.loadModel(LifeModel);
    if (!model.isLoaded())
        return state.SkipWithError("Life is not built");
    const LargeFile file;
    SeriesTable table { model };
    table.addSeries(SeriesTable::Average, 0);
    for (auto _ : state) {
        const double start = threadSeconds();
        TimeSeriesSettings::saveSettingsFile(table, file.path());
        state.SetIterationTime(threadSeconds() - start);
    }
}
BENCHMARK(save_110MB_settings)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(3);

void load_100k_parameters(benchmark::State& state)
{
    if (!QFile::exists(QString::fromStdString(ManyParamsModel)))
        return state.SkipWithError("the baddesc fixture is not built (a build with tests has it)");
    ::setenv("TESSRA_BADDESC", "manyparams", 1);
    const ModelApi model;
    for (auto _ : state) {
        const double start = threadSeconds();
        model.loadModel(ManyParamsModel);
        state.SetIterationTime(threadSeconds() - start);
        if (model.paramCount() != 100000)
            return state.SkipWithError("the model did not load");
    }
    ::unsetenv("TESSRA_BADDESC");
}
BENCHMARK(load_100k_parameters)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);

} // namespace

BENCHMARK_MAIN();
