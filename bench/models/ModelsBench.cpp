// ns per site of one time step and of colouring one site, for every example
// model on a 1024 x 1024 world, beside the "nothing" fixture whose step and
// colour do nothing (the cost of the calls themselves).
// Run from the build folder: bin/models_bench
#include <string>

#include <benchmark/benchmark.h>

#include "TessraAPI.h"

namespace {

constexpr int Side = 1024;

std::string modelPath(const std::string& name)
{
    const std::string dir = name == "nothing" ? "/tests/models/" : "/models/";
    return std::string(TESSRA_BINARY_DIR) + dir + name + "/model.so";
}

/// Loads the model (if another is loaded) and builds a Side x Side world.
bool buildWorld(const std::string& name)
{
    static std::string loaded;
    if (loaded == name)
        return true;
    loaded.clear();
    _loadModel(modelPath(name).c_str());
    if (_getLoadModelErr())
        return false;
    for (const char* param : { "Width", "Height" })
        if (double* size = getParamRef(param))
            *size = Side;
    _newAgents();
    for (int i = 0; i < 8; ++i) // past the first, untypical steps
        _callTimestep();
    if (_getWorldWidth() != Side || _getWorldHeight() != Side)
        return false;
    loaded = name;
    return true;
}

void perSite(benchmark::State& state)
{
    state.counters["ns_per_site"] = benchmark::Counter(double(Side) * Side * 1e-9,
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void step(benchmark::State& state, const std::string& name)
{
    if (!buildWorld(name)) {
        state.SkipWithError("cannot build the world");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(_callTimestep());
    perSite(state);
}

void colour(benchmark::State& state, const std::string& name)
{
    if (!buildWorld(name)) {
        state.SkipWithError("cannot build the world");
        return;
    }
    for (auto _ : state) {
        unsigned sum = 0;
        for (int row = 0; row < Side; ++row)
            for (int column = 0; column < Side; ++column) {
                unsigned short r = 0, g = 0, b = 0;
                _callColorAgent(column, row, &r, &g, &b);
                sum += r + g + b;
            }
        benchmark::DoNotOptimize(sum);
    }
    perSite(state);
}

} // namespace

BENCHMARK_CAPTURE(step, nothing, std::string("nothing"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(colour, nothing, std::string("nothing"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(step, life, std::string("life"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(colour, life, std::string("life"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(step, grayscott, std::string("grayscott"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(colour, grayscott, std::string("grayscott"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(step, forestfire, std::string("forestfire"))->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(colour, forestfire, std::string("forestfire"))->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
