// Built with AddressSanitizer: the stop test never reads through an address
// whose storage the model API library has freed, however models are loaded
// and worlds rebuilt, as long as the front end keeps its side of the contract
// (modelUnloading() before a load, recompile() after loads and new worlds).
#include <gtest/gtest.h>
#include <sanitizer/common_interface_defs.h>

#include <string>

#include "ModelApi.h"
#include "StopConditions.h"
#include "TestPaths.h"

#if defined(__SANITIZE_ADDRESS__)
#define TESSRA_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TESSRA_ASAN 1
#endif
#endif
#ifndef TESSRA_ASAN
#error "this test proves nothing without AddressSanitizer"
#endif

namespace tessra {
namespace {

class StopAsanTest : public ::testing::Test {
protected:
    // The front end's model load: forget the addresses, load, compile again.
    bool load(const std::string& path)
    {
        conditions.modelUnloading();
        model.loadModel(path);
        EXPECT_FALSE(conditions.anyHolds()) << "nothing is tested between a load and the recompile";
        conditions.recompile();
        return model.isLoaded();
    }
    // The front end's new simulation.
    void newWorld()
    {
        model.newAgents();
        model.simReady();
        conditions.recompile();
    }
    int stepsUntilStop(int limit)
    {
        for (int i = 1; i <= limit; ++i) {
            model.timestep();
            if (conditions.anyHolds())
                return i;
        }
        return 0;
    }

    ModelApi model;
    StopConditions conditions { model };
};

TEST_F(StopAsanTest, conditions_survive_model_loads_and_new_worlds)
{
    ASSERT_TRUE(load(test::exampleModel("life")));
    model.setParamValue(0, "16");
    model.setParamValue(1, "16");
    newWorld();
    conditions.setEnabled(true);
    ASSERT_TRUE(conditions.addCondition("Width", StopConditions::LessOrEqual, 0));
    ASSERT_TRUE(conditions.addCondition("Density", StopConditions::Equal, -1));
    ASSERT_TRUE(conditions.addCondition("Tick", StopConditions::GreaterOrEqual, 3));
    EXPECT_EQ(conditions.compiledCount(), 3);
    EXPECT_EQ(stepsUntilStop(10), 3);

    const std::string models[] = { test::fixtureModel("calllog"), test::exampleModel("life"),
        "/nonexistent/model.so", test::fixtureModel("calllog"), test::exampleModel("life") };
    for (const std::string& path : models) {
        SCOPED_TRACE(path);
        if (!load(path)) {
            EXPECT_LE(conditions.compiledCount(), 1) << "at most the time is left";
            (void)conditions.anyHolds();
            continue;
        }
        const bool life = path == test::exampleModel("life");
        EXPECT_EQ(conditions.compiledCount(), life ? 3 : 1);
        for (int world = 0; world < 3; ++world) {
            newWorld();
            EXPECT_EQ(stepsUntilStop(10), 3);
        }
        model.deleteAgents();
        (void)conditions.anyHolds(); // the world is gone, the time is not
    }
}

TEST_F(StopAsanTest, new_rows_after_a_load_read_the_new_storage)
{
    ASSERT_TRUE(load(test::exampleModel("life")));
    newWorld();
    conditions.setEnabled(true);
    ASSERT_TRUE(conditions.addCondition("Seed", StopConditions::GreaterOrEqual, 0));
    ASSERT_TRUE(load(test::fixtureModel("calllog")));
    ASSERT_TRUE(load(test::exampleModel("life")));
    EXPECT_TRUE(conditions.anyHolds());
    ASSERT_TRUE(conditions.addCondition("Seed", StopConditions::Equal, 1));
    EXPECT_TRUE(conditions.anyHolds());
}

// Proves the test above can fail: loading another model frees the storage
// the old addresses point to, and a test that read through them would be
// reported.
TEST(StopAsanDeathTest, testing_stale_addresses_would_be_reported)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            // The report goes to the standard error the death test reads,
            // wherever the sanitizer options send reports otherwise.
            __sanitizer_set_report_path("stderr");
            ModelApi model;
            StopConditions conditions(model);
            model.loadModel(test::exampleModel("life"));
            conditions.recompile();
            conditions.setEnabled(true);
            conditions.addCondition("Width", StopConditions::LessOrEqual, 0);
            model.loadModel(test::exampleModel("life")); // without modelUnloading/recompile
            conditions.anyHolds();
        },
        "heap-use-after-free");
}

} // namespace
} // namespace tessra
