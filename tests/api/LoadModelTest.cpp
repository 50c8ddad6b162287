// Loading model libraries: every kind of failure, replacing one model by
// another, and what the library answers about the model it holds.
#include <algorithm>
#include <elf.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gmock/gmock.h>

#include "ApiTestSupport.h"

using ::testing::HasSubstr;
using ::testing::Not;
using namespace tessra::test;

namespace {

/// A failed load must leave no model: nothing to describe, no parameters.
void expectNoModel()
{
    EXPECT_NE(_getLoadModelErr(), nullptr);
    EXPECT_EQ(_getParamCount(), 0);
    EXPECT_EQ(_getStateCount(), 0);
    EXPECT_STREQ(_callAboutModel(0), "");
    EXPECT_EQ(_getWorldWidth(), 0);
    EXPECT_EQ(_getWorldHeight(), 0);
}

/// Where the last loadable segment of the ELF library at `path` ends in the file.
std::uint64_t loadableEnd(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    Elf64_Ehdr header {};
    in.read(reinterpret_cast<char*>(&header), sizeof header);
    std::uint64_t end = 0;
    for (int i = 0; i < header.e_phnum; ++i) {
        Elf64_Phdr segment {};
        in.seekg(static_cast<std::streamoff>(header.e_phoff + i * sizeof segment));
        in.read(reinterpret_cast<char*>(&segment), sizeof segment);
        if (segment.p_type == PT_LOAD)
            end = std::max<std::uint64_t>(end, segment.p_offset + segment.p_filesz);
    }
    return end;
}

std::string loadError(const std::string& path)
{
    _loadModel(path.c_str());
    const char* error = _getLoadModelErr();
    return error ? error : "";
}

} // namespace

TEST(load_model, missing_file_is_named_with_reason)
{
    TempDir dir;
    const std::string path = dir.file("nowhere/model.so");
    const std::string error = loadError(path);
    EXPECT_THAT(error, HasSubstr("\"" + path + "\""));
    EXPECT_THAT(error, HasSubstr("does not exist"));
    expectNoModel();
}

TEST(load_model, text_file_is_not_a_loadable_library)
{
    TempDir dir;
    const std::string path = dir.file("model.so");
    writeText(path, "this is not a library\n");
    const std::string error = loadError(path);
    EXPECT_THAT(error, HasSubstr("\"" + path + "\""));
    EXPECT_THAT(error, HasSubstr("not a loadable library"));
    // The loader's own reason follows, without repeating the file name.
    EXPECT_THAT(error, ::testing::MatchesRegex(".*not a loadable library \\([^)]+\\)"));
    EXPECT_EQ(error.find(path), error.rfind(path));
    expectNoModel();
}

TEST(load_model, folder_is_refused)
{
    TempDir dir;
    const std::string error = loadError(dir.path().string());
    EXPECT_THAT(error, HasSubstr(dir.path().string()));
    EXPECT_THAT(error, HasSubstr("folder"));
    expectNoModel();
}

// Neither must ever reach the system loader: a pipe blocks it for good, and a
// partial copy makes it fault on the pages that are missing.
TEST(load_model, pipe_and_truncated_library_are_refused)
{
    TempDir dir;
    const std::string pipe = dir.file("pipe/model.so");
    std::filesystem::create_directories(dir.file("pipe"));
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    std::string error = loadError(pipe);
    EXPECT_THAT(error, HasSubstr("\"" + pipe + "\""));
    EXPECT_THAT(error, HasSubstr("it is not a regular file"));
    expectNoModel();

    // Cut inside the loadable segments (not only in the debug data behind them),
    // and inside the headers; each cut is a new file, as the loader maps it.
    const std::string life = exampleModel("life");
    const std::uint64_t loaded = loadableEnd(life);
    ASSERT_GT(loaded, 8192u);
    int copies = 0;
    for (const std::uint64_t kept :
        { loaded - 1, loaded / 2, std::uint64_t { 4096 }, std::uint64_t { 40 } }) {
        const std::string partial = dir.file("partial" + std::to_string(++copies) + ".so");
        std::filesystem::copy_file(life, partial);
        std::filesystem::resize_file(partial, kept);
        error = loadError(partial);
        EXPECT_THAT(error, HasSubstr("\"" + partial + "\"")) << kept;
        EXPECT_THAT(error, HasSubstr("the file is truncated or damaged")) << kept;
        expectNoModel();
    }
    // An ELF file of the other word size never reaches the loader either.
    const std::string narrow = dir.file("narrow.so");
    std::string header(64, '\0');
    header.replace(0, 6,
        "\x7f"
        "ELF\x01\x01");
    writeText(narrow, header);
    EXPECT_THAT(
        loadError(narrow), HasSubstr("not a loadable library (it is built for 32-bit machines"));
    expectNoModel();
    // The library is whole again: it loads.
    loadModelOrFail(life);
}

