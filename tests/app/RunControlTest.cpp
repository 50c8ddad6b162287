// The run state: the commands each state enables, row by row, and the transitions a
// real model drives through the front end.
#include "RunControl.h"
#include "AppTestSupport.h"
#include "CommandError.h"
#include "Core.h"
#include "FrontEnd.h"

#include <functional>
#include <map>
#include <memory>
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

/// Brings a fresh RunControl into a row's situation by the transitions of `path`, one
/// letter each, and calls `check` there, with any Busy scope still open:
///   ( open a Busy scope   ) close it   L load succeeded   F load failed
///   W world built   M world missing   X world freed
///   r start run   p request pause   e end run   s start step   t end step
using Transition = std::function<bool(RunControl&)>;
template <void (RunControl::*F)()> bool taken(RunControl& run)
{
    (run.*F)();
    return true;
}
const std::map<char, Transition> Transitions {
    { 'L', taken<&RunControl::loadSucceeded> },
    { 'F', taken<&RunControl::loadFailed> },
    { 'W', taken<&RunControl::worldBuilt> },
    { 'M', taken<&RunControl::worldMissing> },
    { 'X', taken<&RunControl::worldFreed> },
    { 'r', &RunControl::startRun },
    { 'p', &RunControl::requestPause },
    { 'e', taken<&RunControl::endRun> },
    { 's', &RunControl::startStep },
    { 't', taken<&RunControl::endStep> },
};

void follow(RunControl& run, const char* path, const std::function<void()>& check)
{
    std::vector<std::unique_ptr<RunControl::BusyScope>> busy;
    for (const char* c = path; *c; ++c) {
        if (*c == '(')
            busy.push_back(std::make_unique<RunControl::BusyScope>(run));
        else if (*c == ')')
            busy.pop_back();
        else
            Transitions.at (*c)(run);
    }
    check();
    while (!busy.empty())
        busy.pop_back(); // innermost first
}

struct Row {
    const char* name;
    const char* path;
    State state;
    const char* enabled;
};

void PrintTo(const Row& row, std::ostream* out)
{
    *out << row.name;
}

// clang-format off
const Row Rows[] = {
    { "before_the_first_load",              "",          State::NoModel,    "...NLVITCHA" },
    { "loading",                            "(",         State::Busy,       "..........." },
    { "load_failed",                        "(F)",       State::NoModel,    "..........." },
    { "a_load_fails_after_a_model",         "(LW)(F)",   State::NoModel,    "..........." },
    { "loaded_and_given_up_before_a_world", "(L)",       State::NoWorld,    "...NLVITCHA" },
    { "the_model_built_no_world",           "(LM",       State::NoWorld,    "...NLVITCHA" },
    { "ready",                              "(LW)",      State::Ready,      "R.SNLVITCHA" },
    { "building_a_new_world",               "(LW)((",    State::Busy,       "..........." },
    { "a_build_given_up_returns_to_ready",  "(LW)()",    State::Ready,      "R.SNLVITCHA" },
    { "a_new_world_from_no_world",          "(LM)(W)",   State::Ready,      "R.SNLVITCHA" },
    { "world_freed",                        "(LW)X",     State::NoWorld,    "...NLVITCHA" },
    { "running",                            "(LW)r",     State::Running,    ".P.NLVITCHA" },
    { "pausing",                            "(LW)rp",    State::Pausing,    "...NLVITCHA" },
    { "paused",                             "(LW)rpe",   State::Ready,      "R.SNLVITCHA" },
    { "single_step",                        "(LW)s",     State::SingleStep, "...NLVITCHA" },
    { "stepped",                            "(LW)st",    State::Ready,      "R.SNLVITCHA" },
};
// clang-format on

class RunStateTable : public ::testing::TestWithParam<Row> { };

TEST_P(RunStateTable, the_state_enables_its_commands_and_the_signals_tell_each_change)
{
    const Row& row = GetParam();
    RunControl run;
    RunControl::Commands shown = run.enabledCommands(); // a view that follows the signals
    QObject::connect(&run, &RunControl::commandEnabledChanged, &run,
        [&](Command command, bool on) { shown[static_cast<int>(command)] = on; });
    follow(run, row.path, [&] {
        EXPECT_EQ(run.state(), row.state);
        EXPECT_EQ(commandText(run.enabledCommands()), row.enabled);
        EXPECT_EQ(commandText(shown), row.enabled);
        EXPECT_EQ(run.isRunning(),
            row.state == State::Running || row.state == State::Pausing
                || row.state == State::SingleStep);
    });
}

// Run, Pause and Step are enabled exactly where their transition is taken.
TEST_P(RunStateTable, a_transition_is_taken_exactly_where_its_command_is_enabled)
{
    const Row& row = GetParam();
    for (const std::pair<char, Command>& transition :
        { std::pair { 'r', Command::Run }, { 'p', Command::Pause }, { 's', Command::Step } }) {
        const char letter = transition.first;
        RunControl run;
        follow(run, row.path, [&] {
            const bool enabled = run.isEnabled(transition.second);
            const State before = run.state();
            EXPECT_EQ(Transitions.at(letter)(run), enabled) << letter;
            EXPECT_EQ(run.state() != before, enabled) << letter;
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
