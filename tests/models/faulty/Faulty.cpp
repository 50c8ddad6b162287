// Fixture model that fails on purpose: at a chosen tick it crashes, hangs, ends the
// process or throws, after saying so in the debug log; or it cannot build its world
// (a negative size, an init that throws). For the sweep runner, which must record
// such a run as failed and go on with the others, and for the front end's reports.
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <thread>

#include <tessra/host.h>
#include <tessra/model.hpp>
#include <tessra/random.hpp>

namespace {

enum Param { Fault, At, Seed };
enum FaultKind {
    None = 0,
    Crash = 1,
    Hang = 2,
    Exit = 3,
    Throw = 4,
    NegativeSize = 5,
    InitThrows = 6
};

[[noreturn]] void hang()
{
    tessra_debug_log("faulty: hanging");
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}

} // namespace

class Faulty {
public:
    static constexpr tessra::About about { "Faulty", "1.0" };
    static constexpr TessraParamInfo params[] {
        tessra::wholeParam("Fault", "Fault", 0, 0, 6,
            "0 none, 1 a crash (null pointer), 2 a hang, 3 exit(3), 4 an exception from a "
            "step; 5 a negative world size, 6 an exception from init."),
        tessra::wholeParam("At", "At", 3, 0, 1000000, "The tick whose step fails."),
        tessra::wholeParam("Seed", "Seed", 1, 0, 1000000, "Seed of the sites' values."),
    };
    static constexpr const char* states[] { "x" };

    static void worldSize(tessra::Params values, int& width, int& height)
    {
        width = values.whole(Fault) == NegativeSize ? -2 : 2;
        height = 2;
    }

    void init(tessra::Sim sim)
    {
        if (sim.wholeParam(Fault) == InitThrows)
            throw std::runtime_error("faulty: init failed");
        tessra::Random random(static_cast<std::uint64_t>(sim.wholeParam(Seed)));
        for (int i = 0; i < sim.siteCount(); ++i)
            sim.sites()[i] = static_cast<float>(random.uniform());
    }

    double step(tessra::Sim sim)
    {
        const double time = sim.time();
        if (time == sim.param(At)) {
            switch (sim.wholeParam(Fault)) {
            case Crash: {
                tessra_debug_log(
                    ("faulty: crashing at tick " + std::to_string(static_cast<long long>(time)))
                        .c_str());
                volatile int* nowhere = nullptr;
                *nowhere = 1;
                break;
            }
            case Hang:
                hang();
            case Exit:
                tessra_debug_log("faulty: calling exit(3)");
                std::exit(3);
            case Throw:
                throw std::runtime_error("faulty: the step failed at tick "
                    + std::to_string(static_cast<long long>(time)));
            default:
                break;
            }
        }
        for (int i = 0; i < sim.siteCount(); ++i)
            sim.sites()[i] = sim.sites()[i] * 0.5f + 0.25f;
        return time + 1;
    }

    void color(tessra::Sim, int, int, tessra::Rgb& rgb) { rgb = tessra::Rgb { 0, 0, 200 }; }
};

TESSRA_MODEL(Faulty)
