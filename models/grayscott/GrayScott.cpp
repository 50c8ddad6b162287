// Gray-Scott reaction-diffusion: two chemicals U and V on a torus.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <tessra/model.hpp>
#include <tessra/random.hpp>

namespace {

enum Param { Feed, Kill, Du, Dv, Dt, Width, Height, Seed };
enum State { U, V };

/// Colours of V from 0 (deep blue) through teal and yellow to white.
constexpr int Shades = 256;

std::array<tessra::Rgb, Shades> makeShades()
{
    struct Stop {
        double at, r, g, b;
    };
    const Stop stops[] { { 0.0, 0, 0, 30 }, { 0.25, 0, 90, 140 }, { 0.5, 30, 180, 130 },
        { 0.75, 240, 220, 60 }, { 1.0, 255, 255, 255 } };
    std::array<tessra::Rgb, Shades> table {};
    for (int i = 0; i < Shades; ++i) {
        const double t = i / double(Shades - 1);
        int k = 0;
        while (k < 3 && t > stops[k + 1].at)
            ++k;
        const Stop& a = stops[k];
        const Stop& b = stops[k + 1];
        const double f = (t - a.at) / (b.at - a.at);
        auto mix = [f](double x, double y) {
            return static_cast<unsigned short>(std::lround(x + (y - x) * f));
        };
        table[i] = tessra::Rgb { mix(a.r, b.r), mix(a.g, b.g), mix(a.b, b.b) };
    }
    return table;
}
const std::array<tessra::Rgb, Shades> shades = makeShades();

/// The same colours as image pixels, for colorRow.
const std::array<tessra::Rgb8, Shades> shades8 = [] {
    std::array<tessra::Rgb8, Shades> table {};
    for (int i = 0; i < Shades; ++i)
        table[i] = tessra::Rgb8::from(shades[i]);
    return table;
}();

/// V rarely passes 0.45; that maps to the brightest shade.
constexpr float VFull = 0.45f;

/// The shade of a value of V (NaN: the darkest).
inline int shadeIndex(float v)
{
    const float t = v > 0.0f ? (v < VFull ? v / VFull : 1.0f) : 0.0f;
    return static_cast<int>(t * (Shades - 1));
}

std::string number(double value, const char* format = "%.4g")
{
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

class GrayScott {
public:
    static constexpr tessra::About about { "Gray-Scott", "1.0", "Copyright (c) the Tessra authors",
        "Gray-Scott reaction-diffusion: U is fed in, V eats U and is killed off. Spots, "
        "stripes and waves form from a few seeds. Click to drop V.",
        "https://groups.csail.mit.edu/mac/projects/amorphous/GrayScott/" };

    static constexpr TessraParamInfo params[] {
        tessra::realParam("Feed", "Feed rate <i>F</i>", 0.0367, 0, 0.1,
            "Rate at which U is fed in (and all chemicals are washed out)."),
        tessra::realParam("Kill", "Kill rate <i>k</i>", 0.0649, 0, 0.1,
            "Rate at which V is removed, on top of the feed rate."),
        tessra::realParam("Du", "Diffusion <i>D<sub>u</sub></i>", 1.0, 0, 1,
            "How fast U spreads to neighbouring sites."),
        tessra::realParam("Dv", "Diffusion <i>D<sub>v</sub></i>", 0.5, 0, 1,
            "How fast V spreads to neighbouring sites."),
        tessra::realParam("dt", "Time step <i>dt</i>", 0.25, 0.01, 1,
            "Ticks of model time that one step integrates; the time advances by dt per step."),
        tessra::wholeParam("Width", "Width", 256, 1, 4096, "Columns of the world."),
        tessra::wholeParam("Height", "Height", 256, 1, 4096, "Rows of the world."),
        tessra::wholeParam("Seed", "Seed", 1, 0, 2147483647,
            "Seed of the random starting spots: the same seed gives the same world."),
    };

    static constexpr const char* states[] { "U", "V" };

    static void worldSize(tessra::Params p, int& width, int& height)
    {
        width = p.whole(Width);
        height = p.whole(Height);
    }

    static std::string aboutParam(int index, tessra::Params p)
    {
        if (index < 0 || index > Seed)
            return "";
        std::string text = params[index].description;
        if (index == Feed || index == Kill)
            text += "\nF = " + number(p[Feed]) + ", k = " + number(p[Kill]) + ": " + "typically "
                + regime(p[Feed], p[Kill]) + ".";
        if (index == Dt && p[Dt] > 0)
            text += "\n" + number(1.0 / p[Dt]) + " steps make one tick.";
        return text;
    }

    void init(tessra::Sim sim)
    {
        const int w = sim.width();
        const int h = sim.height();
        m_next.resize(static_cast<std::size_t>(w) * h * 2);
        if (w * h == 0)
            return;
        for (int i = 0; i < w * h; ++i)
            sim.sites()[2 * i + U] = 1.0f;
        // Square seeds of V, about one per 4,000 sites, with a little noise.
        tessra::Random random(static_cast<std::uint64_t>(sim.wholeParam(Seed)));
        const int seeds = 1 + w * h / 4000;
        for (int s = 0; s < seeds; ++s) {
            const int c0 = static_cast<int>(random.below(static_cast<std::uint32_t>(w)));
            const int r0 = static_cast<int>(random.below(static_cast<std::uint32_t>(h)));
            for (int dr = -4; dr <= 4; ++dr)
                for (int dc = -4; dc <= 4; ++dc) {
                    float* site = sim.site((c0 + dc + 9 * w) % w, (r0 + dr + 9 * h) % h);
                    site[U] = 0.5f + static_cast<float>(random.uniform() * 0.02);
                    site[V] = 0.25f + static_cast<float>(random.uniform() * 0.02);
                }
        }
    }

    double step(tessra::Sim sim)
    {
        const int w = sim.width();
        const int h = sim.height();
        const float* in = sim.sites();
        float* out = m_next.data();
        const Rates k { static_cast<float>(sim.param(Dt)), static_cast<float>(sim.param(Feed)),
            static_cast<float>(sim.param(Feed) + sim.param(Kill)),
            static_cast<float>(sim.param(Du)), static_cast<float>(sim.param(Dv)) };
        for (int row = 0; row < h; ++row) {
            const float* up = in + static_cast<std::ptrdiff_t>((row + h - 1) % h) * w * 2;
            const float* mid = in + static_cast<std::ptrdiff_t>(row) * w * 2;
            const float* down = in + static_cast<std::ptrdiff_t>((row + 1) % h) * w * 2;
            float* o = out + static_cast<std::ptrdiff_t>(row) * w * 2;
            const Rows rows { up, mid, down, o };
            // The edge columns wrap around; the ones between need no checks.
            react(rows, k, 2 * (w - 1), 0, w > 1 ? 2 : 0);
            for (int c = 1; c < w - 1; ++c)
                react(rows, k, 2 * c - 2, 2 * c, 2 * c + 2);
            if (w > 1)
                react(rows, k, 2 * w - 4, 2 * w - 2, 0);
        }
        if (!m_next.empty())
            std::memcpy(sim.sites(), out, m_next.size() * sizeof(float));
        return tessra::nextTime(sim.time(), sim.param(Dt));
    }

    void color(tessra::Sim sim, int column, int row, tessra::Rgb& rgb) const
    {
        rgb = shades[shadeIndex(sim.state(column, row, V))];
    }

    void colorRow(tessra::Sim sim, int row, tessra::Rgb8* out) const
    {
        const float* site = sim.site(0, row);
        const int width = sim.width();
        for (int column = 0; column < width; ++column, site += 2)
            out[column] = shades8[shadeIndex(site[V])];
    }

    std::string hint(tessra::Sim sim, int column, int row) const
    {
        const float* site = sim.site(column, row);
        return "(" + std::to_string(column) + ", " + std::to_string(row) + ") U "
            + number(site[U], "%.3f") + ", V " + number(site[V], "%.3f");
    }

    void mouseUp(tessra::Sim sim, int button, int column, int row, int /*keys*/)
    {
        if (button != TESSRA_BUTTON_LEFT || !sim.contains(column, row))
            return;
        for (int dr = -3; dr <= 3; ++dr)
            for (int dc = -3; dc <= 3; ++dc) {
                if (dr * dr + dc * dc > 9)
                    continue;
                const int c = ((column + dc) % sim.width() + sim.width()) % sim.width();
                const int r = ((row + dr) % sim.height() + sim.height()) % sim.height();
                sim.state(c, r, U) = 0.5f;
                sim.state(c, r, V) = 0.25f;
            }
    }

    std::string aboutState(tessra::Sim sim, int column, int row, int index) const
    {
        const float value = sim.state(column, row, index);
        if (index == U)
            return "U = " + number(value) + ": the chemical that is fed in and eaten by V";
        return "V = " + number(value) + ": the chemical that grows by eating U";
    }

private:
    struct Rates {
        float dt, feed, loss, du, dv;
    };
    struct Rows {
        const float* up;
        const float* mid;
        const float* down;
        float* out;
    };

    /// Diffusion spreads V thinner and thinner into empty regions; left alone,
    /// V and U * V * V there reach subnormal floats, which the processor
    /// computes many times slower. Such amounts mean nothing: they become 0.
    static float flushTiny(float x) { return std::fabs(x) < 1e-15f ? 0.0f : x; }

    /// One site: l, m and r are the offsets of the left, own and right site's U.
    static void react(const Rows& x, const Rates& k, int l, int m, int r)
    {
        // Nine-point Laplacian: sides weigh 0.2, corners 0.05, the site -1.
        const float lu = 0.2f * (x.up[m] + x.down[m] + x.mid[l] + x.mid[r])
            + 0.05f * (x.up[l] + x.up[r] + x.down[l] + x.down[r]) - x.mid[m];
        const float lv = 0.2f * (x.up[m + 1] + x.down[m + 1] + x.mid[l + 1] + x.mid[r + 1])
            + 0.05f * (x.up[l + 1] + x.up[r + 1] + x.down[l + 1] + x.down[r + 1]) - x.mid[m + 1];
        const float u = x.mid[m];
        const float v = x.mid[m + 1];
        const float uvv = u * v * v;
        x.out[m] = flushTiny(u + k.dt * (k.du * lu - uvv + k.feed * (1.0f - u)));
        x.out[m + 1] = flushTiny(v + k.dt * (k.dv * lv + uvv - k.loss * v));
    }

    /// The known kind of pattern nearest to (feed, kill).
    static std::string regime(double feed, double kill)
    {
        struct Known {
            double feed, kill;
            const char* pattern;
        };
        static constexpr Known known[] { { 0.0367, 0.0649, "spots that divide" },
            { 0.03, 0.062, "still spots" }, { 0.037, 0.06, "labyrinths" },
            { 0.0545, 0.062, "coral-like labyrinths" }, { 0.025, 0.05, "chaotic waves" },
            { 0.014, 0.054, "moving spots and waves" }, { 0.078, 0.061, "V dies out" } };
        const Known* nearest = &known[0];
        double best = 1e9;
        for (const Known& k : known) {
            const double d = std::hypot(k.feed - feed, k.kill - kill);
            if (d < best) {
                best = d;
                nearest = &k;
            }
        }
        return std::string(best < 0.003 ? "close to " : "nearest known: ") + nearest->pattern
            + " (F = " + number(nearest->feed) + ", k = " + number(nearest->kill) + ")";
    }

    std::vector<float> m_next;
};

TESSRA_MODEL(GrayScott)
