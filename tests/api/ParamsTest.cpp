// Parameters: names, labels, addresses, checks of typed values, descriptions
// and the "Parameters" section of settings files.
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>

#include "ApiTestSupport.h"

using ::testing::HasSubstr;
using ::testing::Not;
using namespace tessra::test;

namespace {

class params : public ::testing::Test {
protected:
    void SetUp() override { loadModelOrFail(fixtureModel("apiprobe")); }
    static double value(const std::string& name) { return _getParamValue(paramIndex(name)); }
};

constexpr int Alpha = 0;

std::string withoutBlankLines(const std::string& text)
{
    std::string result;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);)
        if (!line.empty())
            result += line + "\n";
    return result;
}

constexpr int Count = 1;
constexpr int Scale = 5;

} // namespace

TEST_F(params, names_labels_and_initial_values)
{
    ASSERT_EQ(_getParamCount(), 6);
    EXPECT_STREQ(_getParamName(Alpha), "Alpha");
    EXPECT_STREQ(_getParamNameAndProp(Alpha), "<b>Alpha</b> rate");
    EXPECT_STREQ(_getParamNameAndProp(Scale), "Scale"); // no label: the name
    EXPECT_EQ(_getParamValue(Alpha), 0.25);
    EXPECT_EQ(_getParamValue(Count), 3.0);
    for (int index : { -1, 6, INT_MAX }) {
        EXPECT_STREQ(_getParamName(index), "");
        EXPECT_STREQ(_getParamNameAndProp(index), "");
        EXPECT_EQ(_getParamValue(index), 0.0);
        EXPECT_FALSE(_validateParam(index, "1", 1));
        EXPECT_STREQ(_callAboutParam(index, nullptr), "");
        _setParamValue(index, "1");
        double limit = -7;
        EXPECT_EQ(_getParamRange(index, &limit, &limit, nullptr), 0);
        EXPECT_EQ(limit, -7);
    }
    double minimum = -1;
    double maximum = -1;
    unsigned char whole = 9;
    ASSERT_EQ(_getParamRange(Alpha, &minimum, &maximum, &whole), 1);
    EXPECT_EQ(minimum, 0.0);
    EXPECT_EQ(maximum, 1.0);
    EXPECT_EQ(whole, 0);
    ASSERT_EQ(_getParamRange(Count, &minimum, nullptr, &whole), 1);
    EXPECT_EQ(minimum, 1.0);
    EXPECT_EQ(whole, 1);
}

TEST_F(params, addresses_by_exact_name_stay_put)
{
    double* alpha = getParamRef("Alpha");
    ASSERT_NE(alpha, nullptr);
    EXPECT_EQ(getParamRef("alpha"), nullptr);
    EXPECT_EQ(getParamRef(""), nullptr);
    EXPECT_EQ(getParamRef(nullptr), nullptr);
    EXPECT_EQ(getParamRef("Alpha "), nullptr);
    *alpha = 0.5;
    EXPECT_EQ(_getParamValue(Alpha), 0.5);
    _newAgents();
    _setParamValue(Alpha, "0.125");
    EXPECT_EQ(getParamRef("Alpha"), alpha);
    EXPECT_EQ(*alpha, 0.125);
}

struct TypedValue {
    int index;
    const char* text;
    bool accepted;
};

class typed_values : public params, public ::testing::WithParamInterface<TypedValue> { };

TEST_P(typed_values, are_judged_by_range_kind_and_model)
{
    const TypedValue& typed = GetParam();
    EXPECT_EQ(_validateParam(typed.index, typed.text, 1) != 0, typed.accepted);
    const double before = _getParamValue(typed.index);
    _setParamValue(typed.index, typed.text);
    if (typed.accepted)
        EXPECT_EQ(_getParamValue(typed.index), std::strtod(typed.text, nullptr));
    else
        EXPECT_EQ(_getParamValue(typed.index), before);
}

