// Calls made with no model or no world answer 0, an empty text or null.
#include <gmock/gmock.h>

#include "ApiTestSupport.h"

using namespace tessra::test;

extern "C" double tessraCountSitesFromC(void);

namespace {

void expectNothingAnswers()
{
    EXPECT_EQ(_getWorldWidth(), 0);
    EXPECT_EQ(_getWorldHeight(), 0);
    for (int i : { -1, 0, 1 }) {
        unsigned short red = 1, green = 2, blue = 3;
        _callColorAgent(i, i, &red, &green, &blue);
        EXPECT_EQ(red, 1);
        EXPECT_EQ(green, 2);
        EXPECT_EQ(blue, 3);
        _callColorAgent(i, i, nullptr, nullptr, nullptr);
        EXPECT_STREQ(_callAgentHint(i, i), "");
        _callMouseUp(TESSRA_BUTTON_LEFT, i, i, 0);
        EXPECT_EQ(_getStateValue(i, i, i), 0.0);
        EXPECT_EQ(_getStateByName(i, i, "a"), nullptr);
        EXPECT_STREQ(_callAboutState(i, i, i), "");
    }
    _callSimReady();
    const double time = _getSimTime();
    EXPECT_EQ(_callTimestep(), time);
    EXPECT_EQ(_getPSimTime(), _getPSimTime());
    EXPECT_EQ(*_getPSimTime(), time);
    EXPECT_EQ(tessraCountSitesFromC(), 0.0);
}

} // namespace

TEST(out_of_range, no_model_answers_nothing)
{
    TempDir dir;
    _loadModel(dir.file("none.so").c_str());
    expectNothingAnswers();
    _newAgents();
    expectNothingAnswers();
    _deleteAgents();
    EXPECT_EQ(_getParamCount(), 0);
    EXPECT_EQ(_getStateCount(), 0);
    EXPECT_STREQ(_getParamName(0), "");
    EXPECT_STREQ(_getParamNameAndProp(0), "");
    EXPECT_STREQ(_getStateName(0), "");
    EXPECT_FALSE(_validateParam(0, "1", 1));
    EXPECT_STREQ(_callAboutParam(0, nullptr), "");
    for (int field = -1; field <= 5; ++field)
        EXPECT_STREQ(_callAboutModel(field), "");
    EXPECT_EQ(getParamRef("Width"), nullptr);
    EXPECT_EQ(*_getPSimTime(), 0.0);
}

TEST(out_of_range, model_without_world_answers_nothing)
{
    loadModelOrFail(fixtureModel("apiprobe"));
    expectNothingAnswers();
    _newAgents();
    EXPECT_EQ(tessraCountSitesFromC(), 12.0);
    _deleteAgents();
    expectNothingAnswers();
}
