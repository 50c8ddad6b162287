// The front-end operations without any window: model loading, new simulations, run
// control, refresh and drawing, against real model libraries.
#include "FrontEnd.h"
#include "AppTestSupport.h"
#include "CommandError.h"
#include "Core.h"
#include "PacedTimer.h"
#include "SeriesTable.h"
#include "StopConditions.h"
#include "TimeSeriesRecorder.h"

#include <QSignalSpy>
#include <QThread>

namespace tessra {
namespace {

using test::CallLog;
using test::waitUntil;
using test::WorkFolder;
using RunState = FrontEnd::RunState;

class FrontEndTest : public ::testing::Test {
protected:
    FrontEnd& frontEnd() { return m_core.frontEnd(); }
    ModelApi model() const { return m_core.model(); }

    /// Loads the calllog fixture copied into the work folder, with its default.ini.
    QString loadCallLog()
    {
        const QString path = m_folder.copyFixture("calllog");
        EXPECT_TRUE(frontEnd().loadModelFile(path)) << frontEnd().loadModelError().toStdString();
        return path;
    }
    void loadFixture(const std::string& name)
    {
        ASSERT_TRUE(frontEnd().loadModelFile(QString::fromStdString(test::fixtureModel(name))))
            << frontEnd().loadModelError().toStdString();
    }
    /// Runs until the simulation time reaches `ticks`.
    void runUntil(double ticks)
    {
        ASSERT_TRUE(frontEnd().Run1Click());
        ASSERT_TRUE(waitUntil([&] { return model().simTime() >= ticks; }));
    }

