// Every example model, driven through the API library the way the front end
// drives it: load, describe, build, colour every site, step, save and load.
#include <charconv>
#include <set>

#include <gmock/gmock.h>

#include "ApiTestSupport.h"

using namespace tessra::test;

namespace {

class example_model : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override
    {
        const std::string path = exampleModel(GetParam());
        if (!std::filesystem::exists(path))
            GTEST_SKIP() << path << " is not built";
        loadModelOrFail(path);
    }
};

std::string shortest(double value)
{
    char buffer[64];
    return std::string(buffer, std::to_chars(buffer, buffer + sizeof buffer, value).ptr);
}

unsigned char countSites(float*, int, int, int, int, int phase, double* result)
{
    if (phase == 1)
        *result = 0;
    else if (phase == 0)
        *result += 1;
    return 1;
}

} // namespace

TEST_P(example_model, describes_itself)
{
    EXPECT_STRNE(_callAboutModel(0), "");
    std::set<std::string> names;
    for (int i = 0; i < _getParamCount(); ++i) {
        const std::string name = _getParamName(i);
        EXPECT_FALSE(name.empty());
        EXPECT_TRUE(names.insert(name).second) << name;
        EXPECT_EQ(getParamRef(name.c_str()), getParamRef(name.c_str()));
        EXPECT_NE(getParamRef(name.c_str()), nullptr);
        // Its own initial value is acceptable.
        EXPECT_TRUE(_validateParam(i, shortest(_getParamValue(i)).c_str(), 1)) << name;
    }
    EXPECT_GT(_getStateCount(), 0);
}

TEST_P(example_model, builds_colours_and_steps)
{
    _newAgents();
    const int width = _getWorldWidth();
    const int height = _getWorldHeight();
    ASSERT_GT(width, 0);
    ASSERT_GT(height, 0);
    _callSimReady();
    double sites = 0;
    forEachAgentVar(countSites, &sites, 1);
    EXPECT_EQ(sites, static_cast<double>(width) * height);
    for (int step = 0; step < 3; ++step) {
        const double before = _getSimTime();
        EXPECT_GT(_callTimestep(), before);
        for (int row = 0; row < height; ++row)
            for (int column = 0; column < width; ++column) {
                unsigned short red = 0, green = 0, blue = 0;
                _callColorAgent(column, row, &red, &green, &blue);
            }
    }
    _deleteAgents();
    EXPECT_EQ(_getWorldWidth(), 0);
}

TEST_P(example_model, parameters_survive_a_settings_file)
{
    TempDir dir;
    const std::string path = dir.file("settings.ini");
    std::vector<double> saved;
    for (int i = 0; i < _getParamCount(); ++i)
        saved.push_back(_getParamValue(i));
    _saveParams(path.c_str());
    loadModelOrFail(exampleModel(GetParam()));
    _loadParams(path.c_str());
    for (int i = 0; i < _getParamCount(); ++i)
        EXPECT_EQ(_getParamValue(i), saved[i]) << _getParamName(i);
}

INSTANTIATE_TEST_SUITE_P(api, example_model, ::testing::Values("life", "grayscott", "forestfire"),
    [](const auto& test) { return std::string(test.param); });
