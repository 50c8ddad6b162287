// The world: building, stepping, freeing, the per-site calls and their
// bounds, and the order in which forEachAgentVar drives a site operation.
#include <climits>

#include <gmock/gmock.h>

#include "ApiTestSupport.h"

using ::testing::ElementsAre;
using namespace tessra::test;

namespace {

class world : public ::testing::Test {
protected:
    void SetUp() override
    {
        loadModelOrFail(fixtureModel("apiprobe"));
        m_log.clear();
    }
    ProbeLog m_log;
};

/// One call of a site operation as the library made it.
struct SiteCall {
    float* values;
    float a; // the probe's first state at that moment
    int column, row, width, height, phase;
    double* result;
};

/// What a site operation sees; the library hands the result address back
/// unchanged, so the calls are collected through it.
struct Recorder {
    double result = 0; // first member: the address passed as the result
    std::vector<SiteCall> calls;
    int stopAfterSites = -1;
};

unsigned char record(
    float* values, int column, int row, int width, int height, int phase, double* result)
{
    auto* recorder = reinterpret_cast<Recorder*>(result);
    recorder->calls.push_back({ values, values[0], column, row, width, height, phase, result });
    if (phase == 0 && recorder->stopAfterSites > 0
        && static_cast<int>(recorder->calls.size()) - 1 >= recorder->stopAfterSites)
        return 0;
    return 1;
}

Recorder pass()
{
    Recorder recorder;
    forEachAgentVar(record, &recorder.result, 1);
    return recorder;
}

/// A pass over no sites: start and finish on zeroed scratch values, nothing between.
void expectEmptyPass()
{
    Recorder recorder = pass();
    ASSERT_EQ(recorder.calls.size(), 2u);
    EXPECT_EQ(recorder.calls[0].phase, 1);
    EXPECT_EQ(recorder.calls[1].phase, -1);
    for (const SiteCall& call : recorder.calls) {
        ASSERT_NE(call.values, nullptr);
        EXPECT_EQ(call.a, 0.0f);
        EXPECT_EQ(call.result, &recorder.result);
    }
}

} // namespace

TEST_F(world, new_agents_builds_the_world_from_the_parameters)
{
    _newAgents();
    EXPECT_EQ(_getWorldWidth(), 4);
    EXPECT_EQ(_getWorldHeight(), 3);
    EXPECT_EQ(_getSimTime(), 0.0);
    EXPECT_THAT(m_log.lines(), ElementsAre("init 4x3 time=0 #1"));
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 4; ++column) {
            EXPECT_EQ(_getStateValue(column, row, 0), column + 100 * row);
            EXPECT_EQ(_getStateValue(column, row, 1), row);
            EXPECT_EQ(_getStateValue(column, row, 2), -column);
        }
    // The states of a site lie next to each other, sites in row-major order.
    EXPECT_EQ(_getStateByName(1, 0, "a"), _getStateByName(0, 0, "a") + 3);
    EXPECT_EQ(_getStateByName(0, 1, "a"), _getStateByName(0, 0, "a") + 12);
    EXPECT_EQ(_getStateByName(2, 1, "c"), _getStateByName(2, 1, "a") + 2);
}

TEST_F(world, a_new_world_cleans_up_the_old_one_first)
{
    _newAgents();
    setParam("Columns", 2);
    _newAgents();
    EXPECT_THAT(m_log.lines(),
        ElementsAre("init 4x3 time=0 #1", "cleanup 4x3 data=yes", "init 2x3 time=0 #2"));
}

TEST_F(world, steps_store_the_returned_time)
{
    double* time = _getPSimTime();
    _newAgents();
    EXPECT_EQ(_callTimestep(), 0.5);
    setParam("Step", 0.25);
    EXPECT_EQ(_callTimestep(), 0.75);
    EXPECT_EQ(_getSimTime(), 0.75);
    EXPECT_EQ(*time, 0.75);
    // The model sees the time before the step.
    EXPECT_THAT(m_log.lines(), ElementsAre("init 4x3 time=0 #1", "step from 0", "step from 0.5"));

    _newAgents();
    EXPECT_EQ(_getPSimTime(), time);
    EXPECT_EQ(*time, 0.0);
}

TEST_F(world, delete_agents_frees_the_world_once)
{
    _newAgents();
    _callTimestep();
    _deleteAgents();
    _deleteAgents();
    EXPECT_EQ(_getWorldWidth(), 0);
    EXPECT_EQ(_getWorldHeight(), 0);
    EXPECT_EQ(_getStateByName(0, 0, "a"), nullptr);
    EXPECT_EQ(_getSiteValues(), nullptr);
    // Without a world a step does nothing and answers the time as it is.
    EXPECT_EQ(_callTimestep(), 0.5);
    _callSimReady();
    EXPECT_THAT(
        m_log.lines(), ElementsAre("init 4x3 time=0 #1", "step from 0", "cleanup 4x3 data=yes"));
}

