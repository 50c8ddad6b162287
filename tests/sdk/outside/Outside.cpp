// A model as its author would write it: one file on the installed SDK.
#include <string>

#include <tessra/model.hpp>
#include <tessra/random.hpp>

class Walker {
public:
    static constexpr tessra::About about { "Outside", "2.0", "", "A random walker." };
    static constexpr TessraParamInfo params[] {
        tessra::wholeParam("Size", "Size <i>n</i>", 9, 1, 99, "Sites per side."),
        tessra::wholeParam("Seed", "Seed", 1, 0, 1000),
    };
    static constexpr const char* states[] { "visits" };

    static void worldSize(tessra::Params p, int& width, int& height)
    {
        width = height = p.whole(0);
    }
    static std::string aboutParam(int index, tessra::Params candidates)
    {
        return index == 0 ? std::to_string(candidates.whole(0) * candidates.whole(0)) + " sites"
                          : "random seed";
    }
    void init(tessra::Sim sim)
    {
        m_random.reseed(static_cast<std::uint64_t>(sim.wholeParam(1)));
        m_column = sim.width() / 2;
        m_row = sim.height() / 2;
    }
    double step(tessra::Sim sim)
    {
        const int direction = static_cast<int>(m_random.below(4));
        m_column = (m_column + (direction == 0) - (direction == 1) + sim.width()) % sim.width();
        m_row = (m_row + (direction == 2) - (direction == 3) + sim.height()) % sim.height();
        sim.state(m_column, m_row, 0) += 1;
        return sim.time() + 1;
    }
    void color(tessra::Sim sim, int column, int row, tessra::Rgb& rgb) const
    {
        const float visits = sim.state(column, row, 0);
        rgb.red = visits > 0 ? 255 : 0;
        rgb.green = column == m_column && row == m_row ? 255 : 0;
    }
    std::string hint(tessra::Sim sim, int column, int row) const
    {
        return std::to_string(static_cast<int>(sim.state(column, row, 0))) + " visits";
    }

private:
    tessra::Random m_random;
    int m_column = 0;
    int m_row = 0;
};

TESSRA_MODEL(Walker)