INSTANTIATE_TEST_SUITE_P(params, typed_values,
    ::testing::Values(TypedValue { Alpha, "0.5", true }, TypedValue { Alpha, "  0.5\t", true },
        TypedValue { Alpha, "1", true }, TypedValue { Alpha, "0", true },
        TypedValue { Alpha, "1e-1", true }, TypedValue { Alpha, "+0.5", true },
        TypedValue { Alpha, "1.0001", false }, TypedValue { Alpha, "-0.1", false },
        TypedValue { Alpha, "", false }, TypedValue { Alpha, " ", false },
        TypedValue { Alpha, "abc", false }, TypedValue { Alpha, "0.5x", false },
        TypedValue { Alpha, "0.5 0.6", false }, TypedValue { Alpha, "nan", false },
        TypedValue { Alpha, "inf", false }, TypedValue { Alpha, "0x1p-1", false },
        TypedValue { Alpha, "0,5", false }, TypedValue { Count, "4", true },
        TypedValue { Count, "100", true }, TypedValue { Count, "3.5", false },
        TypedValue { Count, "101", false }, TypedValue { Count, "0", false },
        TypedValue { Count, "13", false }, // the model's own check refuses it
        TypedValue { Scale, "-1e9", true }, TypedValue { Scale, "1e10", false },
        TypedValue { Scale, "1e999", false }));

TEST_F(params, null_text_is_refused)
{
    EXPECT_FALSE(_validateParam(Alpha, nullptr, 1));
    _setParamValue(Alpha, nullptr);
    EXPECT_EQ(_getParamValue(Alpha), 0.25);
}

TEST_F(params, descriptions_see_the_candidates)
{
    const double candidates[] = { 0.7, 3, 4, 3, 0.5, 1 };
    EXPECT_STREQ(_callAboutParam(Alpha, candidates), "Alpha would be 0.7");
    // Without candidates the model sees the current values.
    EXPECT_STREQ(_callAboutParam(Alpha, nullptr), "Alpha would be 0.25");
    // The model has nothing to say: the parameter's own description, if any.
    EXPECT_STREQ(_callAboutParam(4, candidates), "Time added per step.");
    EXPECT_STREQ(_callAboutParam(Count, candidates), "");
}

TEST_F(params, file_values_read_back_exactly)
{
    TempDir dir;
    const std::string path = dir.file("settings.ini");
    setParam("Alpha", 0.1);
    setParam("Scale", 12345678.9);
    setParam("Step", 1.0 / 3.0);
    _saveParams(path.c_str());
    const std::string text = readText(path);
    EXPECT_THAT(text, HasSubstr("[Parameters]\n"));
    EXPECT_THAT(text, HasSubstr("Alpha=0.1\n"));
    EXPECT_THAT(text, HasSubstr("Scale=12345678.9\n"));
    EXPECT_THAT(text, HasSubstr("Count=3\n"));

    loadModelOrFail(fixtureModel("apiprobe")); // back to the initial values
    _loadParams(path.c_str());
    EXPECT_EQ(value("Alpha"), 0.1);
    EXPECT_EQ(value("Scale"), 12345678.9);
    EXPECT_EQ(value("Step"), 1.0 / 3.0);

    setParam("Alpha", 1e-300);
    setParam("Scale", -0.000123456789012345);
    _saveParams(path.c_str());
    EXPECT_THAT(readText(path), HasSubstr("Alpha=1e-300\n"));
    setParam("Alpha", 0.5);
    setParam("Scale", 0);
    _loadParams(path.c_str());
    EXPECT_EQ(value("Alpha"), 1e-300);
    EXPECT_EQ(value("Scale"), -0.000123456789012345);
}

TEST_F(params, saving_keeps_the_rest_of_the_file)
{
    TempDir dir;
    const std::string path = dir.file("settings.ini");
    writeText(path,
        "; Settings of my experiment\n"
        "\n"
        "[Time Series]\n"
        "; what to record\n"
        "Count=2\n"
        "Series0=Average,a\n"
        "Series1=Parameter,Alpha\n"
        "\n"
        "[parameters]\n"
        "alpha=0.9\n"
        "\n"
        "[Mine]\n"
        "key=value with = sign\n"
        "; the end\n");
    setParam("Alpha", 0.375);
    _saveParams(path.c_str());
    // Blank lines may be laid out anew; everything else must be there.
    const std::string text = withoutBlankLines(readText(path));
    EXPECT_THAT(text, HasSubstr("; Settings of my experiment\n"));
    EXPECT_THAT(text,
        HasSubstr("[Time Series]\n; what to record\nCount=2\nSeries0=Average,a\n"
                  "Series1=Parameter,Alpha\n"));
    EXPECT_THAT(text, HasSubstr("[Mine]\nkey=value with = sign\n"));
    EXPECT_THAT(text, HasSubstr("; the end\n"));
    EXPECT_THAT(text, HasSubstr("Alpha=0.375\n"));
    EXPECT_THAT(text, Not(HasSubstr("0.9")));
    // Saved twice, the file stays the same.
    const std::string once = readText(path);
    _saveParams(path.c_str());
    EXPECT_EQ(readText(path), once);
}

