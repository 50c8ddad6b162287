// Fixture model with states but no parameters: a 4 x 4 world where site
// (column, row) holds index = column + 4 * row and steps = the steps taken.
#include <tessra/model.hpp>

struct NoParams {
    static constexpr tessra::About about { "No Parameters", "1.0" };
    static constexpr const char* states[] { "index", "steps" };
    static void worldSize(tessra::Params, int& width, int& height) { width = height = 4; }
    void init(tessra::Sim sim)
    {
        for (int i = 0; i < sim.siteCount(); ++i)
            sim.sites()[2 * i] = static_cast<float>(i);
    }
    double step(tessra::Sim sim)
    {
        for (int i = 0; i < sim.siteCount(); ++i)
            sim.sites()[2 * i + 1] += 1;
        return sim.time() + 1;
    }
    void color(tessra::Sim sim, int column, int row, tessra::Rgb& rgb)
    {
        // Tests write extreme values (1e30, infinities, NaN) into the sites; the
        // shade stays in range for any of them.
        const float value = sim.state(column, row, 0) * 16;
        const auto shade = static_cast<unsigned short>(
            value >= 0 && value <= 65535 ? value : (value > 65535 ? 65535 : 0));
        rgb = tessra::Rgb { shade, 0, 0 };
    }
};

TESSRA_MODEL(NoParams)
