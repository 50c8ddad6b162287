// Conway's Game of Life on a torus: the bundled example model.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <tessra/model.hpp>
#include <tessra/random.hpp>

namespace {

enum Param { Width, Height, Density, Seed };
enum State { Alive, Age };

/// Colours of live cells by age: newborn cells bright green, fading through
/// cyan to deep blue as they grow old.
constexpr int AgeColors = 64;

constexpr std::array<tessra::Rgb, AgeColors> makeAgeColors()
{
    std::array<tessra::Rgb, AgeColors> table {};
    for (int i = 0; i < AgeColors; ++i) {
        const int t = i * 255 / (AgeColors - 1);
        table[i] = tessra::Rgb { static_cast<unsigned short>(160 - t * 130 / 255),
            static_cast<unsigned short>(255 - t * 175 / 255),
            static_cast<unsigned short>(90 + t * 165 / 255) };
    }
    return table;
}
/// Index 0 a dead cell (black), 1 + age a live cell.
constexpr std::array<tessra::Rgb, AgeColors + 1> makeCellColors()
{
    std::array<tessra::Rgb, AgeColors + 1> table {};
    const auto ages = makeAgeColors();
    for (int i = 0; i < AgeColors; ++i)
        table[i + 1] = ages[i];
    return table;
}
constexpr std::array<tessra::Rgb, AgeColors + 1> cellColors = makeCellColors();

/// The same colours as image pixels, for colorRow.
constexpr std::array<tessra::Rgb8, AgeColors + 1> makeCellColors8()
{
    std::array<tessra::Rgb8, AgeColors + 1> table {};
    for (std::size_t i = 0; i < table.size(); ++i)
        table[i] = tessra::Rgb8::from(cellColors[i]);
    return table;
}
constexpr std::array<tessra::Rgb8, AgeColors + 1> cellColors8 = makeCellColors8();

/// The index into cellColors of a site. Branch-free: live and dead cells are
/// mixed at random, so a branch here would be mispredicted half the time.
inline int colorIndex(const float* site)
{
    const float age = std::min(static_cast<float>(AgeColors - 1), std::max(0.0f, site[Age]));
    const int alive = site[Alive] != 0.0f;
    return alive * (1 + static_cast<int>(age));
}

/// A state value as a whole number (any float a script may have written).
std::string whole(float value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.0f", static_cast<double>(value));
    return text;
}

} // namespace

class Life {
public:
    static constexpr tessra::About about { "Life", "1.0", "Copyright (c) the Tessra authors",
        "Conway's Game of Life on a torus. Cells live, die and are born by the number of live "
        "neighbours. Click a cell to toggle it.",
        "https://en.wikipedia.org/wiki/Conway%27s_Game_of_Life" };

    static constexpr TessraParamInfo params[] {
        tessra::wholeParam("Width", "Width", 128, 1, 4096, "Columns of the world."),
        tessra::wholeParam("Height", "Height", 128, 1, 4096, "Rows of the world."),
        tessra::realParam("Density", "Density", 0.3, 0, 1,
            "Chance that a cell is alive in the first generation (0: an empty world)."),
        tessra::wholeParam("Seed", "Seed", 1, 0, 2147483647,
            "Seed of the random first generation: the same seed gives the same world."),
    };

    static constexpr const char* states[] { "Alive", "Age" };

    static void worldSize(tessra::Params p, int& width, int& height)
    {
        width = p.whole(Width);
        height = p.whole(Height);
    }

    static std::string aboutParam(int index, tessra::Params p)
    {
        const long long sites = static_cast<long long>(p.whole(Width)) * p.whole(Height);
        const std::string size = std::to_string(p.whole(Width)) + " x "
            + std::to_string(p.whole(Height)) + " = " + std::to_string(sites) + " cells";
        if (index < 0 || index > Seed)
            return "";
        switch (index) {
        case Width:
        case Height:
            return std::string(params[index].description) + "\nThe world: " + size + ".";
        case Density:
            return std::string(params[index].description) + "\nAbout "
                + std::to_string(std::llround(p[Density] * static_cast<double>(sites))) + " of "
                + size + " start alive.";
        default:
            return params[index].description;
        }
    }

