// The functions the program exports to models, called the way a model calls
// them: this test program links the same exported functions as tessra and
// exports them (ENABLE_EXPORTS); the SDK's host helpers find them by name, and
// the hostcaller fixture calls them from inside its own callbacks.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cctype>
#include <tessra/host.h>

#include "AutomationDispatcher.h"
#include "CommandError.h"
#include "Core.h"
#include "FixtureCallLog.h"
#include "FrontEnd.h"
#include "HostFunctions.h"
#include "StopConditions.h"
#include "TdNew.h"
#include "TestPaths.h"
#include "TfDebug.h"

namespace tessra {
namespace {

using Lines = std::vector<std::string>;

int countPrefix(const Lines& lines, const std::string& prefix)
{
    return static_cast<int>(std::count_if(lines.begin(), lines.end(),
        [&](const std::string& line) { return line.rfind(prefix, 0) == 0; }));
}

/// Steps the model made ("step <time> depth <n>" lines).
int stepsTaken(const Lines& lines)
{
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
        return line.rfind("step ", 0) == 0 && line.size() > 5 && std::isdigit(line[5]);
    }));
}

bool contains(const Lines& lines, const std::string& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

/// The real core over the hostcaller fixture, with the New Simulation dialog and
/// the debug log window as views of it, as the program has them.
class HostFunctionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_host.install();
        ASSERT_TRUE(frontEnd().loadModelFile(QString::fromStdString(m_path)))
            << frontEnd().loadModelError().toStdString();
        m_log.reset();
    }
    void TearDown() override
    {
        // Never leave a run going into the next test.
        if (frontEnd().isRunning()) {
            frontEnd().requestPause();
            frontEnd().waitWhileRunning();
        }
    }

    FrontEnd& frontEnd() { return m_core.frontEnd(); }
    void setAction(int code) { *m_core.model().paramRef("Action") = code; }
    /// A safety net: any run ends at tick `tick`.
    void stopAt(double tick)
    {
        m_core.stopConditions().setEnabled(true);
        ASSERT_TRUE(m_core.stopConditions().addCondition("Tick", +1, tick));
    }
    Lines lines() const { return m_log.lines(); }
    double tick() const { return m_core.model().simTime(); }

    /// Runs until the run ends by itself (a pause from the model or a stop
    /// condition); false when it has not ended within ten seconds.
    bool runToEnd()
    {
        if (!frontEnd().Run1Click())
            return false;
        const QDeadlineTimer deadline(10000);
        while (frontEnd().isRunning() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return !frontEnd().isRunning();
    }

    std::string m_path = test::fixtureModel("hostcaller");
    Core m_core;
    HostFunctions m_host { m_core };
    TdNew m_dialog { m_core.newSimulationCandidates() };
    TfDebug m_debug { m_core.debugLog() };
    test::FixtureCallLog m_log { m_path };
};

TEST(HostFunctionsAlone, every_export_is_safe_without_a_model_and_the_waits_return_at_once)
{
    Core core;
    HostFunctions host(core);
    host.install();
    ASSERT_TRUE(tessra_has_host());
    EXPECT_EQ(tessra_sim_wait(), 0);
    EXPECT_EQ(tessra_sim_pause(), 0);
    EXPECT_EQ(tessra_sim_run_wait(), 0);
    tessra_sim_run();
    tessra_sim_step();
    tessra_sim_new(); // "No model loaded" stays inside
    tessra_debug_log("nowhere to go");
    EXPECT_EQ(tessra_is_dnew_visible(), 0);
    EXPECT_EQ(tessra_dnew_param_value(0), 0.0);
    EXPECT_EQ(core.frontEnd().runState(), FrontEnd::RunState::NoModel);
}

TEST(HostFunctionsAlone, without_an_installed_instance_the_exports_do_nothing)
{
    Core core;
    {
        HostFunctions host(core);
        host.install();
        EXPECT_EQ(HostFunctions::installed(), &host);
    }
    EXPECT_EQ(HostFunctions::installed(), nullptr);
    EXPECT_EQ(tessra_sim_pause(), 0);
    tessra_sim_run();
    EXPECT_EQ(tessra_is_dnew_visible(), 0);
}

TEST_F(HostFunctionsTest, waits_return_at_once_while_paused)
{
    ASSERT_EQ(frontEnd().runState(), FrontEnd::RunState::Ready);
    EXPECT_EQ(tessra_sim_wait(), 0);
    EXPECT_EQ(tessra_sim_pause(), 0);
    EXPECT_EQ(frontEnd().runState(), FrontEnd::RunState::Ready);
    EXPECT_EQ(stepsTaken(lines()), 0);
}

