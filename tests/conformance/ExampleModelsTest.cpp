// What each example model promises beyond the common suite: Life's rules on a
// torus and its clicks, Gray-Scott's fractional time and colouring, the
// forest fire's cross-parameter check, descriptions and ignition.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "TessraAPI.h"
#include "TestPaths.h"
#include "tessra/model.h"

namespace {

/// Stand-in for the New Simulation dialog as the host exports it (this program
/// exports the two functions below, as tessra does). C gives the functions
/// nothing to find an object by, so they read this one instance.
struct Dialog {
    bool visible = false;
    std::vector<double> values;
} dialog;

} // namespace

extern "C" __attribute__((visibility("default"))) unsigned char _isDNewVisible(void)
{
    return dialog.visible ? 1 : 0;
}

extern "C" __attribute__((visibility("default"))) double _getDNewParamValue(int index)
{
    return index >= 0 && index < static_cast<int>(dialog.values.size()) ? dialog.values[index] : 0;
}

namespace {

using tessra::test::exampleModel;
using Cells = std::set<std::pair<int, int>>;

class ExampleModel : public ::testing::Test {
protected:
    void TearDown() override { _deleteAgents(); }

    static void load(const std::string& name)
    {
        _loadModel(exampleModel(name).c_str());
        ASSERT_EQ(_getLoadModelErr(), nullptr);
    }
    static int index(const char* name)
    {
        for (int i = 0; i < _getParamCount(); ++i)
            if (std::string(_getParamName(i)) == name)
                return i;
        ADD_FAILURE() << "no parameter " << name;
        return -1;
    }
    static void set(const char* name, const char* text) { _setParamValue(index(name), text); }
};

class Life : public ExampleModel {
protected:
    void SetUp() override
    {
        load("life");
        set("Width", "8");
        set("Height", "6");
        set("Density", "0");
        _newAgents();
    }
    static void place(const Cells& cells)
    {
        for (auto [c, r] : cells)
            *_getStateByName(c, r, "Alive") = 1;
    }
    static Cells alive()
    {
        Cells cells;
        for (int r = 0; r < _getWorldHeight(); ++r)
            for (int c = 0; c < _getWorldWidth(); ++c)
                if (_getStateValue(c, r, 0) != 0)
                    cells.insert({ c, r });
        return cells;
    }
};

TEST_F(Life, blinker_turns_and_ages)
{
    place({ { 2, 1 }, { 3, 1 }, { 4, 1 } });
    EXPECT_EQ(_callTimestep(), 1.0);
    EXPECT_EQ(alive(), (Cells { { 3, 0 }, { 3, 1 }, { 3, 2 } }));
    EXPECT_EQ(_getStateValue(3, 1, 1), 1.0); // the centre survived one step
    EXPECT_EQ(_getStateValue(3, 0, 1), 0.0); // newborn
    _callTimestep();
    EXPECT_EQ(alive(), (Cells { { 2, 1 }, { 3, 1 }, { 4, 1 } }));
    EXPECT_EQ(_getStateValue(3, 1, 1), 2.0);
    EXPECT_STREQ(_callAgentHint(3, 1), "(3, 1) alive, age 2");
    EXPECT_STREQ(_callAgentHint(0, 5), "(0, 5) dead");
}

TEST_F(Life, glider_crosses_the_edges_of_the_torus)
{
    const Cells glider { { 1, 0 }, { 2, 1 }, { 0, 2 }, { 1, 2 }, { 2, 2 } };
    place(glider);
    // Every 4 steps the glider moves one site right and one down; after 24 steps
    // it has crossed the 8 x 6 world 3 times down and 6/8 of the way right.
    for (int i = 0; i < 24; ++i)
        _callTimestep();
    Cells expected;
    for (auto [c, r] : glider)
        expected.insert({ (c + 6) % 8, (r + 6) % 6 });
    EXPECT_EQ(alive(), expected);
}

TEST_F(Life, left_click_toggles_a_cell_and_right_click_does_not)
{
    _callMouseUp(TESSRA_BUTTON_LEFT, 5, 4, TESSRA_KEY_LEFT_DOWN);
    EXPECT_EQ(alive(), (Cells { { 5, 4 } }));
    _callMouseUp(TESSRA_BUTTON_RIGHT, 5, 4, 0);
    EXPECT_EQ(alive(), (Cells { { 5, 4 } }));
    _callMouseUp(TESSRA_BUTTON_LEFT, 5, 4, 0);
    EXPECT_TRUE(alive().empty());
}

TEST_F(Life, dead_cells_are_black_and_live_cells_are_not)
{
    place({ { 0, 0 } });
    unsigned short r = 9, g = 9, b = 9;
    _callColorAgent(1, 1, &r, &g, &b);
    EXPECT_EQ(r + g + b, 0);
    _callColorAgent(0, 0, &r, &g, &b);
    EXPECT_GT(r + g + b, 0);
}

TEST_F(Life, density_one_fills_the_world)
{
    set("Density", "1");
    _newAgents();
    EXPECT_EQ(alive().size(), 48u);
}

TEST_F(ExampleModel, grayscott_advances_by_dt_and_colours_by_v)
{
    load("grayscott");
    set("Width", "32");
    set("Height", "32");
    _newAgents();
    double time = 0;
    for (int i = 0; i < 4; ++i)
        time = _callTimestep();
    EXPECT_EQ(time, 1.0);
    set("dt", "0.1");
    for (int i = 0; i < 10; ++i)
        time = _callTimestep();
    EXPECT_EQ(time, 2.0);

    // Sites without V share one colour; a seeded site is brighter.
    *_getStateByName(0, 0, "V") = 0;
    *_getStateByName(1, 0, "V") = 0.3f;
    unsigned short r0 = 0, g0 = 0, b0 = 0, r1 = 0, g1 = 0, b1 = 0;
    _callColorAgent(0, 0, &r0, &g0, &b0);
    _callColorAgent(1, 0, &r1, &g1, &b1);
    EXPECT_GT(r1 + g1 + b1, r0 + g0 + b0);
    EXPECT_NE(std::string(_getParamNameAndProp(index("Feed"))).find("<i>"), std::string::npos);
}

class ForestFire : public ExampleModel {
protected:
    void SetUp() override
    {
        dialog = Dialog {};
        load("forestfire");
    }
};

TEST_F(ForestFire, dialog_refuses_lightning_above_growth)
{
    const int growth = index("Growth");
    const int lightning = index("Lightning");
    dialog.values.assign(_getParamCount(), 0);
    dialog.values[growth] = 0.01;
    dialog.values[lightning] = 0.001;
    dialog.visible = true;
    EXPECT_TRUE(_validateParam(lightning, "0.01", 1));
    EXPECT_FALSE(_validateParam(lightning, "0.02", 1));
    EXPECT_FALSE(_validateParam(growth, "0.0001", 1));
    EXPECT_TRUE(_validateParam(growth, "0.001", 1));
    EXPECT_TRUE(_validateParam(index("Width"), "7", 1));

    // Without the dialog (files, scripts) any value in range is taken.
    dialog.visible = false;
    EXPECT_TRUE(_validateParam(lightning, "0.5", 1));
    set("Lightning", "0.5");
    EXPECT_EQ(_getParamValue(lightning), 0.5);
}

TEST_F(ForestFire, descriptions_use_the_candidate_values)
{
    const int lightning = index("Lightning");
    EXPECT_STREQ(_getParamNameAndProp(lightning), "Lightning <i>f</i>");
    std::vector<double> candidates;
    for (int i = 0; i < _getParamCount(); ++i)
        candidates.push_back(_getParamValue(i));
    candidates[index("Growth")] = 0.02;
    candidates[lightning] = 0.0001;
    const std::string text = _callAboutParam(lightning, candidates.data());
    EXPECT_NE(text.find("f = 0.0001"), std::string::npos) << text;
    EXPECT_NE(text.find("p / f = 200"), std::string::npos) << text;
    const std::string growth = _callAboutParam(index("Growth"), candidates.data());
    EXPECT_NE(growth.find("after 50 steps"), std::string::npos) << growth;
}

TEST_F(ForestFire, click_ignites_a_tree_and_fire_spreads_to_its_neighbours)
{
    set("Width", "5");
    set("Height", "1");
    set("Density", "1");
    set("Growth", "0");
    set("Lightning", "0");
    _newAgents();
    _callMouseUp(TESSRA_BUTTON_LEFT, 2, 0, TESSRA_KEY_LEFT_DOWN);
    EXPECT_EQ(_getStateValue(2, 0, 0), 2.0);
    EXPECT_STREQ(_callAgentHint(2, 0), "(2, 0) burning for 0 steps");
    _callTimestep();
    const std::vector<double> after { _getStateValue(0, 0, 0), _getStateValue(1, 0, 0),
        _getStateValue(2, 0, 0), _getStateValue(3, 0, 0), _getStateValue(4, 0, 0) };
    EXPECT_EQ(after, (std::vector<double> { 1, 2, 0, 2, 1 }));
    _callTimestep();
    _callTimestep();
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(_getStateValue(c, 0, 0), 0.0) << c;
}

} // namespace
