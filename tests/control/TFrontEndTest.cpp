// The automation object's methods against the real Life model and recorded
// front-end operations.
#include <gtest/gtest.h>

#include <QLocale>

#include "AutomationDispatcher.h"
#include "RecordingHost.h"
#include "TFrontEnd.h"
#include "TestPaths.h"

namespace tessra {
namespace {

class GermanLocale {
public:
    GermanLocale() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    ~GermanLocale() { QLocale::setDefault(QLocale::c()); }
};

/// Life loaded with a fresh 128 x 128 world.
class TFrontEndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_model.loadModel(test::exampleModel("life"));
        ASSERT_TRUE(m_model.isLoaded()) << *m_model.loadModelError();
        m_model.newAgents();
        m_model.simReady();
    }

    ModelApi m_model;
    test::RecordingHost m_host;
    TFrontEnd m_frontEnd { m_model, m_host };
};

TEST_F(TFrontEndTest, AboutModel_maps_keys_in_any_case_and_nothing_else)
{
    EXPECT_EQ(m_frontEnd.AboutModel("Version"), "1.0");
    EXPECT_EQ(m_frontEnd.AboutModel("NAME"), "Life");
    EXPECT_TRUE(m_frontEnd.AboutModel("url").startsWith("https://"));
    EXPECT_FALSE(m_frontEnd.AboutModel("Copyright").isEmpty());
    EXPECT_FALSE(m_frontEnd.AboutModel("comments").isEmpty());
    EXPECT_EQ(m_frontEnd.AboutModel(" name"), "");
    EXPECT_EQ(m_frontEnd.AboutModel(""), "");
    EXPECT_EQ(m_frontEnd.AboutModel("web"), "");
}

TEST_F(TFrontEndTest, GetLoadModelErr_is_empty_while_a_model_is_loaded)
{
    EXPECT_EQ(m_frontEnd.GetLoadModelErr(), "");
    m_model.loadModel("/nowhere/model.so");
    EXPECT_FALSE(m_frontEnd.GetLoadModelErr().isEmpty());
    EXPECT_EQ(m_frontEnd.GetParam("Density"), ""); // no model: no parameter
}

TEST_F(TFrontEndTest, GetParam_and_SetParam)
{
    EXPECT_EQ(m_frontEnd.GetParam("Density"), "0.3");
    EXPECT_EQ(m_frontEnd.GetParam("Width"), "128");
    EXPECT_EQ(m_frontEnd.GetParam("Nope"), "");
    EXPECT_EQ(m_frontEnd.GetParam(""), "");

    EXPECT_EQ(m_frontEnd.SetParam("Density", "no number"), 0);
    EXPECT_EQ(m_frontEnd.SetParam("Density", ""), 0);
    EXPECT_EQ(m_frontEnd.SetParam("Density", "nan"), 0);
    EXPECT_EQ(m_frontEnd.SetParam("Density", "2,5"), 0);
    EXPECT_EQ(m_frontEnd.GetParam("Density"), "0.3");
    EXPECT_EQ(m_frontEnd.SetParam("Nope", "1"), 0);

    // Stored as given: not validated against the parameter's range.
    EXPECT_EQ(m_frontEnd.SetParam("Density", " 2.5 "), 1);
    EXPECT_EQ(m_frontEnd.GetParam("Density"), "2.5");
    EXPECT_EQ(m_model.paramValue(2), 2.5);
    EXPECT_EQ(m_frontEnd.SetParam("Seed", "1e-5"), 1);
    EXPECT_EQ(m_frontEnd.GetParam("Seed"), "1E-5");
    EXPECT_TRUE(m_host.calls.isEmpty());
}

TEST_F(TFrontEndTest, parameters_read_and_write_in_a_comma_locale)
{
    GermanLocale german;
    EXPECT_EQ(m_frontEnd.GetParam("Density"), "0,3");
    EXPECT_EQ(m_frontEnd.SetParam("Density", "2.5"), 0);
    EXPECT_EQ(m_frontEnd.SetParam("Density", "2,5"), 1);
    EXPECT_EQ(m_frontEnd.GetParam("Density"), "2,5");
}

