// The Drossel-Schwabl forest-fire model: trees grow, lightning strikes, fire spreads.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <tessra/model.hpp>
#include <tessra/random.hpp>

namespace {

enum Param { Growth, Lightning, Density, Width, Height, Seed };
enum State { Kind, Age };
enum Site : std::uint8_t { Empty = 0, Tree = 1, Burning = 2 };

std::string number(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.6g", value);
    return text;
}

/// What a stored state value means; values a script wrote are rounded to a kind.
Site kindOf(float value)
{
    return value >= 1.5f ? Burning : value >= 0.5f ? Tree : Empty;
}

/// The colour of a site.
inline tessra::Rgb8 colorOf(const float* site)
{
    switch (kindOf(site[Kind])) {
    case Tree: {
        // Young trees light green, old ones (100 steps and more) dark green.
        const float a = site[Age];
        const int age = a >= 100 ? 100 : (a > 0 ? static_cast<int>(a) : 0);
        return tessra::Rgb8 { static_cast<unsigned char>(110 - age),
            static_cast<unsigned char>(210 - age), static_cast<unsigned char>(80 - age / 2) };
    }
    case Burning:
        return tessra::Rgb8 { 255, 120, 20 };
    default:
        return tessra::Rgb8 { 40, 28, 18 };
    }
}

} // namespace

class ForestFire {
public:
    static constexpr tessra::About about { "Forest Fire", "1.0", "Copyright (c) the Tessra authors",
        "The Drossel-Schwabl forest-fire model: trees grow on empty ground, lightning sets "
        "single trees on fire, and fire spreads from tree to tree. Click a tree to set it "
        "on fire.",
        "https://en.wikipedia.org/wiki/Forest-fire_model" };

    static constexpr TessraParamInfo params[] {
        tessra::realParam("Growth", "Growth <i>p</i>", 0.01, 0, 1,
            "Chance per step that a tree grows on an empty site."),
        tessra::realParam("Lightning", "Lightning <i>f</i>", 1e-5, 0, 1,
            "Chance per step that lightning sets a tree on fire; in this dialog it may not "
            "exceed the growth chance p."),
        tessra::realParam("Density", "Trees at start", 0.5, 0, 1,
            "Share of the sites that carry a tree when the simulation starts."),
        tessra::wholeParam("Width", "Width", 256, 1, 4096, "Columns of the forest."),
        tessra::wholeParam("Height", "Height", 256, 1, 4096, "Rows of the forest."),
        tessra::wholeParam("Seed", "Seed", 1, 0, 2147483647,
            "Seed of the random numbers: the same seed gives the same forest and fires."),
    };

    static constexpr const char* states[] { "State", "Age" };

    static void worldSize(tessra::Params p, int& width, int& height)
    {
        width = p.whole(Width);
        height = p.whole(Height);
    }

    /// In the New Simulation dialog, lightning may not be more likely than
    /// growth; the dialog's values for the other one come from the host.
    /// Settings files and scripts set one value at a time, so there any value
    /// in range is taken (a check across two values would depend on their order).
    static bool validateParam(int index, double value)
    {
        if ((index != Growth && index != Lightning) || !tessra_is_dnew_visible())
            return true;
        const double growth = index == Growth ? value : tessra_dnew_param_value(Growth);
        const double lightning = index == Lightning ? value : tessra_dnew_param_value(Lightning);
        return lightning <= growth;
    }

    static std::string aboutParam(int index, tessra::Params p)
    {
        if (index < 0 || index > Seed)
            return "";
        std::string text = params[index].description;
        const double sites = double(p.whole(Width)) * p.whole(Height);
        if (index == Growth && p[Growth] > 0)
            text += "\np = " + number(p[Growth]) + ": an empty site grows a tree after "
                + number(1 / p[Growth]) + " steps on average.";
        if (index == Lightning) {
            text += "\nf = " + number(p[Lightning]) + ": about "
                + number(p[Lightning] * sites * p[Density]) + " strikes per step on the "
                + number(sites) + " sites at the start.";
            if (p[Lightning] > p[Growth])
                text += "\nLightning is more likely than growth: lower f below p.";
            else if (p[Lightning] > 0)
                text += "\np / f = " + number(p[Growth] / p[Lightning])
                    + ": the larger, the rarer and bigger the fires.";
        }
        if (index == Density)
            text += "\nAbout " + number(std::round(p[Density] * sites)) + " trees at the start.";
        return text;
    }

