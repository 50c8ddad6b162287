// Fixture model for statistics: a Width x 1 world (Width 0 to 4) whose site i
// holds x = v<i> and "Average x" = 100 + v<i>. Steps change nothing but the time.
#include <tessra/model.hpp>

struct Stats {
    static constexpr tessra::About about { "Statistics", "1.0" };
    static constexpr TessraParamInfo params[] {
        tessra::realParam("v0", "v0", 1, -1e6, 1e6),
        tessra::realParam("v1", "v1", 2, -1e6, 1e6),
        tessra::realParam("v2", "v2", 3, -1e6, 1e6),
        tessra::realParam("v3", "v3", 4, -1e6, 1e6),
        tessra::wholeParam("Width", "Width", 4, 0, 4, "Sites in the world (one row)."),
    };
    static constexpr const char* states[] { "x", "Average x" };
    static void worldSize(tessra::Params p, int& width, int& height)
    {
        width = p.whole(4);
        height = 1;
    }
    void init(tessra::Sim sim)
    {
        for (int i = 0; i < sim.siteCount(); ++i) {
            sim.sites()[2 * i] = static_cast<float>(sim.param(i));
            sim.sites()[2 * i + 1] = static_cast<float>(100 + sim.param(i));
        }
    }
    double step(tessra::Sim sim) { return sim.time() + 1; }
    void color(tessra::Sim, int, int, tessra::Rgb& rgb) { rgb = tessra::Rgb { 255, 255, 255 }; }
};

TESSRA_MODEL(Stats)