    void init(tessra::Sim sim)
    {
        tessra::Random random(static_cast<std::uint64_t>(sim.wholeParam(Seed)));
        const double density = sim.param(Density);
        for (int i = 0; i < sim.siteCount(); ++i)
            sim.sites()[2 * i + Alive] = random.chance(density) ? 1.0f : 0.0f;
        m_cells.resize(static_cast<std::size_t>(sim.siteCount()));
        m_columnSums.resize(static_cast<std::size_t>(sim.width()) + 2);
    }

    double step(tessra::Sim sim)
    {
        const int w = sim.width();
        const int h = sim.height();
        float* sites = sim.sites();
        std::uint8_t* cells = m_cells.data();
        // The present generation as bytes; the next is written straight into the sites.
        for (int i = 0; i < w * h; ++i)
            cells[i] = sites[2 * i + Alive] != 0.0f;
        std::uint8_t* sums = m_columnSums.data() + 1; // sums[-1] and sums[w] wrap around
        for (int row = 0; row < h; ++row) {
            const std::uint8_t* up = cells + static_cast<std::ptrdiff_t>((row + h - 1) % h) * w;
            const std::uint8_t* mid = cells + static_cast<std::ptrdiff_t>(row) * w;
            const std::uint8_t* down = cells + static_cast<std::ptrdiff_t>((row + 1) % h) * w;
            for (int c = 0; c < w; ++c)
                sums[c] = static_cast<std::uint8_t>(up[c] + mid[c] + down[c]);
            sums[-1] = sums[w - 1];
            sums[w] = sums[0];
            float* out = sites + static_cast<std::ptrdiff_t>(row) * w * 2;
            for (int c = 0; c < w; ++c) {
                const int neighbours = sums[c - 1] + sums[c] + sums[c + 1] - mid[c];
                const bool alive = neighbours == 3 || (mid[c] && neighbours == 2);
                out[2 * c + Age] = alive && mid[c] ? out[2 * c + Age] + 1.0f : 0.0f;
                out[2 * c + Alive] = alive ? 1.0f : 0.0f;
            }
        }
        return sim.time() + 1;
    }

    void color(tessra::Sim sim, int column, int row, tessra::Rgb& rgb) const
    {
        rgb = cellColors[colorIndex(sim.site(column, row))];
    }

    void colorRow(tessra::Sim sim, int row, tessra::Rgb8* out) const
    {
        const float* site = sim.site(0, row);
        const int width = sim.width();
        for (int column = 0; column < width; ++column, site += 2)
            out[column] = cellColors8[colorIndex(site)];
    }

    std::string hint(tessra::Sim sim, int column, int row) const
    {
        const float* site = sim.site(column, row);
        std::string text;
        text.append("(").append(std::to_string(column)).append(", ");
        text.append(std::to_string(row)).append(") ");
        if (site[Alive] == 0.0f)
            return text.append("dead");
        return text.append("alive, age ").append(whole(site[Age]));
    }

    void mouseUp(tessra::Sim sim, int button, int column, int row, int /*keys*/)
    {
        if (button != TESSRA_BUTTON_LEFT || !sim.contains(column, row))
            return;
        float* site = sim.site(column, row);
        site[Alive] = site[Alive] != 0.0f ? 0.0f : 1.0f;
        site[Age] = 0.0f;
    }

    std::string aboutState(tessra::Sim sim, int column, int row, int index) const
    {
        const float* site = sim.site(column, row);
        if (index == Alive)
            return site[Alive] != 0.0f ? "Alive: 1, the cell lives" : "Alive: 0, the cell is dead";
        return "Age: " + whole(site[Age]) + " steps lived since birth";
    }

private:
    std::vector<std::uint8_t> m_cells;
    std::vector<std::uint8_t> m_columnSums;
};

TESSRA_MODEL(Life)
