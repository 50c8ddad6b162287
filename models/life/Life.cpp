// Conway's Game of Life on a torus: the bundled example model.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

/// The same colours as image pixels for colorRow: red, green, blue and a spare byte,
/// so that a pixel is copied with one four-byte move.
using Pixel4 = std::array<unsigned char, 4>;
constexpr std::array<Pixel4, AgeColors + 1> makeCellPixels()
{
    std::array<Pixel4, AgeColors + 1> table {};
    for (std::size_t i = 0; i < table.size(); ++i) {
        const tessra::Rgb8 c = tessra::Rgb8::from(cellColors[i]);
        table[i] = Pixel4 { c.red, c.green, c.blue, 0 };
    }
    return table;
}
constexpr std::array<Pixel4, AgeColors + 1> cellPixels = makeCellPixels();

/// The index into cellColors of a site. Branch-free: live and dead cells are
/// mixed at random, so a branch here would be mispredicted half the time.
inline int colorIndex(const float* site)
{
    // Written as selects of values, which compile to min and max instructions (NaN: 0).
    float age = site[Age];
    age = age > 0.0f ? age : 0.0f;
    age = age < static_cast<float>(AgeColors - 1) ? age : static_cast<float>(AgeColors - 1);
    const int alive = site[Alive] != 0.0f;
    return -alive & (1 + static_cast<int>(age));
}

/// colorIndex of `count` sites side by side, four at a time where the processor can.
inline void colorIndexes(const float* site, int count, std::int32_t* index)
{
    int i = 0;
#if defined(__SSE2__)
    // The same selects as colorIndex: max(age, 0) gives 0 for NaN, min(age, oldest)
    // keeps the age below oldest, and a NaN Alive counts as alive.
    const __m128 zero = _mm_setzero_ps();
    const __m128 oldest = _mm_set1_ps(static_cast<float>(AgeColors - 1));
    const __m128i one = _mm_set1_epi32(1);
    for (; i + 4 <= count; i += 4) {
        const __m128 low = _mm_loadu_ps(site + 2 * i);
        const __m128 high = _mm_loadu_ps(site + 2 * i + 4);
        const __m128 alive = _mm_shuffle_ps(low, high, _MM_SHUFFLE(2, 0, 2, 0));
        const __m128 age = _mm_min_ps(
            _mm_max_ps(_mm_shuffle_ps(low, high, _MM_SHUFFLE(3, 1, 3, 1)), zero), oldest);
        const __m128i shade = _mm_add_epi32(_mm_cvttps_epi32(age), one);
        const __m128i live = _mm_castps_si128(_mm_cmpneq_ps(alive, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(index + i), _mm_and_si128(shade, live));
    }
#endif
    for (; i < count; ++i)
        index[i] = colorIndex(site + 2 * i);
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
        // In blocks: first the colour indexes, four sites at a time, then
        // the table look-ups, four bytes at a time: a pixel's fourth byte is the next
        // pixel's first, written again right after. The row's last pixel gets three.
        constexpr int Block = 512;
        std::int32_t index[Block];
        const float* site = sim.site(0, row);
        auto* bytes = reinterpret_cast<unsigned char*>(out);
        const int width = sim.width();
        for (int start = 0; start < width; start += Block) {
            const int n = std::min(Block, width - start);
            colorIndexes(site + 2 * static_cast<std::ptrdiff_t>(start), n, index);
            unsigned char* p = bytes + 3 * static_cast<std::ptrdiff_t>(start);
            const int whole = start + n == width ? n - 1 : n;
            for (int i = 0; i < whole; ++i)
                std::memcpy(p + 3 * i, cellPixels[static_cast<std::size_t>(index[i])].data(), 4);
            if (whole < n)
                std::memcpy(
                    p + 3 * whole, cellPixels[static_cast<std::size_t>(index[whole])].data(), 3);
        }
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
