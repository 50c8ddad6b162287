// Fixture model that calls the functions its host exports (_simPause,
// _simStep, _debugLog, ...) from its own callbacks, as its Action parameter
// says, and writes down every call and what the host answered. Format:
// tests/models/README.md.
#include <charconv>
#include <string>

#include <tessra/model.hpp>

namespace {

enum Param { Action, Level };
enum State { Steps, Host };

/// Where an action is taken: the tens of Action.
enum Place { InStep = 1, InMouseUp = 2, InSimReady = 3 };

/// The log. The library's one global: tests read it through the exported C
/// functions below, which receive nothing to find it by. Callbacks write to it
/// only through globals, since a host call may build a new world and with it
/// a new model object.
std::string calls;
/// Steps under way: 2 or more means the host re-entered the step.
int stepDepth = 0;

std::string number(double value)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

void record(const std::string& line)
{
    calls += line;
    calls += '\n';
}

/// " dnew 1 <Action> <Level>" while the New Simulation dialog is shown,
/// " dnew 0" while not, nothing without a host.
std::string dialogSeen()
{
    if (!tessra_has_host())
        return "";
    if (!tessra_is_dnew_visible())
        return " dnew 0";
    return " dnew 1 " + number(tessra_dnew_param_value(Action)) + " "
        + number(tessra_dnew_param_value(Level));
}

/// Calls the host function the units of `action` name when its tens name
/// `place`, and records "<place> <function> returned <answer>" ("-" for a
/// function without answer).
void act(Place place, double action, const std::string& where, double time)
{
    const int code = static_cast<int>(action);
    if (code / 10 != place)
        return;
    std::string function;
    std::string answer = "-";
    switch (code % 10) {
    case 1:
        function = "_simPause";
        answer = std::to_string(tessra_sim_pause());
        break;
    case 2:
        function = "_simWait";
        answer = std::to_string(tessra_sim_wait());
        break;
    case 3:
        function = "_simStep";
        tessra_sim_step();
        break;
    case 4:
        function = "_simNew";
        tessra_sim_new();
        break;
    case 5:
        function = "_simRunWait";
        answer = std::to_string(tessra_sim_run_wait());
        break;
    case 6:
        function = "_simRun";
        tessra_sim_run();
        break;
    case 7:
        function = "_debugLog";
        tessra_debug_log(("hostcaller " + where + " " + number(time)).c_str());
        break;
    default:
        return;
    }
    record(where + " " + function + " returned " + answer);
}

} // namespace

extern "C" {

/// The calls recorded since the library was loaded or last reset, one per line.
TESSRA_MODEL_EXPORT const char* tessra_fixture_calls(void)
{
    return calls.c_str();
}

/// Forgets the recorded calls.
TESSRA_MODEL_EXPORT void tessra_fixture_reset(void)
{
    calls.clear();
}
}

class HostCaller {
public:
    static constexpr tessra::About about { "Host Caller", "1.0", "Tessra test fixture",
        "Calls the functions its host exports.", "https://example.org/hostcaller" };

    static constexpr TessraParamInfo params[] {
        tessra::wholeParam("Action", "Action", 0, 0, 99,
            "Tens: 1 step, 2 mouse up, 3 simulation ready. Units: 1 _simPause, 2 _simWait, "
            "3 _simStep, 4 _simNew, 5 _simRunWait, 6 _simRun, 7 _debugLog."),
        tessra::realParam("Level", "Level", 0.5, 0, 1, "A fraction to type."),
    };

    static constexpr const char* states[] { "steps", "host" };

    static void worldSize(tessra::Params, int& width, int& height)
    {
        width = 2;
        height = 2;
    }

    static std::string aboutParam(int index, tessra::Params)
    {
        record("aboutParam " + std::to_string(index) + dialogSeen());
        return "";
    }

    static bool validateParam(int index, double value)
    {
        record("validateParam " + std::to_string(index) + " " + number(value) + dialogSeen());
        return true;
    }

    void init(tessra::Sim sim)
    {
        record("init");
        const float host = tessra_has_host() ? 1.0F : 0.0F;
        for (int row = 0; row < sim.height(); ++row)
            for (int column = 0; column < sim.width(); ++column)
                sim.state(column, row, Host) = host;
    }

    double step(tessra::Sim sim)
    {
        const double time = sim.time();
        const double action = sim.param(Action);
        ++stepDepth;
        record("step " + number(time) + " depth " + std::to_string(stepDepth));
        for (int i = 0; i < sim.siteCount(); ++i)
            sim.sites()[2 * i + Steps] += 1;
        act(InStep, action, "step", time);
        --stepDepth;
        return time + 1;
    }

    void color(tessra::Sim, int, int, tessra::Rgb& rgb) { rgb = tessra::Rgb { 0, 100, 0 }; }

    void mouseUp(tessra::Sim sim, int button, int column, int row, int)
    {
        const double time = sim.time();
        record("mouseUp " + std::to_string(button) + " " + std::to_string(column) + " "
            + std::to_string(row));
        act(InMouseUp, sim.param(Action), "mouseUp", time);
    }

    void simReady(tessra::Sim sim)
    {
        const double time = sim.time();
        record("simReady " + number(time) + dialogSeen());
        act(InSimReady, sim.param(Action), "simReady", time);
    }

    ~HostCaller() { record("cleanup"); }
};

TESSRA_MODEL(HostCaller)
