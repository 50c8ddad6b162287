// Fixture model whose functions throw, one at a time: parameter 0 `Throw`
// chooses which (see Fault). A 3 x 2 world; state `x` = column + 3 * row.
// Site colour red 10 * column, green 10 * row, blue 100 (from color and
// colorRow alike). Time + 1 per step.
#include <stdexcept>
#include <string>

#include <tessra/model.hpp>

namespace {

enum Fault {
    None,
    WorldSize,
    Constructor,
    Init,
    Step,
    Color,
    ColorRow,
    Hint,
    MouseUp, // throws an int, not a std::exception
    AboutParam,
    ValidateParam, // validating the value 10 for Throw throws
    AboutState,
    SimReady,
    Destructor,
    LastFault = Destructor,
};

/// The fault of the world being built: worldSize is called before the model
/// object is made and passes it on.
int worldFault = None;

void maybeThrow(int fault, Fault here, const char* function)
{
    if (fault == here)
        throw std::runtime_error(std::string("thrown by ") + function);
}

} // namespace

struct Throwing {
    static constexpr tessra::About about { "Throwing", "1.0" };
    static constexpr TessraParamInfo params[] {
        tessra::wholeParam("Throw", "Throw", None, None, LastFault),
    };
    static constexpr const char* states[] { "x" };

    static void worldSize(tessra::Params p, int& width, int& height)
    {
        worldFault = p.whole(0);
        maybeThrow(worldFault, WorldSize, "worldSize");
        width = 3;
        height = 2;
    }
    static std::string aboutParam(int, tessra::Params candidates)
    {
        maybeThrow(candidates.whole(0), AboutParam, "aboutParam");
        return "about Throw";
    }
    static bool validateParam(int, double value)
    {
        maybeThrow(static_cast<int>(value), ValidateParam, "validateParam");
        return true;
    }

    Throwing()
        : m_fault(worldFault)
    {
        maybeThrow(m_fault, Constructor, "the constructor");
    }
    ~Throwing() noexcept(false) { maybeThrow(m_fault, Destructor, "the destructor"); }
    Throwing(const Throwing&) = delete;
    Throwing& operator=(const Throwing&) = delete;

    void init(tessra::Sim sim)
    {
        maybeThrow(m_fault, Init, "init");
        for (int i = 0; i < sim.siteCount(); ++i)
            sim.sites()[i] = static_cast<float>(i);
    }
    double step(tessra::Sim sim)
    {
        maybeThrow(m_fault, Step, "step");
        return sim.time() + 1;
    }
    void color(tessra::Sim, int column, int row, tessra::Rgb& rgb) const
    {
        maybeThrow(m_fault, Color, "color");
        rgb = tessra::Rgb { static_cast<unsigned short>(10 * column),
            static_cast<unsigned short>(10 * row), 100 };
    }
    void colorRow(tessra::Sim sim, int row, tessra::Rgb8* out) const
    {
        maybeThrow(m_fault, ColorRow, "colorRow");
        for (int column = 0; column < sim.width(); ++column)
            out[column] = tessra::Rgb8 { static_cast<unsigned char>(10 * column),
                static_cast<unsigned char>(10 * row), 100 };
    }
    std::string hint(tessra::Sim, int column, int row) const
    {
        maybeThrow(m_fault, Hint, "hint");
        return "site " + std::to_string(column) + " " + std::to_string(row);
    }
    void mouseUp(tessra::Sim sim, int, int column, int row, int)
    {
        if (m_fault == MouseUp)
            throw 42;
        sim.state(column, row, 0) += 100;
    }
    std::string aboutState(tessra::Sim sim, int column, int row, int) const
    {
        maybeThrow(m_fault, AboutState, "aboutState");
        return "x = " + std::to_string(static_cast<int>(sim.state(column, row, 0)));
    }
    void simReady(tessra::Sim) { maybeThrow(m_fault, SimReady, "simReady"); }

private:
    int m_fault;
};

TESSRA_MODEL(Throwing)