TEST_F(HostFunctionsTest, run_wait_with_a_holding_stop_condition_returns_after_one_tick)
{
    stopAt(0); // holds from the start
    EXPECT_EQ(tessra_sim_run_wait(), 0);
    EXPECT_EQ(tick(), 1.0);
    EXPECT_EQ(lines(), Lines { "step 0 depth 1" });
    EXPECT_EQ(frontEnd().runState(), FrontEnd::RunState::Ready);
    EXPECT_EQ(frontEnd().statusText(), QStringLiteral("Paused"));
}

TEST_F(HostFunctionsTest, step_and_run_are_the_step_and_run_commands)
{
    tessra_sim_step();
    EXPECT_EQ(tick(), 1.0);
    EXPECT_EQ(frontEnd().statusText(), QStringLiteral("Advanced one step"));
    tessra_sim_run();
    EXPECT_EQ(frontEnd().runState(), FrontEnd::RunState::Running);
    EXPECT_EQ(tessra_sim_pause(), 0);
    EXPECT_EQ(frontEnd().runState(), FrontEnd::RunState::Ready);
}

TEST_F(HostFunctionsTest, sim_new_during_a_run_pauses_first_then_builds_a_new_world)
{
    tessra_sim_run();
    ASSERT_TRUE(QTest::qWaitFor([&] { return tick() >= 3; }, 10000));
    m_log.reset();
    tessra_sim_new();
    EXPECT_FALSE(frontEnd().isRunning());
    EXPECT_EQ(tick(), 0.0);
    const Lines log = lines();
    const auto init = std::find(log.begin(), log.end(), "init");
    ASSERT_NE(init, log.end());
    // No step after the new world: the run had ended before it was built.
    EXPECT_EQ(stepsTaken(Lines(init, log.end())), 0);
    EXPECT_EQ(log.back(), "simReady 0 dnew 0");
    EXPECT_EQ(frontEnd().statusText(), QStringLiteral("Ready"));
}

TEST_F(HostFunctionsTest, the_model_sees_the_dialog_and_its_typed_values_while_it_is_shown)
{
    EXPECT_EQ(tessra_is_dnew_visible(), 0);
    m_dialog.open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&m_dialog));
    QCoreApplication::processEvents();
    EXPECT_EQ(tessra_is_dnew_visible(), 1);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr); // the Action value cell
    m_log.reset();
    editor->selectAll();
    QTest::keyClicks(editor, QStringLiteral("5"));
    // Judged against the values before the text, described with the new one.
    EXPECT_TRUE(contains(lines(), "validateParam 0 5 dnew 1 0 0.5")) << m_log.text();
    EXPECT_TRUE(contains(lines(), "aboutParam 0 dnew 1 5 0.5")) << m_log.text();
    EXPECT_EQ(tessra_dnew_param_value(0), 5.0);

    m_dialog.accept(); // OK hands the values to the model; New then builds the world
    EXPECT_EQ(tessra_is_dnew_visible(), 0);
    m_log.reset();
    frontEnd().newSimulation(QString());
    EXPECT_EQ(lines().back(), "simReady 0 dnew 0");

    // They read the core's candidates, whether a window shows them or not.
    NewSimulationCandidates& candidates = m_core.newSimulationCandidates();
    candidates.open();
    EXPECT_EQ(tessra_is_dnew_visible(), 1);
    EXPECT_TRUE(candidates.describe(0, QStringLiteral("5")));
    EXPECT_EQ(tessra_dnew_param_value(0), 5.0);
    candidates.close();
    EXPECT_EQ(tessra_is_dnew_visible(), 0);
}

TEST_F(HostFunctionsTest, debug_log_export_reaches_the_core_log_and_its_window)
{
    for (int i = 1; i <= 150; ++i)
        tessra_debug_log(("line " + std::to_string(i)).c_str());
    const QStringList kept = m_core.debugLog().lines();
    ASSERT_EQ(kept.size(), 100);
    EXPECT_EQ(kept.front(), QStringLiteral("line 51"));
    EXPECT_EQ(kept.back(), QStringLiteral("line 150"));
    EXPECT_TRUE(m_debug.isVisible());
    EXPECT_TRUE(m_debug.memo()->toPlainText().startsWith(QStringLiteral("line 51\nline 52\n")));

    setAction(17); // the model logs from its step
    tessra_sim_step();
    EXPECT_EQ(m_core.debugLog().lines().back(), QStringLiteral("hostcaller step 0"));
    EXPECT_TRUE(m_debug.memo()->toPlainText().endsWith(QStringLiteral("\nhostcaller step 0\n")));
}

