// ns per site of colouring every site (_callColorAgent, and all rows at once
// with _callColorRows) and of one
// forEachAgentVar pass with an averaging site operation, on 1024 x 1024 Life
// worlds: "random" after a few steps from density 0.3 (the model's own colour
// work includes unpredictable branches), "empty" with density 0 (what is left
// is mostly the cost of the calls). Figures are thread CPU time per site.
// Run from the build folder: bin/api_bench
#include <ctime>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "TessraAPI.h"

namespace {

constexpr int Side = 1024;

double threadSeconds()
{
    timespec now {};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
}

/// Loads Life and builds a Side x Side world; false (with the reason in
/// `state`) when that fails.
bool buildLifeWorld(benchmark::State& state, double density)
{
    const std::string path = std::string(TESSRA_BINARY_DIR) + "/models/life/model.so";
    _loadModel(path.c_str());
    if (const char* error = _getLoadModelErr()) {
        state.SkipWithError(error);
        return false;
    }
    for (const char* name : { "Width", "Height" })
        if (double* size = getParamRef(name))
            *size = Side;
    if (double* value = getParamRef("Density"))
        *value = density;
    _newAgents();
    for (int i = 0; i < 5; ++i) // mixed ages, so colours vary
        _callTimestep();
    if (_getWorldWidth() != Side || _getWorldHeight() != Side) {
        state.SkipWithError("Life did not build a 1024 x 1024 world");
        return false;
    }
    return true;
}

void reportPerSite(benchmark::State& state, double seconds)
{
    const double sites = static_cast<double>(_getWorldWidth()) * _getWorldHeight();
    state.counters["ns_per_site"]
        = benchmark::Counter(seconds * 1e9 / sites, benchmark::Counter::kAvgIterations);
}

void colorEverySite(benchmark::State& state, double density)
{
    if (!buildLifeWorld(state, density))
        return;
    const int width = _getWorldWidth();
    const int height = _getWorldHeight();
    double seconds = 0;
    for (auto _ : state) {
        const double start = threadSeconds();
        unsigned sum = 0;
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < width; ++column) {
                unsigned short red = 0, green = 0, blue = 0;
                _callColorAgent(column, row, &red, &green, &blue);
                sum += red + green + blue;
            }
        benchmark::DoNotOptimize(sum);
        seconds += threadSeconds() - start;
    }
    reportPerSite(state, seconds);
}
BENCHMARK_CAPTURE(colorEverySite, random, 0.3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(colorEverySite, empty, 0.0)->Unit(benchmark::kMillisecond);

/// Every row at once through _callColorRows into a padded RGB888 image, as the
/// front end draws: Life's own colorRows (targets: at most 1.5 ns per site,
/// goal 1.0), and the fallback site by site over a model without one (at most 5).
void colorRowsOfWorld(benchmark::State& state)
{
    const int width = _getWorldWidth();
    const int height = _getWorldHeight();
    const int bytesPerLine = (3 * width + 3) & ~3;
    std::vector<unsigned char> image(static_cast<std::size_t>(bytesPerLine) * height);
    double seconds = 0;
    for (auto _ : state) {
        const double start = threadSeconds();
        _callColorRows(0, height, image.data(), bytesPerLine);
        benchmark::DoNotOptimize(image.data());
        benchmark::ClobberMemory();
        seconds += threadSeconds() - start;
    }
    reportPerSite(state, seconds);
}

void colorRowsLife(benchmark::State& state, double density)
{
    if (buildLifeWorld(state, density))
        colorRowsOfWorld(state);
}
BENCHMARK_CAPTURE(colorRowsLife, random, 0.3)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(colorRowsLife, empty, 0.0)->Unit(benchmark::kMillisecond);

/// A model without colorRows: the "nothing" fixture, whose colour function
/// leaves the colour alone, so what is measured is the library's loop and calls.
void colorRowsFallback(benchmark::State& state)
{
    const std::string path = std::string(TESSRA_BINARY_DIR) + "/tests/models/nothing/model.so";
    _loadModel(path.c_str());
    if (const char* error = _getLoadModelErr()) {
        state.SkipWithError(error);
        return;
    }
    for (const char* name : { "Width", "Height" })
        if (double* size = getParamRef(name))
            *size = Side;
    _newAgents();
    colorRowsOfWorld(state);
}
BENCHMARK(colorRowsFallback)->Unit(benchmark::kMillisecond);

// The recorder's Average operation: the mean of one state over all sites.
unsigned char average(float* values, int, int, int, int, int phase, double* result)
{
    static double count = 0;
    if (phase == 1) {
        *result = 0;
        count = 0;
    } else if (phase == 0) {
        *result += values[0];
        count += 1;
    } else {
        *result /= count;
    }
    return 1;
}

void averagePass(benchmark::State& state, double density)
{
    if (!buildLifeWorld(state, density))
        return;
    double result = 0;
    double seconds = 0;
    for (auto _ : state) {
        const double start = threadSeconds();
        forEachAgentVar(average, &result, 1);
        benchmark::DoNotOptimize(result);
        seconds += threadSeconds() - start;
    }
    reportPerSite(state, seconds);
}
BENCHMARK_CAPTURE(averagePass, random, 0.3)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