    void init(tessra::Sim sim)
    {
        m_random.reseed(static_cast<std::uint64_t>(sim.wholeParam(Seed)));
        const double density = sim.param(Density);
        for (int i = 0; i < sim.siteCount(); ++i)
            sim.sites()[2 * i + Kind] = m_random.chance(density) ? Tree : Empty;
        m_kinds.resize(static_cast<std::size_t>(sim.siteCount()));
    }

    double step(tessra::Sim sim)
    {
        const int w = sim.width();
        const int h = sim.height();
        float* sites = sim.sites();
        std::uint8_t* kinds = m_kinds.data();
        for (int i = 0; i < w * h; ++i)
            kinds[i] = kindOf(sites[2 * i + Kind]);
        const double growth = sim.param(Growth);
        const double lightning = sim.param(Lightning);
        for (int row = 0; row < h; ++row) {
            const std::uint8_t* mid = kinds + static_cast<std::ptrdiff_t>(row) * w;
            for (int c = 0; c < w; ++c) {
                float* site = sites + 2 * (static_cast<std::ptrdiff_t>(row) * w + c);
                const std::uint8_t now = mid[c];
                std::uint8_t next = now;
                if (now == Burning)
                    next = Empty;
                else if (now == Tree)
                    next = (nextToFire(kinds, w, h, c, row) || m_random.chance(lightning)) ? Burning
                                                                                           : Tree;
                else
                    next = m_random.chance(growth) ? Tree : Empty;
                site[Age] = next == now ? site[Age] + 1 : 0;
                site[Kind] = next;
            }
        }
        return sim.time() + 1;
    }

    void color(tessra::Sim sim, int column, int row, tessra::Rgb& rgb) const
    {
        const tessra::Rgb8 c = colorOf(sim.site(column, row));
        rgb = tessra::Rgb { c.red, c.green, c.blue };
    }

    void colorRow(tessra::Sim sim, int row, tessra::Rgb8* out) const
    {
        const float* site = sim.site(0, row);
        const int width = sim.width();
        for (int column = 0; column < width; ++column, site += 2)
            out[column] = colorOf(site);
    }

    std::string hint(tessra::Sim sim, int column, int row) const
    {
        const float* site = sim.site(column, row);
        static constexpr const char* names[] { "empty", "tree", "burning" };
        return "(" + std::to_string(column) + ", " + std::to_string(row) + ") "
            + names[kindOf(site[Kind])] + " for " + number(site[Age]) + " steps";
    }

    void mouseUp(tessra::Sim sim, int button, int column, int row, int /*keys*/)
    {
        if (button != TESSRA_BUTTON_LEFT || !sim.contains(column, row))
            return;
        float* site = sim.site(column, row);
        if (kindOf(site[Kind]) == Tree) {
            site[Kind] = Burning;
            site[Age] = 0;
        }
    }

    std::string aboutState(tessra::Sim sim, int column, int row, int index) const
    {
        const float* site = sim.site(column, row);
        if (index == Kind)
            return "State " + number(site[Kind]) + ": 0 empty ground, 1 a tree, 2 a burning tree";
        return "Age " + number(site[Age]) + ": steps the site has been in its present state";
    }

private:
    /// True when a side neighbour burns. The forest has edges: nothing lies beyond them.
    static bool nextToFire(const std::uint8_t* kinds, int w, int h, int c, int row)
    {
        const std::uint8_t* mid = kinds + static_cast<std::ptrdiff_t>(row) * w;
        return (c > 0 && mid[c - 1] == Burning) || (c + 1 < w && mid[c + 1] == Burning)
            || (row > 0 && mid[c - w] == Burning) || (row + 1 < h && mid[c + w] == Burning);
    }

    tessra::Random m_random;
    std::vector<std::uint8_t> m_kinds;
};

TESSRA_MODEL(ForestFire)
