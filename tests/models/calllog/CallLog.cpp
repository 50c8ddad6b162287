// Fixture model that writes down every call made into it, one line per call,
// for tests that check which calls the API library and the front end make and
// in what order. Format: tests/models/README.md.
#include <charconv>
#include <string>

#include <tessra/model.hpp>

namespace {

enum Param { Count, Rate };
constexpr int Width = 3;
constexpr int Height = 5;

/// The log. The library's one global: tests read it through the exported C
/// functions below, which receive nothing to find it by.
std::string calls;
/// Colour calls since the last other call; written as one "color <n>" line.
long long pendingColors = 0;

std::string number(double value)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

void flushColors()
{
    if (pendingColors > 0) {
        calls += "color " + std::to_string(pendingColors) + "\n";
        pendingColors = 0;
    }
}

void record(const std::string& line)
{
    flushColors();
    calls += line;
    calls += '\n';
}

/// What the host says about the New Simulation dialog: " dnew 1 <v0> <v1>"
/// while it is shown, " dnew 0" while not; nothing without a host.
std::string dialogSeen()
{
    if (!tessra_has_host())
        return "";
    if (!tessra_is_dnew_visible())
        return " dnew 0";
    return " dnew 1 " + number(tessra_dnew_param_value(Count)) + " "
        + number(tessra_dnew_param_value(Rate));
}

} // namespace

extern "C" {

/// The calls recorded since the library was loaded or last reset, one per line.
TESSRA_MODEL_EXPORT const char* tessra_fixture_calls(void)
{
    flushColors();
    return calls.c_str();
}

/// Forgets the recorded calls.
TESSRA_MODEL_EXPORT void tessra_fixture_reset(void)
{
    calls.clear();
    pendingColors = 0;
}
}

class CallLog {
public:
    static constexpr tessra::About about { "Call Log", "1.0", "Tessra test fixture",
        "Records every call made into it.", "https://example.org/calllog" };

    static constexpr TessraParamInfo params[] {
        tessra::wholeParam("Count", "Count <b>n</b>", 1, 0, 100, "A whole number; 13 is refused."),
        tessra::realParam("Rate", "Rate", 0.5, 0, 1, "A fraction."),
    };

    static constexpr const char* states[] { "a", "b" };

    static void worldSize(tessra::Params p, int& width, int& height)
    {
        record("worldSize " + number(p[Count]) + " " + number(p[Rate]));
        width = Width;
        height = Height;
    }

    static std::string aboutParam(int index, tessra::Params candidates)
    {
        record("aboutParam " + std::to_string(index) + " " + number(candidates[Count]) + " "
            + number(candidates[Rate]) + dialogSeen());
        return "about " + std::string(index == Count ? "Count" : "Rate") + " with Count "
            + number(candidates[Count]) + " and Rate " + number(candidates[Rate]);
    }

    static bool validateParam(int index, double value)
    {
        record("validateParam " + std::to_string(index) + " " + number(value) + dialogSeen());
        return !(index == Count && value == 13);
    }

    /// a = column + 10 * row, b = the steps taken.
    void init(tessra::Sim sim)
    {
        record("init " + std::to_string(sim.width()) + " " + std::to_string(sim.height()));
        for (int row = 0; row < sim.height(); ++row)
            for (int column = 0; column < sim.width(); ++column)
                sim.state(column, row, 0) = static_cast<float>(column + 10 * row);
    }

    double step(tessra::Sim sim)
    {
        record("step " + number(sim.time()));
        for (int i = 0; i < sim.siteCount(); ++i)
            sim.sites()[2 * i + 1] += 1;
        return sim.time() + 1;
    }

    /// red 50 * column, green 50 * row, blue 100.
    void color(tessra::Sim, int column, int row, tessra::Rgb& rgb)
    {
        ++pendingColors;
        rgb = tessra::Rgb { static_cast<unsigned short>(50 * column),
            static_cast<unsigned short>(50 * row), 100 };
    }

    std::string hint(tessra::Sim, int column, int row)
    {
        record("hint " + std::to_string(column) + " " + std::to_string(row));
        return "site " + std::to_string(column) + " " + std::to_string(row);
    }

    void mouseUp(tessra::Sim, int button, int column, int row, int keys)
    {
        record("mouseUp " + std::to_string(button) + " " + std::to_string(column) + " "
            + std::to_string(row) + " " + std::to_string(keys));
    }

    std::string aboutState(tessra::Sim sim, int column, int row, int index)
    {
        record("aboutState " + std::to_string(column) + " " + std::to_string(row) + " "
            + std::to_string(index));
        if (index < 0 || index > 1)
            return "";
        return std::string(states[index]) + " = " + number(sim.state(column, row, index));
    }

    void simReady(tessra::Sim sim) { record("simReady " + number(sim.time()) + dialogSeen()); }

    ~CallLog() { record("cleanup"); }
};

TESSRA_MODEL(CallLog)
