// The Life example through the API library: patterns placed through state
// addresses behave as Life patterns must.
#include <set>
#include <utility>

#include <gmock/gmock.h>

#include "ApiTestSupport.h"

using namespace tessra::test;

namespace {

using Cells = std::set<std::pair<int, int>>; // (column, row)

class life : public ::testing::Test {
protected:
    void SetUp() override
    {
        loadModelOrFail(exampleModel("life"));
        _setParamValue(paramIndex("Width"), "10");
        _setParamValue(paramIndex("Height"), "10");
        _setParamValue(paramIndex("Density"), "0");
        _newAgents();
        ASSERT_EQ(_getWorldWidth(), 10);
        ASSERT_EQ(_getWorldHeight(), 10);
        ASSERT_TRUE(alive().empty());
    }

    static void place(const Cells& cells)
    {
        for (const auto& [column, row] : cells) {
            float* state = _getStateByName(column, row, "Alive");
            ASSERT_NE(state, nullptr);
            *state = 1;
        }
    }

    static Cells alive()
    {
        Cells cells;
        for (int row = 0; row < _getWorldHeight(); ++row)
            for (int column = 0; column < _getWorldWidth(); ++column)
                if (_getStateValue(column, row, 0) != 0)
                    cells.insert({ column, row });
        return cells;
    }

    static void steps(int count)
    {
        for (int i = 0; i < count; ++i)
            _callTimestep();
    }

    static Cells shifted(const Cells& cells, int by)
    {
        Cells moved;
        for (const auto& [column, row] : cells)
            moved.insert({ column + by, row + by });
        return moved;
    }
};

} // namespace

TEST_F(life, blinker_has_period_two)
{
    const Cells horizontal { { 3, 4 }, { 4, 4 }, { 5, 4 } };
    const Cells vertical { { 4, 3 }, { 4, 4 }, { 4, 5 } };
    place(horizontal);
    steps(1);
    EXPECT_EQ(alive(), vertical);
    steps(1);
    EXPECT_EQ(alive(), horizontal);
    EXPECT_EQ(_getSimTime(), 2.0);
}

TEST_F(life, glider_moves_one_site_diagonally_every_four_steps)
{
    const Cells glider { { 2, 1 }, { 3, 2 }, { 1, 3 }, { 2, 3 }, { 3, 3 } };
    place(glider);
    steps(4);
    EXPECT_EQ(alive(), shifted(glider, 1));
    steps(4);
    EXPECT_EQ(alive(), shifted(glider, 2));
}
