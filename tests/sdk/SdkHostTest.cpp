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

} // namespace
