// Fixture model whose steps advance the time by the parameter dt (0.4 at
// first: 0.4, 0.8, 1.2, ...). A 2 x 2 world; each site holds index =
// column + 2 * row and time = the simulation time after the last step.
#include <tessra/model.hpp>

struct Fractional {
    static constexpr tessra::About about { "Fractional", "1.0" };
    static constexpr TessraParamInfo params[] {
        tessra::realParam("dt", "Time step", 0.4, 0.01, 10, "Ticks per step."),
    };
    static constexpr const char* states[] { "index", "time" };
    static void worldSize(tessra::Params, int& width, int& height) { width = height = 2; }
    void init(tessra::Sim sim)
    {
        for (int i = 0; i < sim.siteCount(); ++i)
            sim.sites()[2 * i] = static_cast<float>(i);
    }
    double step(tessra::Sim sim)
    {
        const double next = tessra::nextTime(sim.time(), sim.param(0));
        for (int i = 0; i < sim.siteCount(); ++i)
            sim.sites()[2 * i + 1] = static_cast<float>(next);
        return next;
    }
    void color(tessra::Sim, int, int, tessra::Rgb& rgb) { rgb = tessra::Rgb { 0, 0, 255 }; }
};

TESSRA_MODEL(Fractional)
