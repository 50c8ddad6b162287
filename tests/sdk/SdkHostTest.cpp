// The host helpers of tessra/host.h in a process that exports the host
// functions, as the tessra executable does: this program exports its own
// stand-ins below and checks that models reach them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FixtureCallLog.h"
#include "HostCalls.h"
#include "TessraAPI.h"
#include "TestPaths.h"
#include "tessra/model.h"

namespace {

/// What the stand-in host functions saw and answer. The C functions below
/// receive nothing to find an object by, so they reach this one instance.
struct FakeHost {
    std::vector<std::string> log;
    std::vector<std::string> calls;
    bool dialogVisible = false;
    std::vector<double> dialogValues;
};
FakeHost host;

} // namespace

#define HOST_EXPORT extern "C" __attribute__((visibility("default")))

HOST_EXPORT void _debugLog(const char* text)
{
    host.log.emplace_back(text);
}
HOST_EXPORT unsigned char _isDNewVisible(void)
{
    host.calls.emplace_back("isDNewVisible");
    // Only the low byte carries the answer.
    return host.dialogVisible ? 1 : 0;
}
HOST_EXPORT double _getDNewParamValue(int index)
{
    host.calls.push_back("getDNewParamValue " + std::to_string(index));
    return index >= 0 && index < static_cast<int>(host.dialogValues.size())
        ? host.dialogValues[index]
        : 0.0;
}
HOST_EXPORT void _simNew(void)
{
    host.calls.emplace_back("simNew");
}
HOST_EXPORT int _simPause(void)
{
    host.calls.emplace_back("simPause");
    return 0;
}
HOST_EXPORT void _simRun(void)
{
    host.calls.emplace_back("simRun");
}
HOST_EXPORT int _simRunWait(void)
{
    host.calls.emplace_back("simRunWait");
    return 0;
}
HOST_EXPORT void _simStep(void)
{
    host.calls.emplace_back("simStep");
}
HOST_EXPORT int _simWait(void)
{
    host.calls.emplace_back("simWait");
    return 0;
}

namespace {

using tessra::test::fixtureModel;

class SdkHost : public ::testing::Test {
protected:
    void SetUp() override { host = FakeHost {}; }
    void TearDown() override { _deleteAgents(); }
};

TEST_F(SdkHost, every_helper_reaches_its_host_function)
{
    host.dialogVisible = true;
    host.dialogValues = { 3, 0.75 };
    const HostAnswers answers = callEveryHostFunction();
    EXPECT_EQ(answers.hasHost, 1);
    EXPECT_EQ(answers.dialogVisible, 1);
    EXPECT_EQ(answers.dialogValue, 0.75);
    EXPECT_EQ(host.log, (std::vector<std::string> { "from C", "formatted 42" }));
    EXPECT_EQ(host.calls,
        (std::vector<std::string> { "isDNewVisible", "getDNewParamValue 1", "simNew", "simRun",
            "simStep", "simPause", "simWait", "simRunWait" }));
}

TEST_F(SdkHost, calllog_records_what_the_dialog_shows)
{
    const std::string path = fixtureModel("calllog");
    _loadModel(path.c_str());
    ASSERT_EQ(_getLoadModelErr(), nullptr);
    tessra::test::FixtureCallLog log(path);
    log.reset();

    host.dialogVisible = true;
    host.dialogValues = { 1, 0.5 };
    EXPECT_TRUE(_validateParam(0, "12", 1));
    host.dialogValues = { 12, 0.5 };
    const double candidates[] { 12, 0.5 };
    _callAboutParam(0, candidates);
    host.dialogVisible = false;
    _newAgents();
    _callSimReady();

    const std::vector<std::string> lines = log.lines();
    ASSERT_EQ(lines.size(), 5u) << log.text();
    EXPECT_EQ(lines[0], "validateParam 0 12 dnew 1 1 0.5");
    EXPECT_EQ(lines[1], "aboutParam 0 12 0.5 dnew 1 12 0.5");
    EXPECT_EQ(lines[4], "simReady 0 dnew 0");
}

TEST_F(SdkHost, c_model_writes_to_the_debug_log)
{
    _loadModel((std::string(TESSRA_BINARY_DIR) + "/tests/sdk/cmodel/model.so").c_str());
    ASSERT_EQ(_getLoadModelErr(), nullptr);
    _newAgents();
    host.dialogVisible = true;
    _validateParam(1, "2", 1);
    EXPECT_EQ(
        host.log, (std::vector<std::string> { "C model: new world", "C model: validating 1" }));
}

/// Every model function called twice, as the front end calls them over a world's life.
struct Answers {
    double time = -1;
    std::vector<unsigned short> colours; ///< _callColorAgent of every site, from 7, 7, 7
    std::vector<unsigned char> rows; ///< _callColorRows of the world, from 7s
    std::string hint, aboutState, aboutParam;
    bool valid = false;
};

Answers callEverything(int fault)
{
    *getParamRef("Throw") = fault;
    Answers answers;
    const double candidates[] { static_cast<double>(fault) };
    for (int round = 0; round < 2; ++round) {
        answers.aboutParam = _callAboutParam(0, candidates);
        answers.valid = _validateParam(0, std::to_string(fault).c_str(), 1);
        _newAgents();
        _callSimReady();
        answers.time = _callTimestep();
        answers.colours.clear();
        for (int row = 0; row < _getWorldHeight(); ++row)
            for (int column = 0; column < _getWorldWidth(); ++column) {
                unsigned short colour[3] { 7, 7, 7 };
                _callColorAgent(column, row, &colour[0], &colour[1], &colour[2]);
                answers.colours.insert(answers.colours.end(), colour, colour + 3);
            }
        answers.rows.assign(static_cast<std::size_t>(3 * _getWorldWidth() * _getWorldHeight()), 7);
        _callColorRows(0, _getWorldHeight(), answers.rows.data(), 3 * _getWorldWidth());
        answers.hint = _callAgentHint(2, 1);
        _callMouseUp(TESSRA_BUTTON_LEFT, 2, 1, 0);
        _callMouseUp(TESSRA_BUTTON_LEFT, 2, 1, 0);
        answers.aboutState = _callAboutState(2, 1, 0);
        _deleteAgents();
    }
    return answers;
}

} // namespace

