// The run state: the commands each state enables, row by row, and the transitions a
// real model drives through the front end.
#include "RunControl.h"
#include "AppTestSupport.h"
#include "CommandError.h"
#include "Core.h"
#include "FrontEnd.h"

#include <functional>
#include <utility>
#include <vector>

namespace tessra {
namespace {

using test::waitUntil;
using test::WorkFolder;
using State = RunControl::State;
using Command = RunControl::Command;

/// The enabled commands, one letter per command in the order of Command, '.' when
/// disabled: Run Pause Step New Load Save(V) Inspect TimeSeries stopConditions Help About.
std::string commandText(const RunControl::Commands& commands)
{
    static constexpr char Letters[] = "RPSNLVITCHA";
    std::string text;
    for (int i = 0; i < RunControl::CommandCount; ++i)
        text += commands[i] ? Letters[i] : '.';
    return text;
}

/// Brings a fresh RunControl into a row's situation and calls `check` there (inside any
/// scope that must still be open).
using Check = std::function<void()>;
using Path = void (*)(RunControl& run, const Check& check);

void loaded(RunControl& run)
{
    const RunControl::BusyScope busy(run);
    run.loadSucceeded();
    run.worldBuilt();
}

struct Row {
    const char* name;
    Path path;
    State state;
    const char* enabled;
};

void PrintTo(const Row& row, std::ostream* out)
{
    *out << row.name;
}

const Row Rows[] = {
    { "before_the_first_load", [](RunControl&, const Check& check) { check(); }, State::NoModel,
        "...NLVITCHA" },
    { "loading",
        [](RunControl& run, const Check& check) {
            const RunControl::BusyScope busy(run);
            check();
        },
        State::Busy, "..........." },
    { "load_failed",
        [](RunControl& run, const Check& check) {
            {
                const RunControl::BusyScope busy(run);
                run.loadFailed();
            }
            check();
        },
        State::NoModel, "..........." },
    { "a_load_fails_after_a_model",
        [](RunControl& run, const Check& check) {
            loaded(run);
            {
                const RunControl::BusyScope busy(run);
                run.loadFailed();
            }
            check();
        },
        State::NoModel, "..........." },
    { "loaded_and_given_up_before_a_world",
        [](RunControl& run, const Check& check) {
            {
                const RunControl::BusyScope busy(run);
                run.loadSucceeded();
            }
            check();
        },
        State::NoWorld, "...NLVITCHA" },
    { "the_model_built_no_world",
        [](RunControl& run, const Check& check) {
            const RunControl::BusyScope busy(run);
            run.loadSucceeded();
            run.worldMissing();
            check();
        },
        State::NoWorld, "...NLVITCHA" },
    { "ready",
        [](RunControl& run, const Check& check) {
            loaded(run);
            check();
        },
        State::Ready, "R.SNLVITCHA" },
    { "building_a_new_world",
        [](RunControl& run, const Check& check) {
            loaded(run);
            const RunControl::BusyScope busy(run);
            const RunControl::BusyScope nested(run); // one busy period
            check();
        },
        State::Busy, "..........." },
    { "a_build_given_up_returns_to_ready",
        [](RunControl& run, const Check& check) {
            loaded(run);
            {
                const RunControl::BusyScope busy(run);
            }
            check();
        },
        State::Ready, "R.SNLVITCHA" },
    { "world_freed",
        [](RunControl& run, const Check& check) {
            loaded(run);
            run.worldFreed();
            check();
        },
        State::NoWorld, "...NLVITCHA" },
    { "running",
        [](RunControl& run, const Check& check) {
            loaded(run);
            run.startRun();
            check();
        },
        State::Running, ".P.NLVITCHA" },
    { "pausing",
        [](RunControl& run, const Check& check) {
            loaded(run);
            run.startRun();
            run.requestPause();
            check();
        },
        State::Pausing, "...NLVITCHA" },
    { "paused",
        [](RunControl& run, const Check& check) {
            loaded(run);
            run.startRun();
            run.requestPause();
            run.endRun();
            check();
        },
        State::Ready, "R.SNLVITCHA" },
    { "single_step",
        [](RunControl& run, const Check& check) {
            loaded(run);
            run.startStep();
            check();
        },
        State::SingleStep, "...NLVITCHA" },
    { "stepped",
        [](RunControl& run, const Check& check) {
            loaded(run);
            run.startStep();
            run.endStep();
            check();
        },
        State::Ready, "R.SNLVITCHA" },
};

class RunStateTable : public ::testing::TestWithParam<Row> { };

TEST_P(RunStateTable, the_state_enables_its_commands_and_the_signals_tell_each_change)
{
    const Row& row = GetParam();
    RunControl run;
    RunControl::Commands shown = run.enabledCommands(); // a view that follows the signals
    QObject::connect(&run, &RunControl::commandEnabledChanged, &run,
        [&](Command command, bool on) { shown[static_cast<int>(command)] = on; });
    bool checked = false;
    row.path(run, [&] {
        checked = true;
        EXPECT_EQ(run.state(), row.state);
        EXPECT_EQ(commandText(run.enabledCommands()), row.enabled);
        EXPECT_EQ(commandText(shown), row.enabled);
        EXPECT_EQ(run.isRunning(),
            row.state == State::Running || row.state == State::Pausing
                || row.state == State::SingleStep);
    });
    EXPECT_TRUE(checked);
}

// Run, Pause and Step are enabled exactly when their transition is taken.
TEST_P(RunStateTable, a_transition_is_taken_exactly_where_its_command_is_enabled)
{
    const Row& row = GetParam();
    const struct {
        Command command;
        bool (RunControl::*transition)();
    } transitions[] = { { Command::Run, &RunControl::startRun },
        { Command::Pause, &RunControl::requestPause }, { Command::Step, &RunControl::startStep } };
    for (const auto& t : transitions) {
        RunControl run;
        row.path(run, [&] {
            const bool enabled = run.isEnabled(t.command);
            const State before = run.state();
            EXPECT_EQ((run.*t.transition)(), enabled) << static_cast<int>(t.command);
            if (!enabled) {
                EXPECT_EQ(run.state(), before);
            }
        });
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, RunStateTable, ::testing::ValuesIn(Rows),
    [](const ::testing::TestParamInfo<Row>& row) { return std::string(row.param.name); });

/// The front end over real fixture models; the states it passes through are recorded.
class RunTransitions : public ::testing::Test {
protected:
    RunTransitions()
    {
        QObject::connect(&m_core.frontEnd().runControl(), &RunControl::stateChanged,
            &m_core.frontEnd(), [this](State state) { m_states.push_back(state); });
    }
    FrontEnd& frontEnd() { return m_core.frontEnd(); }
    ModelApi model() const { return m_core.model(); }
    /// The states passed since the last call.
    std::vector<State> passed() { return std::exchange(m_states, {}); }

    WorkFolder m_folder;
    Core m_core;
    std::vector<State> m_states;
};

TEST_F(RunTransitions, load_run_pause_and_step_with_a_real_model)
{
    EXPECT_FALSE(frontEnd().loadModelFile(m_folder.file("missing/model.so")));
    EXPECT_EQ(passed(), (std::vector { State::Busy, State::NoModel }));
    EXPECT_FALSE(frontEnd().isModelLoaded());

    // Inside the load nothing may be given: every command is off while the world is built.
    std::string duringBuild;
    QObject::connect(&frontEnd(), &FrontEnd::worldCreated, &frontEnd(),
        [&] { duringBuild = commandText(frontEnd().runControl().enabledCommands()); });
    ASSERT_TRUE(frontEnd().loadModelFile(m_folder.copyFixture("calllog")));
    EXPECT_EQ(passed(), (std::vector { State::Busy, State::Ready }));
    EXPECT_EQ(duringBuild, "...........");

    ASSERT_TRUE(frontEnd().Run1Click());
    EXPECT_FALSE(frontEnd().Run1Click());
    ASSERT_TRUE(waitUntil([&] { return model().simTime() >= 2; }));
    frontEnd().requestPause();
    frontEnd().waitWhileRunning();
    EXPECT_EQ(passed(), (std::vector { State::Running, State::Pausing, State::Ready }));

    ASSERT_TRUE(frontEnd().sbStepClick());
    EXPECT_EQ(passed(), (std::vector { State::SingleStep, State::Ready }));

    // A load while running pauses first.
    ASSERT_TRUE(frontEnd().Run1Click());
    ASSERT_TRUE(frontEnd().loadModelFile(QString()));
    EXPECT_EQ(passed(),
        (std::vector { State::Running, State::Pausing, State::Ready, State::Busy, State::Ready }));

    frontEnd().freeWorld();
    EXPECT_EQ(passed(), (std::vector { State::NoWorld }));
    EXPECT_FALSE(frontEnd().sbStepClick());
    EXPECT_FALSE(frontEnd().Run1Click());
    EXPECT_TRUE(passed().empty());
}

TEST_F(RunTransitions, failed_steps_and_a_missing_world_leave_a_settled_state)
{
    ASSERT_TRUE(frontEnd().loadModelFile(QString::fromStdString(test::fixtureModel("faulty"))));
    *model().paramRef("Fault") = 4; // the step at tick 1 fails
    *model().paramRef("At") = 1;
    frontEnd().newSimulation(QString());
    passed();
    ASSERT_TRUE(frontEnd().sbStepClick());
    EXPECT_THROW(frontEnd().sbStepClick(), CommandError);
    EXPECT_EQ(passed(),
        (std::vector { State::SingleStep, State::Ready, State::SingleStep, State::Ready }));
    EXPECT_EQ(frontEnd().statusText(), "Paused");

    EXPECT_THROW(frontEnd().runWithoutScreen(-1), CommandError);
    EXPECT_EQ(passed(), (std::vector { State::Running, State::Pausing, State::Ready }));

    // A settings file that cannot be read is refused before the world is touched.
    EXPECT_THROW(frontEnd().newSimulation(m_folder.path()), CommandError);
    EXPECT_TRUE(passed().empty());

    *model().paramRef("Fault") = 5; // a negative world size
    EXPECT_THROW(frontEnd().newSimulation(QString()), CommandError);
    EXPECT_EQ(passed(), (std::vector { State::Busy, State::NoWorld }));
    EXPECT_FALSE(frontEnd().Run1Click());
    EXPECT_FALSE(frontEnd().sbStepClick());
    EXPECT_FALSE(frontEnd().runWithoutScreen(10));
    EXPECT_TRUE(passed().empty());

    *model().paramRef("Fault") = 0;
    frontEnd().newSimulation(QString());
    EXPECT_EQ(passed(), (std::vector { State::Busy, State::Ready }));
    EXPECT_TRUE(frontEnd().runWithoutScreen(3));
    EXPECT_EQ(model().simTime(), 3);
    EXPECT_EQ(passed(), (std::vector { State::Running, State::Pausing, State::Ready }));
}

} // namespace
} // namespace tessra