TEST_F(world, sim_ready_only_with_a_world)
{
    _callSimReady();
    _newAgents();
    _callSimReady();
    EXPECT_THAT(m_log.lines(), ElementsAre("init 4x3 time=0 #1", "simReady 4x3"));
}

TEST_F(world, sites_answer_inside_and_refuse_outside)
{
    _newAgents();
    unsigned short red = 7, green = 7, blue = 7;
    _callColorAgent(3, 2, &red, &green, &blue);
    EXPECT_EQ(red, 3);
    EXPECT_EQ(green, 2);
    EXPECT_EQ(blue, 203);
    EXPECT_STREQ(_callAgentHint(3, 2), "hint 3,2");
    EXPECT_STREQ(_callAboutState(1, 2, 0), "state 0 at 1,2 is 201");
    _callMouseUp(TESSRA_BUTTON_LEFT, 1, 1, TESSRA_KEY_SHIFT);
    EXPECT_EQ(_getStateValue(1, 1, 1), 8001);

    const int outside[][2] = { { -1, 0 }, { 0, -1 }, { 4, 0 }, { 0, 3 }, { INT_MIN, 0 },
        { 0, INT_MAX }, { INT_MAX, INT_MAX }, { -4, -3 } };
    for (const auto& site : outside) {
        const int column = site[0];
        const int row = site[1];
        red = green = blue = 7;
        _callColorAgent(column, row, &red, &green, &blue);
        EXPECT_EQ(red + green + blue, 21) << column << "," << row;
        EXPECT_STREQ(_callAgentHint(column, row), "");
        EXPECT_STREQ(_callAboutState(column, row, 0), "");
        EXPECT_EQ(_getStateValue(column, row, 0), 0.0);
        EXPECT_EQ(_getStateByName(column, row, "a"), nullptr);
        _callMouseUp(TESSRA_BUTTON_LEFT, column, row, 0);
    }
    EXPECT_STREQ(_callAboutState(0, 0, 3), "");
    EXPECT_STREQ(_callAboutState(0, 0, -1), "");
    EXPECT_EQ(_getStateValue(1, 1, 3), 0.0);
    EXPECT_EQ(_getStateValue(1, 1, -1), 0.0);
    EXPECT_THAT(m_log.lines(), ElementsAre("init 4x3 time=0 #1", "mouseUp 8 1 1 1"));
}

TEST_F(world, state_addresses_by_exact_name)
{
    _newAgents();
    float* b = _getStateByName(2, 1, "b");
    ASSERT_NE(b, nullptr);
    *b = 0.1f;
    EXPECT_EQ(_getStateValue(2, 1, 1), static_cast<double>(0.1f));
    EXPECT_EQ(_getStateByName(2, 1, "B"), nullptr);
    EXPECT_EQ(_getStateByName(2, 1, ""), nullptr);
    EXPECT_EQ(_getStateByName(2, 1, "bb"), nullptr);
    EXPECT_EQ(_getStateByName(2, 1, nullptr), nullptr);
    EXPECT_STREQ(_getStateName(1), "b");
    EXPECT_STREQ(_getStateName(3), "");
    EXPECT_STREQ(_getStateName(-1), "");
}

TEST_F(world, pass_visits_each_site_once_in_row_major_order)
{
    _newAgents();
    Recorder recorder = pass();
    const int sites = 4 * 3;
    ASSERT_EQ(recorder.calls.size(), static_cast<std::size_t>(sites + 2));

    // The block of every site's values is walked in the same order.
    const float* const block = _getSiteValues();
    ASSERT_EQ(block, _getStateByName(0, 0, "a"));
    const int stride = _getStateCount();

    const SiteCall& start = recorder.calls.front();
    EXPECT_EQ(start.phase, 1);
    EXPECT_EQ(start.values, _getStateByName(0, 0, "a")); // site 0's own values

    for (int i = 0; i < sites; ++i) {
        const SiteCall& call = recorder.calls[i + 1];
        const int column = i % 4;
        const int row = i / 4;
        EXPECT_EQ(call.phase, 0);
        EXPECT_EQ(call.column, column);
        EXPECT_EQ(call.row, row);
        EXPECT_EQ(call.width, 4);
        EXPECT_EQ(call.height, 3);
        EXPECT_EQ(call.values, _getStateByName(column, row, "a"));
        EXPECT_EQ(call.values, block + static_cast<std::ptrdiff_t>(i) * stride);
        EXPECT_EQ(call.a, column + 100 * row);
    }

    const SiteCall& finish = recorder.calls.back();
    EXPECT_EQ(finish.phase, -1);
    EXPECT_EQ(finish.values, _getStateByName(3, 2, "a")); // a real site: the last
    for (const SiteCall& call : recorder.calls)
        EXPECT_EQ(call.result, &recorder.result);
}

