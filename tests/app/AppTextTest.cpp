// The front end's pure pieces: command line, rate and tick texts, the refresh interval,
// portal geometry and mouse codes, status panel widths.
#include "CommandLine.h"
#include "PortalGeometry.h"
#include "RateText.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace tessra {
namespace {

struct CommandLineCase {
    QStringList arguments;
    QString settingsFile;
    bool usage;
};

class CommandLineTest : public ::testing::TestWithParam<CommandLineCase> { };

TEST_P(CommandLineTest, gives_settings_file_and_usage_flag)
{
    const CommandLineCase& c = GetParam();
    const CommandLine result = parseCommandLine(c.arguments);
    EXPECT_EQ(result.settingsFile, c.settingsFile);
    EXPECT_EQ(result.showUsage, c.usage);
}

INSTANTIATE_TEST_SUITE_P(Switches, CommandLineTest,
    ::testing::Values(CommandLineCase { {}, {}, false }, CommandLineCase { { "/HELP" }, {}, true },
        CommandLineCase { { "-?" }, {}, true }, CommandLineCase { { "/Help" }, {}, true },
        CommandLineCase { { "/AutoMation" }, {}, false },
        CommandLineCase { { "-embedding" }, {}, false },
        CommandLineCase { { "/regserver" }, {}, false },
        CommandLineCase { { "/UNREGSERVER" }, {}, false }, CommandLineCase { { "/" }, {}, true },
        CommandLineCase { { "/verbose" }, {}, true },
        CommandLineCase { { "a.ini" }, "a.ini", false },
        CommandLineCase { { "a.ini", "b.ini" }, "a.ini", true },
        CommandLineCase { { "", "My Settings.ini" }, "My Settings.ini", false },
        CommandLineCase { { "/automation", "run.ini", "/help" }, "run.ini", true },
        // Every absolute path starts with "/": with a further "/", or naming something
        // that exists, it is a file name, not a switch.
        CommandLineCase { { "/home/me/run.ini" }, "/home/me/run.ini", false },
        CommandLineCase {
            { "/automation", "/tmp/no such/run.ini" }, "/tmp/no such/run.ini", false },
        CommandLineCase { { "/tmp" }, "/tmp", false },
        CommandLineCase { { "/a.ini", "/tmp/b.ini" }, "/tmp/b.ini", true },
        CommandLineCase { { "/foo" }, {}, true }, CommandLineCase { { "-/tmp/a.ini" }, {}, true }));

TEST(CommandLine, an_existing_file_by_its_absolute_path_is_the_settings_file)
{
    const QTemporaryDir folder;
    const QString file = folder.filePath("run.ini");
    QFile(file).open(QIODevice::WriteOnly);
    const CommandLine result = parseCommandLine({ "/AutoMation", file });
    EXPECT_EQ(result.settingsFile, file);
    EXPECT_FALSE(result.showUsage);
}

TEST(CommandLine, usage_text_joins_path_and_syntax_without_blank)
{
    EXPECT_EQ(usageText("/opt/tessra/bin/tessra"),
        "Usage:\n\t/opt/tessra/bin/tessra[/[un]regserver] [settingsFile.ini]");
}

struct RateCase {
    double seconds;
    const char* text;
};

class FrameRateTextTest : public ::testing::TestWithParam<RateCase> { };

TEST_P(FrameRateTextTest, chooses_unit_and_rounds_halves_up)
{
    EXPECT_EQ(frameRateText(GetParam().seconds), QLatin1String(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Times, FrameRateTextTest,
    ::testing::Values(RateCase { 0.8, "1 fps" }, RateCase { 2, "30 fpm" }, RateCase { 60, "1 fpm" },
        RateCase { 90, "40 fph" }, RateCase { 7200, "1 fph" }, RateCase { 0, "0 fps" },
        RateCase { 0.0000005, "0 fps" }, RateCase { 0.033, "30 fps" }, RateCase { 0.4, "3 fps" },
        RateCase { 14400, "0 fph" }));

TEST(RateText, tick_rate_uses_ticks_per_time_and_its_own_units)
{
    EXPECT_EQ(tickRateText(10, 2), "5 tps");
    EXPECT_EQ(tickRateText(1, 2), "30 tpm");
    EXPECT_EQ(tickRateText(1, 90), "40 tph");
    EXPECT_EQ(tickRateText(3, 0), "0 tps");
    EXPECT_EQ(tickRateText(2.5, 1), "3 tps");
}

TEST(RateText, tick_text_shows_up_to_six_decimals_in_the_locale)
{
    const QLocale c = QLocale::c();
    EXPECT_EQ(tickText(12.5, c), "Tick 12.5");
    EXPECT_EQ(tickText(1.0 / 3.0, c), "Tick 0.333333");
    EXPECT_EQ(tickText(0, c), "Tick 0");
    EXPECT_EQ(tickText(100, c), "Tick 100");
    EXPECT_EQ(tickText(2.0000004, c), "Tick 2");
    EXPECT_EQ(tickText(1234567.25, c), "Tick 1234567.25");
    EXPECT_EQ(tickText(-0.0000001, c), "Tick 0");
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(tickText(12.5, german), "Tick 12,5");
    EXPECT_EQ(tickText(1234567.25, german), "Tick 1234567,25");
}

TEST(RefreshInterval, settles_at_33_when_medium_and_50_when_slow_for_instant_refreshes)
{
    int medium = 34;
    int slow = 34;
    for (int i = 0; i < 10; ++i) {
        medium = nextRefreshInterval(0, medium, 1);
        slow = nextRefreshInterval(0, slow, 50);
    }
    EXPECT_EQ(medium, 33);
    EXPECT_EQ(slow, 50);
    EXPECT_EQ(nextRefreshInterval(0, 34, 1), 33);
    EXPECT_EQ(nextRefreshInterval(0, 34, 50), 50);
}

TEST(RefreshInterval, follows_share_times_duration_at_most_doubling_and_halving)
{
    EXPECT_EQ(nextRefreshInterval(0.040, 34, 1), 40);
    EXPECT_EQ(nextRefreshInterval(0.100, 34, 1), 68); // at most twice
    EXPECT_EQ(nextRefreshInterval(0.010, 34, 50), 68); // 500, held to twice
    EXPECT_EQ(nextRefreshInterval(0.002, 400, 50), 200); // 100, held to half
    EXPECT_EQ(nextRefreshInterval(0.0029, 100, 50), 100); // floor(2.9) * 50
    EXPECT_EQ(nextRefreshInterval(10, 65535, 50), 65535);
}

TEST(PortalGeometry, fixed_sizes_by_zoom_code)
{
    const QSize world(3, 5);
    EXPECT_EQ(fixedPortalSize(0, world), QSize(1, 2));
    EXPECT_EQ(fixedPortalSize(1, world), QSize(3, 5));
    EXPECT_EQ(fixedPortalSize(2, world), QSize(6, 10));
    EXPECT_EQ(fixedPortalSize(4, world), QSize(12, 20));
    EXPECT_EQ(fixedPortalSize(8, world), QSize(24, 40));
    EXPECT_FALSE(fixedPortalSize(-1, world));
    EXPECT_FALSE(fixedPortalSize(3, world));
    EXPECT_FALSE(fixedPortalSize(16, world));
}

TEST(PortalGeometry, pointer_maps_to_site_by_truncation)
{
    const QSize world(3, 5);
    EXPECT_EQ(siteAt({ 0, 0 }, { 24, 40 }, world), QPoint(0, 0));
    EXPECT_EQ(siteAt({ 7.9, 7.9 }, { 24, 40 }, world), QPoint(0, 0));
    EXPECT_EQ(siteAt({ 8, 39 }, { 24, 40 }, world), QPoint(1, 4));
    EXPECT_EQ(siteAt({ 23, 0 }, { 24, 40 }, world), QPoint(2, 0));
    EXPECT_EQ(siteAt({ 99, 99 }, { 100, 100 }, world), QPoint(2, 4)); // stretched
    EXPECT_EQ(siteAt({ 0, 1 }, { 1, 2 }, world), QPoint(0, 2)); // 50%: every other site
    EXPECT_FALSE(siteAt({ 24, 0 }, { 24, 40 }, world));
    EXPECT_FALSE(siteAt({ -0.5, 3 }, { 24, 40 }, world));
    EXPECT_FALSE(siteAt({ 3, 40 }, { 24, 40 }, world));
    EXPECT_FALSE(siteAt({ 0, 0 }, { 0, 40 }, world));
    EXPECT_FALSE(siteAt({ 0, 0 }, { 24, 40 }, QSize(0, 0)));
}

TEST(PortalGeometry, mouse_up_codes)
{
    const MouseUpCodes rightCtrlLeftDown
        = mouseUpCodes(Qt::RightButton, Qt::LeftButton, Qt::ControlModifier);
    EXPECT_EQ(rightCtrlLeftDown.button, 16);
    EXPECT_EQ(rightCtrlLeftDown.keys, 12);
    const MouseUpCodes leftShiftAlt
        = mouseUpCodes(Qt::LeftButton, Qt::NoButton, Qt::ShiftModifier | Qt::AltModifier);
    EXPECT_EQ(leftShiftAlt.button, 8);
    EXPECT_EQ(leftShiftAlt.keys, 3);
    const MouseUpCodes middle = mouseUpCodes(Qt::MiddleButton, Qt::RightButton, Qt::NoModifier);
    EXPECT_EQ(middle.button, 0);
    EXPECT_EQ(middle.keys, 16);
}

TEST(PortalGeometry, zoom_codes)
{
    for (int code : { -1, 0, 1, 2, 4, 8 })
        EXPECT_TRUE(isZoomCode(code)) << code;
    for (int code : { -2, 3, 5, 16 })
        EXPECT_FALSE(isZoomCode(code)) << code;
}

} // namespace
} // namespace tessra
