#include <gtest/gtest.h>

#include "AutomationRelay.h"
#include "AutomationStartMode.h"

namespace tessra {
namespace {

using M = AutomationStartMode;

struct ModeCase {
    QStringList arguments;
    AutomationStartMode mode;
};

class StartMode : public ::testing::TestWithParam<ModeCase> { };

TEST_P(StartMode, from_arguments)
{
    EXPECT_EQ(automationStartMode(GetParam().arguments), GetParam().mode)
        << GetParam().arguments.join(' ').toStdString();
}

INSTANTIATE_TEST_SUITE_P(table, StartMode,
    ::testing::Values(ModeCase { {}, M::Standalone },
        ModeCase { { "settings.ini" }, M::Standalone },
        ModeCase { { "/help", "-?" }, M::Standalone },
        ModeCase { { "/Automation" }, M::Automation }, ModeCase { { "-EMBEDDING" }, M::Automation },
        ModeCase { { "/regserver" }, M::Register }, ModeCase { { "-RegServer" }, M::Register },
        ModeCase { { "/unregserver" }, M::Unregister },
        // automation wins wherever it stands, then register, then unregister
        ModeCase { { "/regserver", "a.ini", "/embedding" }, M::Automation },
        ModeCase { { "/unregserver", "/regserver" }, M::Register },
        // only switches count, and only whole names
        ModeCase { { "automation", "regserver" }, M::Standalone },
        ModeCase { { "/automation2", "//regserver", "/ regserver", "" }, M::Standalone },
        ModeCase { { "/", "-" }, M::Standalone },
        // an absolute path is a file name, whatever its last part
        ModeCase { { "/tmp/automation", "/srv/regserver" }, M::Standalone },
        ModeCase { { "/home/me/run.ini", "/embedding" }, M::Automation }));

TEST(automation_start_mode, program_path_is_not_an_argument)
{
    EXPECT_EQ(automationStartModeFromCommandLine({ "/regserver" }), M::Standalone);
    EXPECT_EQ(automationStartModeFromCommandLine({ "/usr/bin/tessra", "/regserver" }), M::Register);
    EXPECT_EQ(automationStartModeFromCommandLine({}), M::Standalone);
}

// The switch a hub starts a private instance with is taken out of the
// arguments, so that the rest reads as the hub's own command line.
TEST(automation_start_mode, private_switch_is_taken_out_of_the_arguments)
{
    QString error;
    QStringList arguments { "/embedding", "/automation-private", ":1.7", "Tessra.FrontEnd.p12_3",
        "run.ini" };
    const std::optional<PrivateStart> start = takePrivateStart(arguments, &error);
    ASSERT_TRUE(start);
    EXPECT_EQ(start->hub, ":1.7");
    EXPECT_EQ(start->serviceName, "Tessra.FrontEnd.p12_3");
    EXPECT_EQ(arguments, (QStringList { "/embedding", "run.ini" }));
    EXPECT_EQ(automationStartMode(arguments), M::Automation);

    for (QStringList bad : { QStringList { "-Automation-Private" },
             QStringList { "/automation-private", "Tessra.FrontEnd", "Tessra.FrontEnd.p1_1" },
             QStringList { "/automation-private", ":1.7", "Other.Name" } }) {
        error.clear();
        EXPECT_FALSE(takePrivateStart(bad, &error));
        EXPECT_TRUE(error.contains("/automation-private")) << bad.join(' ').toStdString();
    }
    QStringList plain { "/automation", "run.ini" };
    EXPECT_FALSE(takePrivateStart(plain, &error));
    EXPECT_EQ(plain.size(), 2);
}

} // namespace
} // namespace tessra
