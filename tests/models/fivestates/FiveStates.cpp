// Fixture model with five states: a Width x Height world of zeroed sites, for
// tests that write values of their own into the sites. Steps change nothing
// but the time.
#include <tessra/model.hpp>

struct FiveStates {
    static constexpr tessra::About about { "Five States", "1.0" };
    static constexpr TessraParamInfo params[] {
        tessra::wholeParam("Width", "Width", 8, 0, 4096, "Columns of the world."),
        tessra::wholeParam("Height", "Height", 8, 0, 4096, "Rows of the world."),
    };
    static constexpr const char* states[] { "s0", "s1", "s2", "s3", "s4" };
    static void worldSize(tessra::Params p, int& width, int& height)
    {
        width = p.whole(0);
        height = p.whole(1);
    }
    void init(tessra::Sim) { }
    double step(tessra::Sim sim) { return sim.time() + 1; }
    void color(tessra::Sim, int, int, tessra::Rgb& rgb) { rgb = tessra::Rgb { 0, 0, 0 }; }
};

TESSRA_MODEL(FiveStates)