TEST_F(TFrontEndTest, GetState_and_SetState_inside_the_world_only)
{
    EXPECT_EQ(m_frontEnd.GetState(0, 0, "Nope"), "");
    EXPECT_EQ(m_frontEnd.GetState(0, 0, ""), "");
    EXPECT_EQ(m_frontEnd.SetState(3, 4, "Alive", "1"), 1);
    EXPECT_EQ(m_frontEnd.GetState(3, 4, "Alive"), "1");
    EXPECT_EQ(m_frontEnd.SetState(127, 127, "Age", "0.1"), 1);
    EXPECT_EQ(m_frontEnd.GetState(127, 127, "Age"), "0.100000001490116");

    for (const auto& [column, row] :
        { std::pair { -1, 0 }, { 0, -1 }, { 128, 0 }, { 0, 128 }, { 1 << 30, 1 } }) {
        SCOPED_TRACE(testing::Message() << column << "," << row);
        EXPECT_EQ(m_frontEnd.GetState(column, row, "Alive"), "");
        EXPECT_EQ(m_frontEnd.SetState(column, row, "Alive", "1"), 0);
    }

    EXPECT_EQ(m_frontEnd.SetState(3, 4, "Alive", "x"), 0);
    EXPECT_EQ(m_frontEnd.SetState(3, 4, "Alive", "1e39"), 0); // no float holds it
    EXPECT_EQ(m_frontEnd.SetState(3, 4, "Nope", "0"), 0);
    EXPECT_EQ(m_frontEnd.GetState(3, 4, "Alive"), "1");
}

TEST_F(TFrontEndTest, GetTick_follows_the_simulation_time)
{
    EXPECT_EQ(m_frontEnd.GetTick(), 0.0);
    m_model.timestep();
    EXPECT_EQ(m_frontEnd.GetTick(), 1.0);
}

struct StopCase {
    const char* condition;
    qint16 result;
    QStringList calls;
};

TEST_F(TFrontEndTest, StopIfAdd_parses_name_comparator_and_number)
{
    const StopCase cases[] = {
        { "Tick >= 100", 1, { "setStopEnabled(1)", "addStopCondition(Tick,1,100)" } },
        { "tick=5", 1, { "setStopEnabled(1)", "addStopCondition(tick,0,5)" } },
        { " Density<= 0.25 ", 1, { "setStopEnabled(1)", "addStopCondition(Density,-1,0.25)" } },
        // a blank inside the comparator leaves "Tick >" as the name: refused
        { "Tick > = 5", 0, { "setStopEnabled(1)", "addStopCondition(Tick >,0,5)" } },
        { "=5", 0, { "setStopEnabled(1)" } },
        { "Tick >=", 0, { "setStopEnabled(1)" } },
        { "Tick >= ten", 0, { "setStopEnabled(1)" } },
        { "Tick 5", 0, { "setStopEnabled(1)" } },
        { "", 0, { "setStopEnabled(1)" } },
        // the comparator must end at the first "="
        { "a=b>=5", 0, { "setStopEnabled(1)" } },
        { "Nope >= 1", 0, { "setStopEnabled(1)", "addStopCondition(Nope,1,1)" } },
    };
    for (const StopCase& c : cases) {
        SCOPED_TRACE(c.condition);
        m_host.calls.clear();
        EXPECT_EQ(m_frontEnd.StopIfAdd(c.condition), c.result);
        EXPECT_EQ(m_host.calls, c.calls);
    }
}

TEST_F(TFrontEndTest, StopIfAdd_reads_the_threshold_in_the_users_locale)
{
    GermanLocale german;
    EXPECT_EQ(m_frontEnd.StopIfAdd("Density <= 0,5"), 1);
    EXPECT_EQ(m_frontEnd.StopIfAdd("Density <= 0.5"), 0);
    EXPECT_EQ(m_host.calls.at(1), "addStopCondition(Density,-1,0.5)");
}

