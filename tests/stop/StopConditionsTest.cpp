// The stop conditions against real models: the test a run makes after every
// step, the rows made by automation and by the window's inputs, and the
// thresholds' texts.
#include <QLocale>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <new>

#include "ModelApi.h"
#include "NumberFormat.h"
#include "QtPrinters.h"
#include "StopConditions.h"
#include "TestPaths.h"

// Counts every allocation of this program, so a test can show that the
// condition test allocates nothing.
namespace {
std::atomic<long> allocations { 0 };
}

void* operator new(std::size_t size)
{
    ++allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace tessra {
namespace {

using Row = StopConditions::Condition;

class StopConditionsTest : public ::testing::Test {
protected:
    void SetUp() override { load(test::exampleModel("life")); }

    // What the front end does on a model load and a new world.
    void load(const std::string& path)
    {
        conditions.modelUnloading();
        model.loadModel(path);
        ASSERT_TRUE(model.isLoaded()) << path;
        conditions.recompile();
        newWorld();
    }
    void newWorld()
    {
        model.setParamValue(0, "8");
        model.setParamValue(1, "8");
        model.newAgents();
        model.simReady();
        conditions.recompile();
    }
    // Steps until a condition holds or `limit` steps were made; the time then.
    double runUntilStop(int limit)
    {
        double time = model.simTime();
        for (int i = 0; i < limit; ++i) {
            time = model.timestep();
            if (conditions.anyHolds())
                return time;
        }
        return -1;
    }

    ModelApi model;
    StopConditions conditions { model };
};

TEST_F(StopConditionsTest, tick_at_least_stops_after_first_tick_reaching_it)
{
    conditions.setEnabled(true);
    ASSERT_TRUE(conditions.addCondition("Tick", StopConditions::GreaterOrEqual, 100));
    EXPECT_EQ(conditions.conditions(), (QList<Row> { { "Tick", ">=", "100.000000" } }));
    EXPECT_EQ(runUntilStop(1000), 100.0);
    // Running on while it still holds stops again after one step.
    EXPECT_EQ(runUntilStop(1000), 101.0);
}

TEST_F(StopConditionsTest, equal_holds_only_on_exact_equality)
{
    conditions.setEnabled(true);
    ASSERT_TRUE(conditions.addCondition("Tick", StopConditions::Equal, 100));
    EXPECT_EQ(runUntilStop(1000), 100.0);
    EXPECT_EQ(runUntilStop(200), -1) << "101 .. 300 are not 100";

    conditions.removeAllConditions();
    newWorld();
    ASSERT_TRUE(conditions.addCondition("Tick", StopConditions::Equal, 100.5));
    EXPECT_EQ(runUntilStop(200), -1) << "whole ticks never equal 100.5";
}

TEST_F(StopConditionsTest, less_or_equal_and_parameter_changed_through_its_address)
{
    conditions.setEnabled(true);
    ASSERT_TRUE(conditions.addCondition("density", StopConditions::LessOrEqual, 0.1));
    EXPECT_FALSE(conditions.anyHolds()) << "Density starts at 0.3";
    double* density = model.paramRef("Density");
    ASSERT_NE(density, nullptr);
    *density = 0.1;
    EXPECT_TRUE(conditions.anyHolds()) << "the test reads the value now, not at compile";
    *density = 0.2;
    EXPECT_FALSE(conditions.anyHolds());
    // The largest threshold there is still takes part: its text reads back.
    ASSERT_TRUE(conditions.addCondition(
        "Density", StopConditions::LessOrEqual, std::numeric_limits<double>::max()));
    EXPECT_EQ(conditions.compiledCount(), 2);
    EXPECT_TRUE(conditions.anyHolds());
}

TEST_F(StopConditionsTest, unknown_name_is_inert_and_others_are_still_tested)
{
    conditions.setEnabled(true);
    conditions.appendCondition("NoSuchParameter", "<=", "1000.000000");
    conditions.appendCondition("tick", ">=", "0.000000"); // only "Tick" is the time
    conditions.appendCondition("Tick", ">=", "3.000000");
    EXPECT_EQ(conditions.conditions().size(), 3);
    EXPECT_EQ(conditions.compiledCount(), 1);
    EXPECT_FALSE(conditions.anyHolds());
    EXPECT_EQ(runUntilStop(10), 3.0);
}

TEST_F(StopConditionsTest, the_test_allocates_nothing)
{
    conditions.setEnabled(true);
    ASSERT_TRUE(conditions.addCondition("Tick", StopConditions::GreaterOrEqual, 1e9));
    ASSERT_TRUE(conditions.addCondition("Seed", StopConditions::Equal, -1));
    conditions.appendCondition("Missing", "=", "0.000000");
    const long before = allocations.load();
    bool held = false;
    for (int i = 0; i < 1000; ++i)
        held = conditions.anyHolds() || held;
    EXPECT_FALSE(held);
    EXPECT_EQ(allocations.load(), before);
}

TEST_F(StopConditionsTest, same_condition_twice_gives_two_rows_either_stops)
{
    conditions.setEnabled(true);
    ASSERT_TRUE(conditions.addCondition("Tick", StopConditions::GreaterOrEqual, 5));
    ASSERT_TRUE(conditions.addCondition("Tick", StopConditions::GreaterOrEqual, 5));
    EXPECT_EQ(conditions.conditions().size(), 2);
    conditions.removeCondition(0);
    EXPECT_EQ(runUntilStop(10), 5.0);
}

TEST_F(StopConditionsTest, switch_off_never_stops_and_switching_keeps_the_compiled_list)
{
    QSignalSpy switched(&conditions, &StopConditions::enabledChanged);
    ASSERT_TRUE(conditions.addCondition("Tick", StopConditions::GreaterOrEqual, 0));
    EXPECT_FALSE(conditions.anyHolds());
    EXPECT_EQ(runUntilStop(20), -1);
    EXPECT_TRUE(conditions.setEnabled(true));
    EXPECT_TRUE(conditions.anyHolds());
    EXPECT_TRUE(conditions.setEnabled(true));
    EXPECT_FALSE(conditions.setEnabled(false));
    EXPECT_FALSE(conditions.anyHolds());
    ASSERT_EQ(switched.size(), 2) << "only changes are signalled";
    EXPECT_EQ(switched[0][0].toBool(), true);
    EXPECT_EQ(switched[1][0].toBool(), false);

    conditions.setEnabled(true);
    conditions.removeAllConditions();
    EXPECT_FALSE(conditions.anyHolds()) << "an empty list never stops";
}

TEST_F(StopConditionsTest, add_condition_finds_names_in_any_case_and_refuses_bad_input)
{
    ASSERT_TRUE(conditions.addCondition("tick", StopConditions::GreaterOrEqual, 5));
    ASSERT_TRUE(conditions.addCondition("SEED", StopConditions::Equal, 7));
    EXPECT_EQ(conditions.conditions(),
        (QList<Row> { { "Tick", ">=", "5.000000" }, { "Seed", "=", "7.000000" } }));

    EXPECT_FALSE(conditions.addCondition("Nothing", StopConditions::Equal, 1));
    EXPECT_FALSE(conditions.addCondition("Tick >", StopConditions::Equal, 1));
    for (int code : { 2, -2, 100, -32768 }) {
        EXPECT_FALSE(conditions.addCondition("width", code, 1)) << code;
        EXPECT_EQ(conditions.names().value(conditions.chosenName()), "Width")
            << "the name found stays chosen";
    }
    EXPECT_FALSE(conditions.addCondition("Tick", 0, std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(conditions.addCondition("Tick", 0, std::numeric_limits<double>::infinity()));
    EXPECT_EQ(conditions.conditions().size(), 2) << "nothing refused was added";
}

TEST_F(StopConditionsTest, add_condition_leaves_the_inputs_showing_it)
{
    QSignalSpy inputs(&conditions, &StopConditions::inputsChanged);
    ASSERT_TRUE(conditions.addCondition("height", StopConditions::LessOrEqual, 2.5));
    EXPECT_EQ(conditions.names().value(conditions.chosenName()), "Height");
    EXPECT_EQ(conditions.chosenComparator(), StopConditions::LessOrEqual);
    EXPECT_EQ(conditions.inputValue(), 2.5);
    EXPECT_EQ(conditions.inputText(), "2.500000");
    EXPECT_GE(inputs.size(), 1);

    // The window's "< Add" appends the inputs as they stand.
    conditions.chooseName(0);
    conditions.chooseComparator(StopConditions::Equal);
    ASSERT_TRUE(conditions.setInputText(" 1e-7 "));
    conditions.addChosen();
    EXPECT_EQ(conditions.conditions().last(), (Row { "Tick", "=", "0.000000" }));
    EXPECT_FALSE(conditions.setInputText("abc"));
    EXPECT_FALSE(conditions.setInputText("1,000")) << "a group separator";
    EXPECT_FALSE(conditions.setInputText("inf"));
    EXPECT_EQ(conditions.inputValue(), 1e-7) << "a refused text keeps the input";
}

TEST_F(StopConditionsTest, name_list_is_filled_once_and_kept_across_models)
{
    EXPECT_EQ(conditions.names(), QStringList { "Tick" });
    QSignalSpy grew(&conditions, &StopConditions::namesChanged);
    conditions.fillNames();
    const QStringList life { "Tick", "Width", "Height", "Density", "Seed" };
    EXPECT_EQ(conditions.names(), life);
    conditions.fillNames();
    EXPECT_EQ(grew.size(), 1);

    conditions.setEnabled(true);
    ASSERT_TRUE(conditions.addCondition("Width", StopConditions::GreaterOrEqual, 1));
    ASSERT_TRUE(conditions.addCondition("Tick", StopConditions::GreaterOrEqual, 2));
    load(test::fixtureModel("calllog"));
    conditions.fillNames();
    EXPECT_EQ(conditions.names(), life) << "the first model's names stay for the program run";
    EXPECT_EQ(conditions.compiledCount(), 1) << "the new model has no Width";
    EXPECT_FALSE(conditions.addCondition("Count", StopConditions::Equal, 1))
        << "not in the name list";
    EXPECT_EQ(runUntilStop(10), 2.0);

    load(test::exampleModel("life"));
    EXPECT_EQ(conditions.compiledCount(), 2) << "back on a model that has Width";
}

TEST_F(StopConditionsTest, unloading_forgets_addresses_until_recompiled)
{
    conditions.setEnabled(true);
    ASSERT_TRUE(conditions.addCondition("Seed", StopConditions::GreaterOrEqual, 0));
    EXPECT_TRUE(conditions.anyHolds());
    conditions.modelUnloading();
    EXPECT_EQ(conditions.compiledCount(), 0);
    EXPECT_FALSE(conditions.anyHolds());
    conditions.recompile();
    EXPECT_TRUE(conditions.anyHolds());

    conditions.modelUnloading();
    model.loadModel("/nonexistent/model.so");
    conditions.recompile();
    EXPECT_FALSE(model.isLoaded());
    EXPECT_EQ(conditions.compiledCount(), 0) << "no model, no parameter to read";
    EXPECT_FALSE(conditions.anyHolds());
}

TEST_F(StopConditionsTest, remove_condition_moves_rows_up_and_ignores_bad_rows)
{
    for (double v : { 1.0, 2.0, 3.0 })
        ASSERT_TRUE(conditions.addCondition("Tick", StopConditions::Equal, v));
    QSignalSpy changed(&conditions, &StopConditions::conditionsChanged);
    conditions.removeCondition(1);
    EXPECT_EQ(conditions.conditions(),
        (QList<Row> { { "Tick", "=", "1.000000" }, { "Tick", "=", "3.000000" } }));
    conditions.removeCondition(5);
    conditions.removeCondition(-1);
    EXPECT_EQ(conditions.conditions().size(), 2);
    conditions.removeAllConditions();
    conditions.removeCondition(0);
    EXPECT_TRUE(conditions.conditions().isEmpty());
    EXPECT_EQ(changed.size(), 5);
}

TEST_F(StopConditionsTest, rows_made_by_hand_follow_the_compile_rules)
{
    conditions.setEnabled(true);
    conditions.appendCondition("Tick", ">=", "many"); // no number: never holds
    conditions.appendCondition("Tick", "<>", "0.000000"); // any other text compares for equality
    EXPECT_EQ(conditions.compiledCount(), 1);
    EXPECT_TRUE(conditions.anyHolds()) << "time 0 equals 0";
    model.timestep();
    EXPECT_FALSE(conditions.anyHolds());
}

// Threshold texts: fixed-point with six decimals in the user's locale.
struct FormatCase {
    double value;
    const char* text;
};

class ThresholdFormatTest : public ::testing::TestWithParam<FormatCase> { };

TEST_P(ThresholdFormatTest, writes_six_decimals_or_exponent_past_18_digits)
{
    const FormatCase& c = GetParam();
    EXPECT_EQ(StopConditions::formatThreshold(c.value), QString::fromLatin1(c.text));
}

INSTANTIATE_TEST_SUITE_P(CLocale, ThresholdFormatTest,
    ::testing::Values(FormatCase { 0, "0.000000" }, FormatCase { 1e-7, "0.000000" },
        FormatCase { -1e-7, "0.000000" }, FormatCase { 100, "100.000000" },
        FormatCase { 1.23456789, "1.234568" }, FormatCase { -2.5, "-2.500000" },
        FormatCase { 1234567.0, "1234567.000000" },
        FormatCase { 123456789012345678.0, "123456789012345680.000000" },
        FormatCase { 1e18, "1E18" }, FormatCase { -2.5e20, "-2.5E20" }));

TEST(ThresholdText, reads_back_what_it_writes)
{
    for (double v : { 0.5, -3.25, 1e18, 6.02e23, -1.5e300 })
        EXPECT_EQ(parseNumber(StopConditions::formatThreshold(v)), v) << v;
    EXPECT_TRUE(parseNumber(StopConditions::formatThreshold(std::numeric_limits<double>::max())));
}

TEST(ThresholdText, follows_a_comma_locale)
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(StopConditions::formatThreshold(1e-7), "0,000000");
    EXPECT_EQ(StopConditions::formatThreshold(1234.5), "1234,500000");
    EXPECT_EQ(StopConditions::formatThreshold(2.5e20), "2,5E20");
    StopConditions conditions { ModelApi() };
    EXPECT_TRUE(conditions.setInputText("2,5"));
    EXPECT_EQ(conditions.inputText(), "2,500000");
    EXPECT_FALSE(conditions.setInputText("1.000")) << "a group separator";
    EXPECT_EQ(conditions.inputValue(), 2.5);
    QLocale::setDefault(before);
}

} // namespace
} // namespace tessra