    WorkFolder m_folder;
    Core m_core;
};

TEST_F(FrontEndTest, failed_load_disables_the_model_commands_and_hides_the_windows)
{
    frontEnd().setInspectorVisible(true);
    frontEnd().setTimeSeriesVisible(true);
    frontEnd().setStopConditionsVisible(true);
    EXPECT_FALSE(frontEnd().loadModelFile(m_folder.file("missing/model.so")));

    EXPECT_FALSE(frontEnd().isModelLoaded());
    EXPECT_FALSE(frontEnd().loadModelError().isEmpty());
    EXPECT_EQ(frontEnd().statusText(), "No model loaded.");
    EXPECT_EQ(frontEnd().runState(), RunState::NoModel); // every model command off
    EXPECT_FALSE(frontEnd().isInspectorChecked());
    EXPECT_FALSE(frontEnd().isTimeSeriesChecked());
    EXPECT_FALSE(frontEnd().setStopConditionsVisible(false));
    EXPECT_EQ(frontEnd().modelCaptionName(), "Model");
    EXPECT_EQ(frontEnd().windowTitle(), "Tessra");
    EXPECT_TRUE(frontEnd().worldImage().isNull());
}

TEST_F(FrontEndTest, run_and_step_without_a_model_do_nothing)
{
    EXPECT_FALSE(frontEnd().loadModelFile(m_folder.file("none.so")));
    EXPECT_FALSE(frontEnd().Run1Click());
    EXPECT_FALSE(frontEnd().sbStepClick());
    EXPECT_FALSE(frontEnd().isRunning());
    EXPECT_FALSE(frontEnd().isRunTimerEnabled());
    EXPECT_THROW(frontEnd().newSimulation(QString()), CommandError);
    frontEnd().waitWhileRunning(); // returns at once
    frontEnd().pauseAndWait();
    EXPECT_EQ(frontEnd().statusText(), "No model loaded.");
}

TEST_F(FrontEndTest, successful_load_restores_the_windows_and_names_the_model)
{
    frontEnd().setInspectorVisible(true);
    QSignalSpy inspectorChecks(&frontEnd(), &FrontEnd::inspectorCheckedChanged);
    QSignalSpy folders(&frontEnd(), &FrontEnd::modelFolderChanged);
    const QString path = loadCallLog();

    EXPECT_TRUE(frontEnd().isInspectorChecked());
    ASSERT_EQ(inspectorChecks.count(), 2); // hidden during the load, shown again
    EXPECT_FALSE(inspectorChecks.at(0).at(0).toBool());
    EXPECT_TRUE(inspectorChecks.at(1).at(0).toBool());
    EXPECT_EQ(frontEnd().modelCaptionName(), "Call Log");
    EXPECT_EQ(frontEnd().modelFolder(), m_folder.path() + "/");
    EXPECT_EQ(folders.count(), 1);
    EXPECT_EQ(frontEnd().runState(), RunState::Ready);
    EXPECT_EQ(frontEnd().statusText(), "Ready");
    EXPECT_EQ(frontEnd().windowTitle(), "Tessra: Call Log"); // default.ini is no parameter file
    EXPECT_TRUE(frontEnd().currentParameterFile().isEmpty());
    EXPECT_EQ(frontEnd().worldSize(), QSize(3, 5));
}

TEST_F(FrontEndTest, startup_settings_file_is_read_once_and_becomes_the_parameter_file)
{
    m_folder.write("start.ini", "[Parameters]\nCount=7\nRate=0.75\n");
    frontEnd().setStartupSettingsFile(m_folder.file("start.ini"));
    loadCallLog();
    EXPECT_EQ(model().paramValue(0), 7);
    EXPECT_EQ(frontEnd().currentParameterFile(), m_folder.file("start.ini"));
    EXPECT_EQ(frontEnd().windowTitle(), "Tessra: Call Log - start.ini");
    EXPECT_TRUE(frontEnd().startupSettingsFile().isEmpty());

    loadCallLog(); // a second load reads ./default.ini and forgets the parameter file
    EXPECT_EQ(model().paramValue(0), 2);
    EXPECT_TRUE(frontEnd().currentParameterFile().isEmpty());
    EXPECT_EQ(frontEnd().windowTitle(), "Tessra: Call Log");
}

TEST_F(FrontEndTest, new_simulation_calls_the_model_in_order)
{
    const QString path = loadCallLog();
    const CallLog log(path.toStdString());
    ASSERT_TRUE(log.isLoaded());
    log.reset();
    QStringList statuses;
    QObject::connect(&frontEnd(), &FrontEnd::statusTextChanged, &frontEnd(),
        [&](const QString& text) { statuses << text; });
    bool builtWhileDisabled = false;
    QObject::connect(&frontEnd(), &FrontEnd::inputEnabledChanged, &frontEnd(), [&](bool enabled) {
        builtWhileDisabled = builtWhileDisabled || (!enabled && log.count("init") == 0);
    });
    frontEnd().newSimulation(QString());

    // The old world goes first (the model cleans up), then the new one is built.
    const std::vector<std::string> expected { "cleanup", "worldSize 2 0.25", "init 3 5", "color 15",
        "simReady 0" };
    EXPECT_EQ(log.lines(), expected);
    EXPECT_EQ(statuses, QStringList({ "Creating new agents...", "Ready" }));
    EXPECT_TRUE(builtWhileDisabled);
    EXPECT_EQ(frontEnd().tickText(), "Tick 0");
}

TEST_F(FrontEndTest, new_simulation_clears_the_image_to_black_before_drawing)
{
    loadCallLog();
    const QImage& image = frontEnd().worldImage();
    ASSERT_EQ(image.size(), QSize(3, 5));
    EXPECT_EQ(image.pixelColor(2, 4), QColor(100, 200, 100));

    // "nothing" never sets a colour: a world of the same size must come out black.
    m_folder.write("nothing.ini", "[Parameters]\nWidth=3\nHeight=5\n");
    frontEnd().setStartupSettingsFile(m_folder.file("nothing.ini"));
    loadFixture("nothing");
    ASSERT_EQ(frontEnd().worldImage().size(), QSize(3, 5));
    for (int row = 0; row < 5; ++row)
        for (int column = 0; column < 3; ++column)
            EXPECT_EQ(frontEnd().worldImage().pixel(column, row), qRgb(0, 0, 0));
    EXPECT_EQ(frontEnd().worldImage().format(), QImage::Format_RGB888);
}

TEST_F(FrontEndTest, exit_frees_the_world_after_pausing)
{
    const QString path = loadCallLog();
    const CallLog log(path.toStdString());
    runUntil(3);
    log.reset();
    frontEnd().freeWorld();
    EXPECT_FALSE(frontEnd().isRunning());
    const auto lines = log.lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.back(), "cleanup");
    EXPECT_EQ(log.count("cleanup"), 1);
    EXPECT_FALSE(frontEnd().sbStepClick()); // no world to step
    EXPECT_FALSE(frontEnd().Run1Click());
    frontEnd().freeWorld(); // once only
    EXPECT_EQ(log.count("cleanup"), 1);
}

TEST_F(FrontEndTest, pause_costs_exactly_one_more_step_and_ends_with_a_refresh)
{
    const QString path = loadCallLog();
    const CallLog log(path.toStdString());
    runUntil(3);
    EXPECT_EQ(frontEnd().runState(), RunState::Running);
    EXPECT_EQ(frontEnd().statusText(), "Running");
    EXPECT_TRUE(frontEnd().isRunTimerEnabled());

    log.reset();
    const double requestedAt = model().simTime();
    QSignalSpy refreshes(&frontEnd(), &FrontEnd::refreshed);
    frontEnd().requestPause();
    EXPECT_EQ(frontEnd().statusText(), "Pausing...");
    EXPECT_EQ(frontEnd().runState(), RunState::Pausing);
    EXPECT_TRUE(frontEnd().isRunning());
    frontEnd().waitWhileRunning();

    EXPECT_EQ(log.count("step"), 1);
    EXPECT_EQ(model().simTime(), requestedAt + 1);
    EXPECT_EQ(frontEnd().statusText(), "Paused");
    EXPECT_EQ(frontEnd().runState(), RunState::Ready);
    EXPECT_FALSE(frontEnd().isRunTimerEnabled());
    EXPECT_FALSE(frontEnd().isRefreshTimerEnabled());
    EXPECT_GE(refreshes.count(), 1);
    EXPECT_EQ(frontEnd().tickText(), QString("Tick %1").arg(requestedAt + 1));
    const auto lines = log.lines();
    EXPECT_EQ(lines.back(), "color 15"); // the final refresh comes after the last step
}

TEST_F(FrontEndTest, single_step_steps_and_refreshes_once)
{
    const QString path = loadCallLog();
    const CallLog log(path.toStdString());
    log.reset();
    QSignalSpy refreshes(&frontEnd(), &FrontEnd::refreshed);
    std::vector<RunState> during;
    QObject::connect(&frontEnd(), &FrontEnd::refreshed, &frontEnd(),
        [&] { during.push_back(frontEnd().runState()); });
    ASSERT_TRUE(frontEnd().sbStepClick());

    const std::vector<std::string> expected { "step 0", "color 15" };
    EXPECT_EQ(log.lines(), expected);
    EXPECT_EQ(refreshes.count(), 1);
    ASSERT_EQ(during.size(), 1u);
    EXPECT_EQ(during[0], RunState::SingleStep);
    EXPECT_EQ(frontEnd().statusText(), "Advanced one step");
    EXPECT_EQ(frontEnd().tickText(), "Tick 1");
    EXPECT_EQ(frontEnd().runState(), RunState::Ready);
}

TEST_F(FrontEndTest, steps_record_when_the_time_passes_a_whole_tick)
{
    loadFixture("fractional"); // 0.4 per step
    SeriesTable& table = m_core.recorder().table();
    const int slot = table.addSeries(SeriesTable::operationNames().indexOf("Parameter"), 0);
    frontEnd().newSimulation(QString()); // the first sample, at 0
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(frontEnd().sbStepClick()); // 0.4 0.8 1.2 1.6 2
    std::vector<double> ticks;
    for (const auto& sample : table.samples(slot).samples())
        ticks.push_back(sample.tick);
    EXPECT_EQ(ticks, (std::vector<double> { 0, 1.2, 2 }));
    table.removeAllSeries();
}

TEST_F(FrontEndTest, a_holding_stop_condition_ends_the_run_in_that_step)
{
    loadCallLog();
    StopConditions& stops = m_core.stopConditions();
    stops.setEnabled(true);
    ASSERT_TRUE(stops.addCondition("Tick", StopConditions::GreaterOrEqual, 3));
    ASSERT_TRUE(frontEnd().Run1Click());
    frontEnd().waitWhileRunning();
    EXPECT_EQ(model().simTime(), 3);
    EXPECT_EQ(frontEnd().statusText(), "Paused");
    ASSERT_TRUE(frontEnd().sbStepClick()); // a single step is never stopped
    EXPECT_EQ(model().simTime(), 4);
    EXPECT_EQ(frontEnd().statusText(), "Advanced one step");
    ASSERT_TRUE(frontEnd().Run1Click()); // still holds: one more step
    frontEnd().waitWhileRunning();
    EXPECT_EQ(model().simTime(), 5);

    loadCallLog(); // a new model: the condition reads the new time
    ASSERT_TRUE(frontEnd().Run1Click());
    frontEnd().waitWhileRunning();
    EXPECT_EQ(model().simTime(), 3);
    stops.removeAllConditions();
    stops.setEnabled(false);
}

TEST_F(FrontEndTest, step_while_running_pauses_first)
{
    const QString path = loadCallLog();
    const CallLog log(path.toStdString());
    runUntil(2);
    ASSERT_TRUE(frontEnd().sbStepClick());
    EXPECT_FALSE(frontEnd().isRunning());
    EXPECT_EQ(frontEnd().statusText(), "Advanced one step");
    const double time = model().simTime();
    QCoreApplication::processEvents();
    EXPECT_EQ(model().simTime(), time); // nothing runs on
}

TEST_F(FrontEndTest, wait_while_running_returns_at_once_when_nothing_runs)
{
    loadCallLog();
    const double before = model().simTime();
    frontEnd().waitWhileRunning();
    frontEnd().pauseAndWait();
    EXPECT_EQ(model().simTime(), before);
    EXPECT_EQ(frontEnd().statusText(), "Ready");
}

TEST_F(FrontEndTest, nothing_re_enters_the_model_from_inside_a_step)
{
    loadCallLog();
    frontEnd().setFrameRate(2); // Fast: every step refreshes from inside the step
    int checks = 0;
    QObject::connect(&frontEnd(), &FrontEnd::refreshed, &frontEnd(), [&] {
        if (!frontEnd().isInsideStep() || checks > 0)
            return;
        ++checks;
        const double time = model().simTime();
        EXPECT_FALSE(frontEnd().sbStepClick());
        EXPECT_THROW(frontEnd().newSimulation(QString()), CommandError);
        EXPECT_THROW(frontEnd().loadModelFile(QString()), CommandError);
        frontEnd().atRunTimer();
        frontEnd().waitWhileRunning(); // would never end: returns at once
        EXPECT_EQ(model().simTime(), time);
        frontEnd().requestPause();
    });
    ASSERT_TRUE(frontEnd().Run1Click());
    frontEnd().waitWhileRunning();
    EXPECT_EQ(checks, 1);
    EXPECT_EQ(model().simTime(), 1);
    EXPECT_EQ(frontEnd().statusText(), "Paused");
}

TEST_F(FrontEndTest, fast_refreshes_after_every_step_without_the_refresh_timer)
{
    loadCallLog();
    frontEnd().setFrameRate(2);
    QSignalSpy refreshes(&frontEnd(), &FrontEnd::refreshed);
    runUntil(20);
    EXPECT_FALSE(frontEnd().isRefreshTimerEnabled());
    frontEnd().pauseAndWait();
    // One refresh per step, and the last step's refresh is the final one.
    EXPECT_EQ(refreshes.count(), static_cast<int>(model().simTime()));
}

TEST_F(FrontEndTest, frame_rate_switches_the_refresh_timer_while_running)
{
    loadCallLog();
    frontEnd().setFrameRate(2);
    ASSERT_TRUE(frontEnd().Run1Click());
    EXPECT_FALSE(frontEnd().isRefreshTimerEnabled());
    frontEnd().setFrameRate(1);
    EXPECT_TRUE(frontEnd().isRefreshTimerEnabled());
    EXPECT_EQ(frontEnd().refreshShare(), FrontEnd::MediumShare);
    frontEnd().setFrameRate(0);
    EXPECT_TRUE(frontEnd().isRefreshTimerEnabled());
    EXPECT_EQ(frontEnd().refreshShare(), FrontEnd::SlowShare);
    frontEnd().setFrameRate(2);
    EXPECT_FALSE(frontEnd().isRefreshTimerEnabled());
    frontEnd().pauseAndWait();
    frontEnd().setFrameRate(1); // paused: stays off
    EXPECT_FALSE(frontEnd().isRefreshTimerEnabled());
    EXPECT_THROW(frontEnd().setFrameRate(3), CommandError);
    EXPECT_THROW(frontEnd().setFrameRate(-1), CommandError);
    EXPECT_EQ(frontEnd().frameRate(), 1);
}

TEST_F(FrontEndTest, frame_rate_steps_stop_at_the_ends)
{
    frontEnd().setFrameRate(1);
    frontEnd().increaseFrameRate();
    frontEnd().increaseFrameRate();
    EXPECT_EQ(frontEnd().frameRate(), 2);
    frontEnd().decreaseFrameRate();
    frontEnd().decreaseFrameRate();
    frontEnd().decreaseFrameRate();
    EXPECT_EQ(frontEnd().frameRate(), 0);
    EXPECT_EQ(FrontEnd::frameRateHint(0), "Framerate=Slow");
    EXPECT_EQ(FrontEnd::frameRateHint(1), "Framerate=Medium");
    EXPECT_EQ(FrontEnd::frameRateHint(2), "Framerate=Fast");
}

TEST_F(FrontEndTest, refresh_interval_settles_at_33_ms_medium_and_50_ms_slow)
{
    loadCallLog(); // 15 sites: every refresh is measured as 0 ms
    EXPECT_EQ(frontEnd().refreshInterval(), FrontEnd::InitialRefreshInterval);
    frontEnd().setFrameRate(1);
    for (int i = 0; i < 5; ++i)
        frontEnd().atRefreshTimer();
    EXPECT_EQ(frontEnd().refreshInterval(), 33);
    frontEnd().setFrameRate(0);
    for (int i = 0; i < 5; ++i)
        frontEnd().atRefreshTimer();
    EXPECT_EQ(frontEnd().refreshInterval(), 50);
    frontEnd().setFrameRate(2);
    frontEnd().atRefreshTimer(); // Fast does not adapt
    EXPECT_EQ(frontEnd().refreshInterval(), 50);
}

TEST_F(FrontEndTest, rate_panels_follow_the_refreshes)
{
    loadCallLog();
    EXPECT_EQ(frontEnd().frameRateText(), "0 fps");
    EXPECT_EQ(frontEnd().tickRateText(), "0 tps");
    frontEnd().atRefreshTimer();
    QThread::msleep(30);
    frontEnd().sbStepClick();
    const QString afterSteps = frontEnd().tickRateText();
    EXPECT_NE(afterSteps, "0 tps");
    frontEnd().atRefreshTimer(); // no advance of the time: the tick rate stays
    EXPECT_EQ(frontEnd().tickRateText(), afterSteps);
    EXPECT_TRUE(frontEnd().frameRateText().endsWith(" fps"))
        << frontEnd().frameRateText().toStdString();
}

TEST_F(FrontEndTest, rate_panels_show_rates_of_refreshes_shorter_than_a_millisecond)
{
    loadCallLog();
    frontEnd().setFrameRate(2);
    // A step of this model and its refresh take far less than a millisecond.
    for (int i = 0; i < 50; ++i)
        frontEnd().sbStepClick();
    EXPECT_NE(frontEnd().frameRateText(), "0 fps");
    EXPECT_NE(frontEnd().tickRateText(), "0 tps");
}

TEST_F(FrontEndTest, fractional_steps_run_and_show_the_time)
{
    loadFixture("fractional");
    frontEnd().sbStepClick();
    EXPECT_EQ(frontEnd().tickText(), "Tick 0.4");
    frontEnd().sbStepClick();
    frontEnd().sbStepClick();
    EXPECT_EQ(frontEnd().tickText(), "Tick 1.2");
}

TEST_F(FrontEndTest, hint_is_asked_only_when_the_pointer_enters_another_site)
{
    const QString path = loadCallLog();
    const CallLog log(path.toStdString());
    log.reset();
    QSignalSpy inspected(&frontEnd(), &FrontEnd::siteInspected);
    EXPECT_EQ(frontEnd().lastHintedSite(), QPoint(-1, -1));
    EXPECT_EQ(frontEnd().hoverSite(1, 2).value_or("-"), "site 1 2");
    EXPECT_FALSE(frontEnd().hoverSite(1, 2));
    EXPECT_FALSE(frontEnd().hoverSite(1, 2));
    EXPECT_EQ(frontEnd().hoverSite(2, 2).value_or("-"), "site 2 2");
    EXPECT_FALSE(frontEnd().hoverSite(3, 0)); // outside the world
    EXPECT_EQ(log.count("hint"), 2);
    ASSERT_EQ(inspected.count(), 4);
    EXPECT_EQ(inspected.at(0).at(2).toInt(), 50 | 100 << 8 | 100 << 16);

    frontEnd().newSimulation(QString());
    EXPECT_EQ(frontEnd().lastHintedSite(), QPoint(-1, -1));
    EXPECT_TRUE(frontEnd().hoverSite(2, 2)); // asked again after a new world
}

TEST_F(FrontEndTest, mouse_up_reaches_the_model_then_redraws_and_asks_the_hint_again)
{
    const QString path = loadCallLog();
    const CallLog log(path.toStdString());
    ASSERT_TRUE(frontEnd().hoverSite(1, 4));
    log.reset();
    EXPECT_EQ(frontEnd().releaseOnSite(16, 1, 4, 12).value_or("-"), "site 1 4");
    frontEnd().hoverSite(1, 4); // the same site: not asked once more
    const std::vector<std::string> expected { "mouseUp 16 1 4 12", "color 15", "hint 1 4" };
    EXPECT_EQ(log.lines(), expected);
}

TEST_F(FrontEndTest, minimal_ui_goes_slow_and_hides_the_observers)
{
    loadCallLog();
    frontEnd().setInspectorVisible(true);
    frontEnd().setTimeSeriesVisible(true);
    QSignalSpy collapse(&frontEnd(), &FrontEnd::minimalUiRequested);
    frontEnd().showMinimalUi();
    EXPECT_EQ(collapse.count(), 1);
    EXPECT_EQ(frontEnd().frameRate(), 0);
    EXPECT_FALSE(frontEnd().isInspectorChecked());
    EXPECT_FALSE(frontEnd().isTimeSeriesChecked());
}

/// A companion window that only remembers whether it is shown.
class FakeWindow : public CompanionWindow {
public:
    bool isShown() const override { return shown; }
    void setShown(bool s) override { shown = s; }
    bool shown = false;
};

TEST_F(FrontEndTest, attached_windows_follow_the_check_marks_and_survive_a_load)
{
    FakeWindow inspector;
    FakeWindow stop;
    frontEnd().attachInspector(&inspector);
    frontEnd().attachStopConditionsWindow(&stop);
    frontEnd().setInspectorVisible(true);
    EXPECT_TRUE(inspector.shown);
    EXPECT_TRUE(frontEnd().setStopConditionsVisible(true));
    bool hiddenDuringLoad = false;
    QObject::connect(&frontEnd(), &FrontEnd::worldCreated, &frontEnd(),
        [&] { hiddenDuringLoad = !inspector.shown && !stop.shown; });
    loadCallLog();
    EXPECT_TRUE(hiddenDuringLoad);
    EXPECT_TRUE(inspector.shown);
    EXPECT_TRUE(stop.shown);
    frontEnd().attachInspector(nullptr);
    frontEnd().attachStopConditionsWindow(nullptr);
}

TEST_F(FrontEndTest, window_title_update_keeps_the_parameter_file)
{
    loadCallLog();
    frontEnd().updateWindowTitle("/some/where/run 1.ini");
    EXPECT_EQ(frontEnd().windowTitle(), "Tessra: Call Log - run 1.ini");
    EXPECT_EQ(frontEnd().applicationTitle(), "Tessra: Call Log - run 1.ini");
    frontEnd().updateWindowTitle(QString());
    EXPECT_EQ(frontEnd().currentParameterFile(), "/some/where/run 1.ini");
    EXPECT_EQ(frontEnd().windowTitle(), "Tessra: Call Log - run 1.ini");
}

TEST(PacedTimer, never_re_enters_its_handler_and_stops_from_inside_it)
{
    int calls = 0;
    int depth = 0;
    int deepest = 0;
    PacedTimer* self = nullptr;
    PacedTimer timer([&] {
        ++calls;
        deepest = std::max(deepest, ++depth);
        for (int i = 0; i < 5; ++i) // a nested event loop, as a wait inside a step runs
            QCoreApplication::processEvents();
        if (calls == 10)
            self->setEnabled(false);
        --depth;
    });
    self = &timer;
    timer.setInterval(0);
    timer.setEnabled(true);
    EXPECT_TRUE(waitUntil([&] { return !timer.isEnabled(); }));
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    EXPECT_EQ(calls, 10);
    EXPECT_EQ(deepest, 1);

    timer.setInterval(5); // with an interval, and enabled again
    timer.setEnabled(true);
    EXPECT_TRUE(waitUntil([&] { return calls >= 13; }));
    timer.setEnabled(false);
    const int stoppedAt = calls;
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    EXPECT_EQ(calls, stoppedAt);
    EXPECT_EQ(deepest, 1);
}

TEST(FrontEndStart, starts_with_the_application_title_and_the_current_folder)
{
    WorkFolder folder;
    Core core;
    EXPECT_EQ(core.frontEnd().windowTitle(), "Tessra");
    EXPECT_TRUE(core.frontEnd().applicationTitle().startsWith("Tessra - "));
    EXPECT_EQ(core.frontEnd().modelFolder(), folder.path() + "/");
    EXPECT_EQ(core.frontEnd().tickText(), "Tick 0");
    EXPECT_EQ(core.frontEnd().frameRate(), 1);
}

} // namespace
} // namespace tessra