TEST_F(TFrontEndTest, StopIfRemoveAll_removes_then_switches_off)
{
    m_frontEnd.StopIfRemoveAll();
    EXPECT_EQ(m_host.calls, (QStringList { "removeAllStopConditions()", "setStopEnabled(0)" }));
}

TEST_F(TFrontEndTest, TimeSeriesAdd_finds_operation_and_subject_in_any_case)
{
    const StopCase cases[] = {
        { "average alive", 1, { "selectOperation(2)", "addSeries(2,0)" } },
        { "  KURTOSIS   Age ", 1, { "selectOperation(5)", "addSeries(5,1)" } },
        { "Parameter density", 1, { "selectOperation(6)", "addSeries(6,2)" } },
        { "Average", 0, {} },
        { "", 0, {} },
        { "Median Alive", 0, {} },
        // the operation stays selected when the subject is unknown
        { "Average Nope", 0, { "selectOperation(2)" } },
        { "Parameter Alive", 0, { "selectOperation(6)" } },
        // the window refuses a pair it already plots
        { "Average Alive", 0, { "selectOperation(2)", "addSeries(2,0)" } },
    };
    for (const StopCase& c : cases) {
        SCOPED_TRACE(c.condition);
        m_host.calls.clear();
        EXPECT_EQ(m_frontEnd.TimeSeriesAdd(c.condition), c.result);
        EXPECT_EQ(m_host.calls, c.calls);
    }
    EXPECT_EQ(
        m_host.series, (QStringList { "Average Alive", "Kurtosis Age", "Parameter Density" }));
}

TEST_F(TFrontEndTest, TimeSeriesExport_pauses_then_writes_in_the_mode_given)
{
    EXPECT_EQ(m_frontEnd.TimeSeriesExport("/tmp/a.txt", "  APPEND "), 1);
    EXPECT_EQ(m_frontEnd.TimeSeriesExport("/tmp/a.txt", ""), 1);
    EXPECT_EQ(m_frontEnd.TimeSeriesExport("/tmp/a.txt", "appendix"), 1);
    EXPECT_EQ(m_host.calls,
        (QStringList { "pauseAndWait()", "exportTimeSeries(/tmp/a.txt,1)", "pauseAndWait()",
            "exportTimeSeries(/tmp/a.txt,0)", "pauseAndWait()",
            "exportTimeSeries(/tmp/a.txt,0)" }));
    m_host.exportFailure = "No data series to export!";
    EXPECT_EQ(m_frontEnd.TimeSeriesExport("/tmp/a.txt", "append"), 0);
}

TEST_F(TFrontEndTest, TimeSeriesRemoveAll_removes_the_first_row_until_none_is_left)
{
    m_frontEnd.TimeSeriesRemoveAll();
    EXPECT_TRUE(m_host.calls.isEmpty());

    m_host.series = QStringList { "Average Alive", "Minimum Age", "Parameter Seed" };
    m_frontEnd.TimeSeriesRemoveAll();
    EXPECT_EQ(m_host.calls, QStringList(3, "removeSeriesAtRow(0)"));
    EXPECT_TRUE(m_host.series.isEmpty());

    // A Remove that removes nothing ends the loop with an error, not a hang.
    m_host.series = QStringList { "Average Alive" };
    m_host.removeWorks = false;
    EXPECT_THROW(m_frontEnd.TimeSeriesRemoveAll(), CommandError);
}

