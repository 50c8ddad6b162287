// Fixture model that does as little as a model can: its colour function leaves
// the colour alone (the world stays black) and its step only advances the time.
// Used to measure the front end's own cost per step and per refresh.
#include <tessra/model.hpp>

struct Nothing {
    static constexpr tessra::About about { "Nothing", "1.0" };
    static constexpr TessraParamInfo params[] {
        tessra::wholeParam("Width", "Width", 256, 0, 4096),
        tessra::wholeParam("Height", "Height", 256, 0, 4096),
    };
    static constexpr const char* states[] { "x" };
    static void worldSize(tessra::Params p, int& width, int& height)
    {
        width = p.whole(0);
        height = p.whole(1);
    }
    void init(tessra::Sim) { }
    double step(tessra::Sim sim) { return sim.time() + 1; }
    void color(tessra::Sim, int, int, tessra::Rgb&) { }
};

TESSRA_MODEL(Nothing)