/// One host function called from inside the model's step while a run goes.
struct InsideStepCase {
    int action;
    const char* called;
    int steps; ///< steps until the run ended (the safety net stops at 5)
};

class InsideStep : public HostFunctionsTest,
                   public ::testing::WithParamInterface<InsideStepCase> { };

// The waits give the Pause command and return: the run ends with the step that
// called. Step and New are refused: the step is never re-entered and no world
// is built under it.
TEST_P(InsideStep, never_hangs_and_never_reenters_the_model)
{
    const InsideStepCase& c = GetParam();
    stopAt(5);
    setAction(c.action);
    ASSERT_TRUE(runToEnd()) << "the run did not end: " << m_log.text();
    const Lines log = lines();
    const std::string returned = std::string("step ") + c.called + " returned";
    EXPECT_EQ(stepsTaken(log), c.steps) << m_log.text();
    EXPECT_EQ(countPrefix(log, returned), c.steps) << m_log.text();
    EXPECT_EQ(countPrefix(log, "step"), 2 * c.steps) << m_log.text(); // nothing else stepped
    for (const std::string& line : log)
        EXPECT_EQ(line.find("depth 2"), std::string::npos) << line;
    EXPECT_EQ(countPrefix(log, "init"), 0) << m_log.text();
    EXPECT_EQ(tick(), double(c.steps));
    EXPECT_EQ(frontEnd().runState(), FrontEnd::RunState::Ready);

    // The same calls inside a single step change nothing but the one step.
    m_log.reset();
    EXPECT_TRUE(frontEnd().sbStepClick());
    EXPECT_EQ(stepsTaken(lines()), 1) << m_log.text();
    EXPECT_EQ(countPrefix(lines(), returned), 1) << m_log.text();
    EXPECT_EQ(countPrefix(lines(), "init"), 0);
    EXPECT_EQ(frontEnd().runState(), FrontEnd::RunState::Ready);
}

INSTANTIATE_TEST_SUITE_P(calls, InsideStep,
    ::testing::Values(InsideStepCase { 11, "_simPause", 1 }, InsideStepCase { 12, "_simWait", 1 },
        InsideStepCase { 15, "_simRunWait", 1 }, InsideStepCase { 13, "_simStep", 5 },
        InsideStepCase { 14, "_simNew", 5 }),
    [](const ::testing::TestParamInfo<InsideStepCase>& item) {
        return std::string(item.param.called).substr(1);
    });

TEST_F(HostFunctionsTest, inside_sim_ready_step_and_new_are_refused_and_waits_return)
{
    for (int action : { 31, 32, 33, 34 }) {
        setAction(action);
        m_log.reset();
        frontEnd().newSimulation(QString());
        const Lines log = lines();
        EXPECT_EQ(countPrefix(log, "init"), 1) << action << ": " << m_log.text();
        EXPECT_EQ(stepsTaken(log), 0) << action << ": " << m_log.text();
        EXPECT_EQ(countPrefix(log, "simReady _sim"), 1) << action << ": " << m_log.text();
        EXPECT_EQ(tick(), 0.0);
        EXPECT_EQ(frontEnd().runState(), FrontEnd::RunState::Ready) << action;
    }
    // Run (and run-and-wait) from simReady: the run starts, its steps follow once
    // the new world is ready; the wait cannot wait for them.
    for (int action : { 35, 36 }) {
        setAction(action);
        m_log.reset();
        frontEnd().newSimulation(QString());
        EXPECT_EQ(stepsTaken(lines()), 0) << action;
        EXPECT_EQ(frontEnd().runState(), FrontEnd::RunState::Running) << action;
        frontEnd().pauseAndWait();
    }
}