TEST(load_model, empty_or_null_path_is_refused)
{
    EXPECT_THAT(loadError(""), HasSubstr("no file given"));
    expectNoModel();
    _loadModel(nullptr);
    expectNoModel();
}

TEST(load_model, library_without_entry_point)
{
    const std::string path = fixtureModel("noentry");
    const std::string error = loadError(path);
    EXPECT_THAT(error, HasSubstr("\"" + path + "\""));
    EXPECT_THAT(error, HasSubstr("no model entry point"));
    expectNoModel();
}

TEST(load_model, other_interface_version)
{
    const std::string path = fixtureModel("badversion");
    const std::string error = loadError(path);
    EXPECT_THAT(error, HasSubstr("\"" + path + "\""));
    EXPECT_THAT(error, HasSubstr("interface version 999"));
    expectNoModel();
}

struct DescriptionFault {
    const char* fault;
    const char* reason;
};

class invalid_description : public ::testing::TestWithParam<DescriptionFault> {
protected:
    void TearDown() override { ::unsetenv("TESSRA_BADDESC"); }
};

TEST_P(invalid_description, is_refused_with_its_reason)
{
    // A good model first: the failed load must also free it.
    loadModelOrFail(fixtureModel("apiprobe"));
    ::setenv("TESSRA_BADDESC", GetParam().fault, 1);
    const std::string path = fixtureModel("baddesc");
    const std::string error = loadError(path);
    EXPECT_THAT(error, HasSubstr("\"" + path + "\""));
    EXPECT_THAT(error, HasSubstr(GetParam().reason));
    EXPECT_EQ(error.find('\n'), std::string::npos);
    expectNoModel();
}

INSTANTIATE_TEST_SUITE_P(load_model, invalid_description,
    ::testing::Values(DescriptionFault { "nodescription", "returned no description" },
        DescriptionFault { "nostep", "invalid model description: the step function" },
        DescriptionFault { "nocolor", "the color function is missing" },
        DescriptionFault { "noworldsize", "the world size function is missing" },
        DescriptionFault { "noinit", "the init function is missing" },
        DescriptionFault { "negativeparams", "parameter count is negative" },
        DescriptionFault { "noparamlist", "parameter list is missing" },
        DescriptionFault { "unnamedparam", "parameter 1 has no name" },
        DescriptionFault { "emptyparamname", "parameter 1 has no name" },
        DescriptionFault { "sameparamname", "\"RATE\" is used twice" },
        DescriptionFault { "minabovemax", "\"Rate\" has no valid range" },
        DescriptionFault { "initialoutside", "\"Size\" is outside its range" },
        DescriptionFault { "initialnotwhole", "\"Size\" is not a whole number" },
        DescriptionFault { "negativestates", "state count is negative" },
        DescriptionFault { "nostatelist", "state name list is missing" },
        DescriptionFault { "unnamedstate", "state 1 has no name" },
        DescriptionFault { "samestatename", "\"U\" is used twice" },
        DescriptionFault { "paramequals",
            "the parameter name \"a=b\" cannot be kept in settings files: a parameter name "
            "may not contain \"=\"" },
        DescriptionFault { "paramblanks",
            "\" g \" cannot be kept in settings files: a "
            "parameter name may not begin or end with a blank" },
        DescriptionFault { "paramsemicolon",
            "\";Size\" cannot be kept in settings files: a "
            "parameter name may not begin with \";\", \"#\" or \"[\"" },
        DescriptionFault { "paramhash", "\"#Size\" cannot be kept in settings files" },
        DescriptionFault { "parambracket", "\"[Size]\" cannot be kept in settings files" },
        DescriptionFault { "paramlinebreak",
            "\"Si\\nze\" cannot be kept in settings files: a parameter name may not contain "
            "control characters" },
        DescriptionFault { "statelinebreak",
            "the state name \"v\\r\\nw\" cannot be kept in settings files: a state name may "
            "not contain control characters" },
        DescriptionFault { "stateblank",
            "the state name \"v \" cannot be kept in settings "
            "files: a state name may not begin or end with a blank" },
        DescriptionFault { "manyparamsdup", "the parameter name \"N0\" is used twice" },
        DescriptionFault { "manystatesdup", "the state name \"N0\" is used twice" }),
    [](const auto& test) { return std::string(test.param.fault); });