TEST_F(SdkHost, a_throwing_model_function_is_reported_once_and_does_nothing)
{
    _loadModel(fixtureModel("throwing").c_str());
    ASSERT_EQ(_getLoadModelErr(), nullptr);
    const Answers sound = callEverything(0);
    EXPECT_TRUE(host.log.empty()) << host.log.front();
    ASSERT_EQ(sound.colours.size(), 18u);
    EXPECT_EQ(sound.time, 1.0);
    EXPECT_EQ(sound.hint, "site 2 1");
    EXPECT_EQ(sound.aboutState, "x = 205");
    EXPECT_EQ(std::vector<unsigned char>(sound.colours.begin(), sound.colours.end()), sound.rows);

    // Which function throws, in the fixture's order, and the message the log shows.
    const std::vector<std::pair<std::string, std::string>> faults {
        { "worldSize", "thrown by worldSize" }, { "the constructor", "thrown by the constructor" },
        { "init", "thrown by init" }, { "step", "thrown by step" }, { "color", "thrown by color" },
        { "colorRow", "thrown by colorRow" }, { "hint", "thrown by hint" },
        { "mouseUp", "an exception that is not a std::exception" },
        { "aboutParam", "thrown by aboutParam" }, { "validateParam", "thrown by validateParam" },
        { "aboutState", "thrown by aboutState" }, { "simReady", "thrown by simReady" },
        { "the destructor", "thrown by the destructor" }
    };
    for (std::size_t i = 0; i < faults.size(); ++i) {
        const auto& [function, message] = faults[i];
        SCOPED_TRACE(function);
        // A fresh load: the model reports each function's first failure only.
        _loadModel(fixtureModel("throwing").c_str());
        host.log.clear();
        const Answers answers = callEverything(static_cast<int>(i) + 1);
        // Reported once, though callEverything calls everything twice over two worlds.
        EXPECT_EQ(
            host.log, std::vector<std::string> { "Throwing: " + function + " failed: " + message });

        const bool noObject = function == "the constructor" || function == "init";
        const bool noWorld = function == "worldSize";
        // A failed world size, model object or init builds no world, so nothing steps.
        EXPECT_EQ(answers.time, function == "step" || noObject || noWorld ? 0.0 : 1.0);
        EXPECT_EQ(answers.hint, function == "hint" || noObject || noWorld ? "" : "site 2 1");
        EXPECT_EQ(answers.aboutState,
            function == "aboutState" || noObject || noWorld ? ""
                : function == "mouseUp"                     ? "x = 5"
                                                            : "x = 205");
        EXPECT_EQ(answers.aboutParam, function == "aboutParam" ? "" : "about Throw");
        EXPECT_EQ(answers.valid, function != "validateParam");
        if (noWorld)
            continue;
        // Colours: black without a model object; unchanged (7) where the colour
        // function threw; the fixture's own colours otherwise.
        for (std::size_t k = 0; k < answers.colours.size(); ++k) {
            const unsigned short own = sound.colours[k];
            EXPECT_EQ(answers.colours[k], noObject ? 0 : function == "color" ? 7 : own) << k;
            EXPECT_EQ(answers.rows[k], noObject ? 0 : function == "colorRow" ? 7 : own) << k;
        }
    }
}