TEST_F(HostFunctionsTest, from_a_mouse_click_the_calls_act_and_the_wait_serves_the_run)
{
    stopAt(3);
    setAction(25); // _simRunWait from mouseUp
    frontEnd().releaseOnSite(8, 1, 0, 0);
    EXPECT_EQ(lines(),
        (Lines { "mouseUp 8 1 0", "step 0 depth 1", "step 1 depth 1", "step 2 depth 1",
            "mouseUp _simRunWait returned 0" }));
    EXPECT_EQ(frontEnd().runState(), FrontEnd::RunState::Ready);

    // While the click's wait serves the run, no model can be loaded: its code
    // would be unloaded under the click.
    m_log.reset();
    m_core.stopConditions().setEnabled(false); // the timer below ends the run
    bool refused = false;
    QTimer::singleShot(50, [&] {
        try {
            frontEnd().loadModelFile(QString::fromStdString(test::exampleModel("life")));
        } catch (const CommandError&) {
            refused = true;
        }
        frontEnd().requestPause();
    });
    frontEnd().releaseOnSite(8, 1, 1, 0);
    EXPECT_TRUE(refused);
    EXPECT_EQ(lines().back(), "mouseUp _simRunWait returned 0");
    EXPECT_EQ(m_core.model().aboutModel(0), "Host Caller");

    m_log.reset();
    setAction(23); // _simStep
    const double before = tick();
    frontEnd().releaseOnSite(8, 0, 0, 0);
    EXPECT_EQ(lines(),
        (Lines { "mouseUp 8 0 0", "step " + std::to_string(int(before)) + " depth 1",
            "mouseUp _simStep returned -" }));

    m_log.reset();
    setAction(24); // _simNew
    frontEnd().releaseOnSite(8, 0, 1, 0);
    EXPECT_EQ(countPrefix(lines(), "init"), 1) << m_log.text();
    EXPECT_EQ(lines().back(), "mouseUp _simNew returned -");
    EXPECT_EQ(tick(), 0.0);
}

// A model whose mouse-up waits in _simRunWait and then uses its own object:
// while it waits (and serves the run), nothing frees or replaces its world,
// whoever asks. Under the sanitizer build a freed world is also reported as a
// use after free in the fixture's mouseUp.
TEST(ModelWaitingInAClick, keeps_its_world_whoever_asks_for_a_new_one)
{
    const std::string path = test::fixtureModel("mousewait");
    Core core;
    FrontEnd& frontEnd = core.frontEnd();
    HostFunctions host(core);
    host.install();
    const AutomationDispatcher automation(core);
    ASSERT_TRUE(frontEnd.loadModelFile(QString::fromStdString(path)));
    test::FixtureCallLog log(path);
    log.reset();

    QStringList refusals;
    const auto refused = [&](const char* what, const std::function<void()>& command) {
        try {
            command();
        } catch (const CommandError& error) {
            refusals.append(QString::fromLatin1(what) + ": " + error.message());
        }
    };
    bool ran = false;
    QTimer::singleShot(50, [&] {
        ran = frontEnd.isRunning();
        const AutomationReply simNew = automation.invoke("SimNew", false, {});
        if (!simNew.ok())
            refusals.append("SimNew: " + simNew.error->message);
        const AutomationReply load = automation.invoke(
            "LoadModel", true, { QString::fromStdString(test::exampleModel("life")) });
        if (!load.ok())
            refusals.append("LoadModel: " + load.error->message);
        refused("New", [&] { frontEnd.newSimulation(QString()); });
        refused("Load Parameters", [&] { frontEnd.loadParameters("/nonexistent/run.ini"); });
        refused("Exit", [&] { frontEnd.freeWorld(); });
        tessra_sim_new(); // from another call: refused, with a warning
        // Each was refused before pausing: the run the click waits for goes on.
        if (frontEnd.isRunning())
            refusals.append("still running");
        frontEnd.requestPause();
    });
    frontEnd.releaseOnSite(8, 1, 0, 0);

    EXPECT_TRUE(ran);
    EXPECT_EQ(log.lines(), (Lines { "mouseUp waits", "mouseUp own world" })) << log.text();
    const QString waits = QStringLiteral("while the model waits in one of its calls");
    EXPECT_EQ(refusals,
        (QStringList { "SimNew: TFrontEnd: A new simulation cannot be created " + waits,
            "LoadModel: TFrontEnd: A model cannot be loaded " + waits,
            "New: A new simulation cannot be created " + waits,
            "Load Parameters: Parameters cannot be loaded " + waits,
            "Exit: The world cannot be freed " + waits, "still running" }));
    EXPECT_EQ(core.model().aboutModel(0), "Mouse Wait");
    EXPECT_EQ(core.model().stateValue(1, 0, 0), 1.0); // the click counted in its own world

    // With no call of the model on the stack, the same commands work again.
    EXPECT_TRUE(automation.invoke("SimNew", false, {}).ok());
    EXPECT_EQ(core.model().simTime(), 0.0);
}

} // namespace
} // namespace tessra