TEST(load_model, fixture_with_valid_description_loads)
{
    ::setenv("TESSRA_BADDESC", "none", 1);
    loadModelOrFail(fixtureModel("baddesc"));
    ::unsetenv("TESSRA_BADDESC");
    EXPECT_EQ(_getParamCount(), 2);
    EXPECT_EQ(_getStateCount(), 2);
}

TEST(load_model, a_hundred_thousand_names_load)
{
    for (const char* fault : { "manyparams", "manystates" }) {
        ::setenv("TESSRA_BADDESC", fault, 1);
        loadModelOrFail(fixtureModel("baddesc"));
    }
    EXPECT_EQ(_getStateCount(), 100000);
    EXPECT_STREQ(_getStateName(99999), "n99999");
    ::unsetenv("TESSRA_BADDESC");
}

TEST(load_model, errors_show_control_characters_escaped)
{
    TempDir dir;
    const std::string path = dir.file("two\nlines\tand\x01.so");
    writeText(path, "not a library");
    const std::string error = loadError(path);
    EXPECT_THAT(error, HasSubstr("two\\nlines\\tand\\x01.so"));
    EXPECT_EQ(error.find_first_of("\n\t\x01"), std::string::npos) << error;
}

TEST(load_model, second_model_replaces_first_world_and_parameters)
{
    ProbeLog log;
    loadModelOrFail(fixtureModel("apiprobe"));
    setParam("Alpha", 0.75);
    _newAgents();
    _callTimestep();
    ASSERT_EQ(_getWorldWidth(), 4);
    log.clear();

    loadModelOrFail(exampleModel("life"));
    EXPECT_THAT(log.lines(), ::testing::ElementsAre("cleanup 4x3 data=yes"));
    EXPECT_EQ(_getWorldWidth(), 0);
    EXPECT_EQ(_getWorldHeight(), 0);
    EXPECT_EQ(_getSimTime(), 0.0);
    EXPECT_EQ(getParamRef("Alpha"), nullptr);
    EXPECT_STREQ(_callAboutModel(0), "Life");
    for (int i = 0; i < _getParamCount(); ++i)
        EXPECT_TRUE(_validateParam(i, std::to_string(_getParamValue(i)).c_str(), 1)) << i;

    // Back to the first model: its parameters start again from their initial values.
    loadModelOrFail(fixtureModel("apiprobe"));
    EXPECT_EQ(_getParamValue(paramIndex("Alpha")), 0.25);
    EXPECT_EQ(_getWorldWidth(), 0);
}

TEST(load_model, same_path_again_starts_afresh)
{
    ProbeLog log;
    loadModelOrFail(fixtureModel("apiprobe"));
    setParam("Count", 7);
    _newAgents();
    log.clear();
    loadModelOrFail(fixtureModel("apiprobe"));
    EXPECT_EQ(_getParamValue(paramIndex("Count")), 3.0);
    EXPECT_EQ(_getWorldWidth(), 0);
    // The library was really unloaded: its own static data starts again.
    _newAgents();
    EXPECT_THAT(log.lines(), ::testing::ElementsAre("cleanup 4x3 data=yes", "init 4x3 time=0 #1"));
}

TEST(load_model, failed_load_frees_the_loaded_model)
{
    ProbeLog log;
    loadModelOrFail(fixtureModel("apiprobe"));
    _newAgents();
    log.clear();
    TempDir dir;
    loadError(dir.file("missing.so"));
    EXPECT_THAT(log.lines(), ::testing::ElementsAre("cleanup 4x3 data=yes"));
    expectNoModel();
}

TEST(load_model, bare_file_name_means_the_current_folder)
{
    TempDir dir;
    std::filesystem::copy_file(fixtureModel("apiprobe"), dir.file("model.so"));
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    _loadModel("model.so");
    std::filesystem::current_path(before);
    EXPECT_EQ(_getLoadModelErr(), nullptr);
    EXPECT_STREQ(_callAboutModel(0), "API probe");
}

TEST(load_model, about_fields_and_version)
{
    loadModelOrFail(fixtureModel("apiprobe"));
    EXPECT_STREQ(_callAboutModel(0), "API probe");
    EXPECT_STREQ(_callAboutModel(1), "2.5");
    EXPECT_STREQ(_callAboutModel(2), "(c) probe");
    EXPECT_STREQ(_callAboutModel(3), ""); // the model gives no comments
    EXPECT_STREQ(_callAboutModel(4), "https://example.org/probe");
    EXPECT_STREQ(_callAboutModel(5), "");
    EXPECT_STREQ(_callAboutModel(-1), "");
    EXPECT_STREQ(_getApiVersion(), TESSRA_EXPECTED_API_VERSION);
}
