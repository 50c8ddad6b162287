#include <gtest/gtest.h>

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

} // namespace
} // namespace tessra
