// Typed values follow the user's locale; settings files never do. This
// program runs in a German locale built for it (decimal comma).
#include <clocale>
#include <cstdlib>

#include <gmock/gmock.h>

#include "ApiTestSupport.h"

using ::testing::HasSubstr;
using namespace tessra::test;

namespace {

constexpr int Alpha = 0;

class comma_locale : public ::testing::Test {
protected:
    /// Builds de_DE.UTF-8 into a private folder and points the environment at
    /// it before the API library first reads a number.
    static void SetUpTestSuite()
    {
        s_locales = new TempDir;
        const std::string command = "localedef -i de_DE -f UTF-8 '" + s_locales->file("de_DE.UTF-8")
            + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0) {
            s_available = false;
            return;
        }
        ::setenv("LOCPATH", s_locales->path().c_str(), 1);
        ::setenv("LC_ALL", "de_DE.UTF-8", 1);
        s_available = true;
    }
    static void TearDownTestSuite()
    {
        delete s_locales;
        s_locales = nullptr;
    }
    void SetUp() override
    {
        if (!s_available)
            GTEST_SKIP() << "localedef could not build de_DE.UTF-8";
        loadModelOrFail(fixtureModel("apiprobe"));
    }

    static inline TempDir* s_locales = nullptr;
    static inline bool s_available = false;
};

} // namespace

TEST_F(comma_locale, typed_values_use_the_decimal_comma)
{
    EXPECT_TRUE(_validateParam(Alpha, "0,5", 1));
    EXPECT_TRUE(_validateParam(Alpha, " 1 ", 1));
    EXPECT_FALSE(_validateParam(Alpha, "0.5", 1));
    EXPECT_FALSE(_validateParam(Alpha, "0,5,1", 1));
    _setParamValue(Alpha, "0,75");
    EXPECT_EQ(_getParamValue(Alpha), 0.75);
    _setParamValue(Alpha, "0.5");
    EXPECT_EQ(_getParamValue(Alpha), 0.75);
}

TEST_F(comma_locale, settings_files_keep_the_point)
{
    // As Qt does at start-up: the C library's own locale follows the environment.
    ASSERT_NE(std::setlocale(LC_ALL, ""), nullptr);
    TempDir dir;
    const std::string path = dir.file("settings.ini");
    _setParamValue(Alpha, "0,375");
    _saveParams(path.c_str());
    EXPECT_THAT(readText(path), HasSubstr("Alpha=0.375\n"));

    writeText(path, "[Parameters]\nAlpha=0.625\nStep=0,25\n");
    _loadParams(path.c_str());
    EXPECT_EQ(_getParamValue(Alpha), 0.625);
    EXPECT_EQ(_getParamValue(4), 0.5); // "0,25" is no number in a file
    std::setlocale(LC_ALL, "C");
}