TEST_F(params, loading_takes_only_acceptable_entries)
{
    TempDir dir;
    const std::string path = dir.file("settings.ini");
    writeText(path,
        "[PARAMETERS]\n"
        "ALPHA = 0.75 \n" // names and section without regard to case
        "Count=13\n" // refused by the model
        "Columns=2.5\n" // not whole
        "Rows=-1\n" // out of range
        "Step=0,5\n" // files always use "."
        "Scale=lots\n" // no number
        "Unknown=4\n");
    _loadParams(path.c_str());
    EXPECT_EQ(value("Alpha"), 0.75);
    EXPECT_EQ(value("Count"), 3.0);
    EXPECT_EQ(value("Columns"), 4.0);
    EXPECT_EQ(value("Rows"), 3.0);
    EXPECT_EQ(value("Step"), 0.5);
    EXPECT_EQ(value("Scale"), 1.0);
}

TEST_F(params, missing_and_garbage_files_change_nothing)
{
    TempDir dir;
    const std::string missing = dir.file("missing.ini");
    _loadParams(missing.c_str());
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_EQ(value("Alpha"), 0.25);

    const std::string garbage = dir.file("garbage.ini");
    std::string bytes;
    for (int i = 0; i < 4096; ++i)
        bytes += static_cast<char>((i * 7919 + 13) % 256);
    writeText(garbage, bytes);
    _loadParams(garbage.c_str());
    const std::string noValues = dir.file("novalues.ini");
    writeText(noValues, "[Parameters]\nAlpha\n=0.5\nCount=\n");
    _loadParams(noValues.c_str());
    EXPECT_EQ(value("Alpha"), 0.25);
    EXPECT_EQ(value("Count"), 3.0);
}

TEST_F(params, failing_save_leaves_the_old_file)
{
    TempDir dir;
    const std::string nowhere = dir.file("no/such/folder/settings.ini");
    _saveParams(nowhere.c_str());
    EXPECT_FALSE(std::filesystem::exists(dir.file("no")));
    const std::string folder = dir.file("folder.ini");
    std::filesystem::create_directory(folder);
    _saveParams(folder.c_str());
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST_F(params, save_keeps_links_and_permissions)
{
    TempDir dir;
    const std::string target = dir.file("real.ini");
    const std::string link = dir.file("link.ini");
    writeText(target, "[Other]\nx=1\n");
    ::chmod(target.c_str(), 0640);
    std::filesystem::create_symlink(target, link);
    _saveParams(link.c_str());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_THAT(readText(target), HasSubstr("Alpha=0.25"));
    struct stat info { };
    ASSERT_EQ(::stat(target.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(params_without_model, files_are_left_alone)
{
    _loadModel("");
    size_t size = 7;
    EXPECT_EQ(_saveParamsText("[Parameters]\n", 13, &size), nullptr);
    EXPECT_EQ(size, 0u);

    TempDir dir;
    _loadModel(dir.file("none.so").c_str());
    const std::string path = dir.file("settings.ini");
    writeText(path, "[Parameters]\nAlpha=0.5\n");
    _saveParams(path.c_str());
    _loadParams(path.c_str());
    EXPECT_EQ(readText(path), "[Parameters]\nAlpha=0.5\n");
    EXPECT_EQ(getParamRef("Alpha"), nullptr);
    const std::string fresh = dir.file("fresh.ini");
    _saveParams(fresh.c_str());
    EXPECT_FALSE(std::filesystem::exists(fresh));
}