TEST_F(world, pass_stops_when_the_operation_says_so_and_still_finishes)
{
    _newAgents();
    Recorder recorder;
    recorder.stopAfterSites = 5;
    forEachAgentVar(record, &recorder.result, 1);
    ASSERT_EQ(recorder.calls.size(), 7u); // start, five sites, finish
    EXPECT_EQ(recorder.calls[5].column, 0);
    EXPECT_EQ(recorder.calls[5].row, 1);
    EXPECT_EQ(recorder.calls.back().phase, -1);
}

TEST_F(world, pass_without_sites_gives_start_and_finish_only)
{
    expectEmptyPass(); // no world yet
    EXPECT_EQ(_getSiteValues(), nullptr);
    setParam("Columns", 0);
    _newAgents();
    EXPECT_EQ(_getWorldWidth(), 0);
    EXPECT_EQ(_getWorldHeight(), 0);
    expectEmptyPass();
    EXPECT_EQ(_getSiteValues(), nullptr);
    forEachAgentVar(nullptr, nullptr, 1);
}

TEST_F(world, negative_size_builds_no_world_and_says_why)
{
    _newAgents();
    EXPECT_EQ(_getSimError(), nullptr);
    setParam("Rows", -5); // scripts may store any value
    _newAgents();
    EXPECT_EQ(_getWorldWidth(), 0);
    EXPECT_EQ(_getWorldHeight(), 0);
    ASSERT_NE(_getSimError(), nullptr);
    EXPECT_STREQ(_getSimError(), "the model's size function gave 4 x -5 sites");
    expectEmptyPass();
    const double time = _getSimTime();
    EXPECT_EQ(_callTimestep(), time); // nothing to step
    EXPECT_STREQ(_getSimError(), "there is no world");
    setParam("Rows", 3);
    _newAgents();
    EXPECT_EQ(_getSimError(), nullptr);
}

TEST_F(world, oversized_world_is_refused)
{
    _newAgents();
    // 10^10 sites, then 1.6 * 10^9 sites of three floats: both beyond what
    // int indexes can reach.
    for (double side : { 100000.0, 40000.0 }) {
        setParam("Columns", side);
        setParam("Rows", side);
        _newAgents();
        EXPECT_EQ(_getWorldWidth(), 0);
        EXPECT_EQ(_getWorldHeight(), 0);
        const std::string size = std::to_string(static_cast<int>(side));
        EXPECT_STREQ(_getSimError(),
            (size + " x " + size + " sites is more than this machine can hold").c_str());
        expectEmptyPass();
        _callTimestep();
    }
    EXPECT_THAT(m_log.lines(), ElementsAre("init 4x3 time=0 #1", "cleanup 4x3 data=yes"));
}

// A model of the SDK whose size, init or step throws: the call fails with the
// exception's text, and a later call that succeeds clears it.
TEST(world_failures, thrown_by_the_model_fail_the_call_with_its_text)
{
    loadModelOrFail(fixtureModel("faulty"));
    double* fault = getParamRef("Fault");
    double* at = getParamRef("At");
    ASSERT_NE(fault, nullptr);
    ASSERT_NE(at, nullptr);

    *fault = 6; // init throws
    _newAgents();
    EXPECT_STREQ(_getSimError(), "faulty: init failed");
    EXPECT_EQ(_getWorldWidth(), 0);
    EXPECT_EQ(_getStateByName(0, 0, "x"), nullptr);

    *fault = 4; // the step at tick 2 throws
    *at = 2;
    _newAgents();
    EXPECT_EQ(_getSimError(), nullptr);
    EXPECT_EQ(_getWorldWidth(), 2);
    EXPECT_EQ(_callTimestep(), 1.0);
    EXPECT_EQ(_callTimestep(), 2.0);
    EXPECT_EQ(_getSimError(), nullptr);
    EXPECT_EQ(_callTimestep(), 2.0); // the time stays
    EXPECT_STREQ(_getSimError(), "faulty: the step failed at tick 2");
    EXPECT_EQ(_getSimTime(), 2.0);
    *fault = 0;
    EXPECT_EQ(_callTimestep(), 3.0);
    EXPECT_EQ(_getSimError(), nullptr);

    // Outside a size, init or step call a report changes nothing.
    _reportModelError("not now");
    EXPECT_EQ(_getSimError(), nullptr);
}
