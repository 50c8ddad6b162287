// The model SDK seen through the API library, in a process that exports no host
// functions: a model written in C, the C++ helper's wiring of every model
// function (through the calllog fixture), the other fixtures' promises, and
// the host helpers answering nothing without a host.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "FixtureCallLog.h"
#include "HostCalls.h"
#include "TessraAPI.h"
#include "TestPaths.h"
#include "tessra/model.hpp"

namespace {

using tessra::test::fixtureModel;
using ::testing::ElementsAre;

std::string cModel()
{
    return std::string(TESSRA_BINARY_DIR) + "/tests/sdk/cmodel/model.so";
}

void load(const std::string& path)
{
    _loadModel(path.c_str());
    const char* error = _getLoadModelErr();
    ASSERT_EQ(error, nullptr) << error;
}

struct Colour {
    unsigned short red, green, blue;
    bool operator==(const Colour&) const = default;
};

Colour colourOf(int column, int row, Colour start = { 0, 0, 0 })
{
    _callColorAgent(column, row, &start.red, &start.green, &start.blue);
    return start;
}

class Sdk : public ::testing::Test {
protected:
    void TearDown() override { _deleteAgents(); }
};

TEST_F(Sdk, host_helpers_answer_nothing_without_a_host)
{
    const HostAnswers answers = callEveryHostFunction();
    EXPECT_EQ(answers.hasHost, 0);
    EXPECT_EQ(answers.dialogVisible, 0);
    EXPECT_EQ(answers.dialogValue, 0.0);
    EXPECT_EQ(answers.pause + answers.wait + answers.runWait, 0);
}

TEST_F(Sdk, model_written_in_c_loads_and_runs)
{
    load(cModel());
    EXPECT_STREQ(_callAboutModel(0), "C model");
    ASSERT_EQ(_getParamCount(), 2);
    EXPECT_STREQ(_getParamName(1), "Increment");
    EXPECT_FALSE(_validateParam(0, "4", 1));
    EXPECT_TRUE(_validateParam(0, "7", 1));

    _newAgents();
    ASSERT_EQ(_getWorldWidth(), 5);
    ASSERT_EQ(_getWorldHeight(), 2);
    _callTimestep();
    EXPECT_EQ(_callTimestep(), 2.0);
    EXPECT_EQ(_getStateValue(4, 1, 0), 1.0);
    EXPECT_EQ(colourOf(3, 1), (Colour { 30, 100, 7 }));
    EXPECT_STREQ(_callAgentHint(1, 0), "C site 1 0 after 2 steps");
    EXPECT_STREQ(_callAboutState(1, 0, 0), "");
}

TEST_F(Sdk, helper_wires_every_model_function_in_call_order)
{
    const std::string path = fixtureModel("calllog");
    load(path);
    tessra::test::FixtureCallLog log(path);
    ASSERT_TRUE(log.loaded());
    log.reset();

    _newAgents();
    _callSimReady();
    _callTimestep();
    _callTimestep();
    for (int row = 0; row < _getWorldHeight(); ++row)
        for (int column = 0; column < _getWorldWidth(); ++column)
            colourOf(column, row);
    EXPECT_STREQ(_callAgentHint(2, 4), "site 2 4");
    _callMouseUp(TESSRA_BUTTON_RIGHT, 1, 3, TESSRA_KEY_CTRL | TESSRA_KEY_LEFT_DOWN);
    const double candidates[] { 12, 0.25 };
    EXPECT_STREQ(_callAboutParam(1, candidates), "about Rate with Count 12 and Rate 0.25");
    EXPECT_TRUE(_validateParam(0, "12", 1));
    EXPECT_FALSE(_validateParam(0, "13", 1));
    EXPECT_STREQ(_callAboutState(2, 1, 0), "a = 12");
    _deleteAgents();

    EXPECT_THAT(log.lines(),
        ElementsAre("worldSize 1 0.5", "init 3 5", "simReady 0", "step 0", "step 1", "color 15",
            "hint 2 4", "mouseUp 16 1 3 12", "aboutParam 1 12 0.25", "validateParam 0 12",
            "validateParam 0 13", "aboutState 2 1 0", "cleanup"));
}

TEST_F(Sdk, helper_gives_model_colour_and_leaves_it_when_asked_to)
{
    load(fixtureModel("calllog"));
    _newAgents();
    EXPECT_EQ(colourOf(2, 4), (Colour { 100, 200, 100 }));

    load(fixtureModel("nothing"));
    _newAgents();
    EXPECT_EQ(colourOf(5, 5, { 1, 2, 3 }), (Colour { 1, 2, 3 }));
    EXPECT_EQ(_callTimestep(), 1.0);
    // No optional functions: the library answers for the model.
    EXPECT_STREQ(_callAgentHint(0, 0), "");
    EXPECT_STREQ(_callAboutState(0, 0, 0), "");
}

TEST_F(Sdk, model_loaded_again_starts_afresh)
{
    const std::string path = fixtureModel("calllog");
    tessra::test::FixtureCallLog log(path);
    load(path);
    _newAgents();
    ASSERT_FALSE(log.text().empty());

    load(fixtureModel("nothing"));
    EXPECT_FALSE(log.loaded()) << "the old model library stayed in memory";
    load(path);
    EXPECT_EQ(log.text(), "");
}

TEST_F(Sdk, fractional_time_steps_land_on_decimal_ticks)
{
    load(fixtureModel("fractional"));
    _newAgents();
    const double expected[] { 0.4, 0.8, 1.2, 1.6, 2.0, 2.4 };
    for (double time : expected) {
        EXPECT_EQ(_callTimestep(), time);
        EXPECT_EQ(_getStateValue(1, 1, 1), static_cast<float>(time));
    }
    EXPECT_EQ(_getStateValue(1, 1, 0), 3.0);
}

TEST_F(Sdk, stats_world_follows_its_parameters)
{
    load(fixtureModel("stats"));
    ASSERT_EQ(_getStateCount(), 2);
    EXPECT_STREQ(_getStateName(1), "Average x");
    _newAgents();
    ASSERT_EQ(_getWorldWidth(), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(_getStateValue(i, 0, 0), i + 1);
        EXPECT_EQ(_getStateValue(i, 0, 1), 101 + i);
    }

    for (int i = 0; i < 3; ++i)
        _setParamValue(i, "0");
    _setParamValue(3, "3");
    _newAgents();
    EXPECT_EQ(_getStateValue(3, 0, 0), 3.0);
    EXPECT_EQ(_getStateValue(0, 0, 0), 0.0);

    _setParamValue(4, "1");
    _newAgents();
    EXPECT_EQ(_getWorldWidth() * _getWorldHeight(), 1);
    _setParamValue(4, "0");
    _newAgents();
    EXPECT_EQ(_getWorldWidth() * _getWorldHeight(), 0);
    EXPECT_EQ(_callTimestep(), 1.0);
}

TEST_F(Sdk, fixtures_without_states_or_parameters)
{
    load(fixtureModel("nostates"));
    EXPECT_EQ(_getStateCount(), 0);
    EXPECT_EQ(_getParamCount(), 2);
    _newAgents();
    EXPECT_EQ(_getWorldWidth(), 4);
    EXPECT_EQ(colourOf(3, 3), (Colour { 128, 128, 128 }));

    load(fixtureModel("noparams"));
    EXPECT_EQ(_getParamCount(), 0);
    ASSERT_EQ(_getStateCount(), 2);
    _newAgents();
    EXPECT_EQ(_getWorldWidth(), 4);
    EXPECT_EQ(_getWorldHeight(), 4);
    _callTimestep();
    EXPECT_EQ(_getStateValue(3, 2, 0), 11.0);
    EXPECT_EQ(_getStateValue(3, 2, 1), 1.0);
}

} // namespace