TEST_F(TFrontEndTest, simulation_methods_call_their_operations)
{
    using Method = void (TFrontEnd::*)();
    const std::pair<Method, QStringList> cases[] = {
        { &TFrontEnd::Refresh, { "refresh()" } },
        { &TFrontEnd::SimNew, { "simNew()" } },
        { &TFrontEnd::SimPause, { "pauseAndWait()" } },
        { &TFrontEnd::SimRun, { "run()" } },
        { &TFrontEnd::SimRunWait, { "run()", "waitWhileRunning()" } },
        { &TFrontEnd::SimStep, { "step()" } },
        { &TFrontEnd::SimWait, { "waitWhileRunning()" } },
        { &TFrontEnd::TimeSeriesClear, { "clearSamples()" } },
        { &TFrontEnd::UiMinimal, { "showMinimalUi()" } },
    };
    for (const auto& [method, calls] : cases) {
        m_host.calls.clear();
        (m_frontEnd.*method)();
        EXPECT_EQ(m_host.calls, calls);
    }
    m_host.calls.clear();
    EXPECT_EQ(m_frontEnd.LoadModel("/m/model.so"), 1);
    m_host.loadSucceeds = false;
    EXPECT_EQ(m_frontEnd.LoadModel("/m/model.so"), 0);
    EXPECT_EQ(m_host.calls, QStringList(2, "loadModelFile(/m/model.so)"));
}

TEST_F(TFrontEndTest, names_size_and_run_state_of_the_real_model)
{
    EXPECT_EQ(m_frontEnd.GetParamNames(), (QStringList { "Width", "Height", "Density", "Seed" }));
    EXPECT_EQ(m_frontEnd.GetStateNames(), (QStringList { "Alive", "Age" }));
    const AutomationWorldSize size = m_frontEnd.GetWorldSize();
    EXPECT_EQ(size.width, 128);
    EXPECT_EQ(size.height, 128);
    EXPECT_FALSE(m_frontEnd.IsRunning());
    m_host.running = true;
    EXPECT_TRUE(m_frontEnd.IsRunning());

    // A failed load leaves no model: empty answers.
    m_model.loadModel("/nonexistent/model.so");
    ASSERT_FALSE(m_model.isLoaded());
    TFrontEnd unloaded(m_model, m_host);
    EXPECT_TRUE(unloaded.GetParamNames().isEmpty());
    EXPECT_TRUE(unloaded.GetStateNames().isEmpty());
    EXPECT_EQ(unloaded.GetWorldSize().width, 0);
}

TEST_F(TFrontEndTest, TimeSeriesGet_finds_the_label_in_any_case)
{
    m_host.series = QStringList { "Average Alive", "Parameter Density" };
    EXPECT_EQ(m_frontEnd.TimeSeriesLabels(), m_host.series);
    EXPECT_EQ(m_frontEnd.TimeSeriesGet("Parameter Density").values, (QList<double> { 1.0, 1.5 }));
    EXPECT_EQ(m_frontEnd.TimeSeriesGet(" average alive").values, (QList<double> { 0.0, 0.5 }));
    EXPECT_EQ(m_frontEnd.TimeSeriesGet("Average Alive").ticks, (QList<double> { 1.0, 2.0 }));
    try {
        m_frontEnd.TimeSeriesGet("Average Age");
        ADD_FAILURE() << "an unselected series was found";
    } catch (const CommandError& error) {
        EXPECT_EQ(error.message(), "No time series \"Average Age\" is selected");
    }
}

TEST_F(TFrontEndTest, dispatcher_over_the_real_model)
{
    const AutomationDispatcher dispatcher(m_frontEnd);
    EXPECT_EQ(dispatcher.invoke("SETPARAM", true, { "Density", 0.75 }).value,
        QVariant::fromValue(qint16(1)));
    EXPECT_EQ(dispatcher.invoke("getparam", true, { "Density" }).value, QVariant(QString("0.75")));
    EXPECT_EQ(dispatcher.invoke("SetState", true, { "5", 6.0, "Age", 3 }).value,
        QVariant::fromValue(qint16(1)));
    EXPECT_EQ(dispatcher.invoke("GetState", true, { 5, 6, "Age" }).value, QVariant(QString("3")));
    EXPECT_EQ(dispatcher.invoke("GetTick", true, {}).value, QVariant(0.0));
}

} // namespace
} // namespace tessra
