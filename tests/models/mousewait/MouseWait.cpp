// Fixture model whose mouse-up handler waits in its host (_simRunWait) and then
// uses its own object, as a model with per-world data does. It notes whether
// its world was freed meanwhile; under the sanitizer build, the use itself is
// reported. Format: tests/models/README.md.
#include <string>

#include <tessra/model.hpp>

namespace {

/// The model object of the world in use, or null once it is freed.
const void* liveObject = nullptr;
/// The log, read through the exported functions below.
std::string calls;

} // namespace

extern "C" {

/// The lines written since the library was loaded or last reset.
TESSRA_MODEL_EXPORT const char* tessra_fixture_calls(void)
{
    return calls.c_str();
}

/// Forgets the lines.
TESSRA_MODEL_EXPORT void tessra_fixture_reset(void)
{
    calls.clear();
}
}

class MouseWait {
public:
    static constexpr tessra::About about { "Mouse Wait", "1.0", "Tessra test fixture",
        "Waits for the run in its mouse-up handler, then uses its own data." };

    static constexpr const char* states[] { "clicks" };

    static void worldSize(tessra::Params, int& width, int& height)
    {
        width = 2;
        height = 2;
    }

    MouseWait() { liveObject = this; }
    ~MouseWait()
    {
        if (liveObject == this)
            liveObject = nullptr;
    }

    void init(tessra::Sim) { }

    double step(tessra::Sim sim) { return sim.time() + 1; }

    void color(tessra::Sim, int, int, tessra::Rgb& rgb) { rgb = tessra::Rgb { 0, 0, 100 }; }

    void mouseUp(tessra::Sim sim, int, int column, int row, int)
    {
        calls += "mouseUp waits\n";
        tessra_sim_run_wait();
        calls += liveObject == this ? "mouseUp own world\n" : "mouseUp world freed\n";
        // The object's own data, after the wait.
        ++m_clicks;
        sim.state(column, row, 0) = static_cast<float>(m_clicks);
    }

private:
    int m_clicks = 0;
};

TESSRA_MODEL(MouseWait)
