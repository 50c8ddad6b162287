// Fixture model with parameters but no states: a Size x Size world of grey sites.
#include <tessra/model.hpp>

struct NoStates {
    static constexpr tessra::About about { "No States", "1.0" };
    static constexpr TessraParamInfo params[] {
        tessra::wholeParam("Size", "Size", 4, 0, 64, "Sites per side."),
        tessra::realParam("Level", "Level", 0.5, 0, 1, "Grey level of every site."),
    };
    static void worldSize(tessra::Params p, int& width, int& height)
    {
        width = height = p.whole(0);
    }
    void init(tessra::Sim) { }
    double step(tessra::Sim sim) { return sim.time() + 1; }
    void color(tessra::Sim sim, int, int, tessra::Rgb& rgb)
    {
        const auto grey = static_cast<unsigned short>(sim.param(1) * 255 + 0.5);
        rgb = tessra::Rgb { grey, grey, grey };
    }
};

TESSRA_MODEL(NoStates)
