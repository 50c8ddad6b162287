// One suite run against every example model: each must load, describe itself,
// build a world, step, colour every site, keep its parameters through a
// settings file and give the same world for the same seed.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "TessraAPI.h"
#include "TestPaths.h"
#include "tessra/model.h"

namespace {

namespace fs = std::filesystem;
using tessra::test::exampleFolder;
using tessra::test::exampleModel;

std::string lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

/// The [Parameters] entries of a settings file, keys in lower case.
std::map<std::string, double> parameterSection(const fs::path& file)
{
    std::ifstream in(file);
    std::map<std::string, double> entries;
    std::string line;
    bool inSection = false;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == ';')
            continue;
        if (line[0] == '[') {
            inSection = lower(line) == "[parameters]";
            continue;
        }
        const auto eq = line.find('=');
        if (!inSection || eq == std::string::npos)
            continue;
        double value = 0;
        const std::string text = line.substr(eq + 1);
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        EXPECT_TRUE(ec == std::errc() && end == text.data() + text.size())
            << "not a plain number: " << line;
        entries[lower(line.substr(0, eq))] = value;
    }
    return entries;
}

class ModelConformance : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override
    {
        _loadModel(exampleModel(GetParam()).c_str());
        const char* error = _getLoadModelErr();
        ASSERT_EQ(error, nullptr) << error;
    }

    void TearDown() override { _deleteAgents(); }

    int paramIndex(const std::string& name) const
    {
        for (int i = 0; i < _getParamCount(); ++i)
            if (lower(_getParamName(i)) == lower(name))
                return i;
        return -1;
    }

    /// Sets a parameter by name; the model must accept the value.
    void setParam(const std::string& name, const std::string& text) const
    {
        const int index = paramIndex(name);
        ASSERT_GE(index, 0) << name;
        ASSERT_TRUE(_validateParam(index, text.c_str(), 1)) << name << " = " << text;
        _setParamValue(index, text.c_str());
    }

    /// A small world, so the suite stays quick.
    void smallWorld(const std::string& seed = "5") const
    {
        setParam("Width", "40");
        setParam("Height", "30");
        setParam("Seed", seed);
    }

    std::vector<double> paramValues() const
    {
        std::vector<double> values;
        for (int i = 0; i < _getParamCount(); ++i)
            values.push_back(_getParamValue(i));
        return values;
    }

    /// Every state of every site, read through the library.
    std::vector<double> snapshot() const
    {
        std::vector<double> values;
        for (int row = 0; row < _getWorldHeight(); ++row)
            for (int column = 0; column < _getWorldWidth(); ++column)
                for (int k = 0; k < _getStateCount(); ++k)
                    values.push_back(_getStateValue(column, row, k));
        return values;
    }

    std::vector<double> runFromSeed(const std::string& seed, int steps) const
    {
        smallWorld(seed);
        _newAgents();
        _callSimReady();
        for (int i = 0; i < steps; ++i)
            _callTimestep();
        return snapshot();
    }
};

TEST_P(ModelConformance, describes_itself)
{
    EXPECT_STRNE(_callAboutModel(0), "");
    EXPECT_STRNE(_callAboutModel(1), "");
    EXPECT_STRNE(_callAboutModel(3), "");

    ASSERT_GE(_getParamCount(), 1);
    std::set<std::string> names;
    std::vector<double> values = paramValues();
    for (int i = 0; i < _getParamCount(); ++i) {
        const std::string name = _getParamName(i);
        EXPECT_FALSE(name.empty()) << i;
        EXPECT_EQ(name.find_first_of("=[];\n"), std::string::npos) << name;
        EXPECT_TRUE(names.insert(lower(name)).second) << "duplicate " << name;
        EXPECT_STRNE(_getParamNameAndProp(i), "") << name;
        char text[64];
        const auto result = std::to_chars(text, text + sizeof text - 1, values[i]);
        *result.ptr = '\0';
        EXPECT_TRUE(_validateParam(i, text, 1)) << name << " refuses its own value " << text;
        EXPECT_NE(_callAboutParam(i, values.data()), nullptr) << name;
    }

    ASSERT_GE(_getStateCount(), 1);
    std::set<std::string> states;
    for (int k = 0; k < _getStateCount(); ++k) {
        const std::string name = _getStateName(k);
        EXPECT_FALSE(name.empty()) << k;
        EXPECT_TRUE(states.insert(lower(name)).second) << "duplicate state " << name;
    }

    EXPECT_TRUE(fs::is_regular_file(fs::path(exampleFolder(GetParam())) / "help" / "index.html"));
}

TEST_P(ModelConformance, default_ini_holds_every_parameter_and_loads)
{
    const fs::path ini = fs::path(exampleFolder(GetParam())) / "default.ini";
    ASSERT_TRUE(fs::is_regular_file(ini));
    const auto entries = parameterSection(ini);
    EXPECT_EQ(entries.size(), static_cast<std::size_t>(_getParamCount()));

    setParam("Seed", "77");
    _loadParams(ini.c_str());
    for (int i = 0; i < _getParamCount(); ++i) {
        const auto it = entries.find(lower(_getParamName(i)));
        ASSERT_NE(it, entries.end()) << "default.ini lacks " << _getParamName(i);
        EXPECT_DOUBLE_EQ(_getParamValue(i), it->second) << _getParamName(i);
    }
}

TEST_P(ModelConformance, builds_steps_and_colours_every_site)
{
    smallWorld();
    _newAgents();
    _callSimReady();
    ASSERT_EQ(_getWorldWidth(), 40);
    ASSERT_EQ(_getWorldHeight(), 30);
    EXPECT_EQ(_getSimTime(), 0.0);

    double time = 0;
    for (int i = 0; i < 12; ++i) {
        const double next = _callTimestep();
        EXPECT_GT(next, time) << "step " << i;
        EXPECT_EQ(_getSimTime(), next);
        time = next;
    }
    _callMouseUp(TESSRA_BUTTON_LEFT, 20, 15, TESSRA_KEY_LEFT_DOWN);
    _callTimestep();

    for (double value : snapshot())
        ASSERT_TRUE(std::isfinite(value));

    for (unsigned short start : { 0, 255 }) {
        for (int row = 0; row < 30; ++row)
            for (int column = 0; column < 40; ++column) {
                unsigned short r = start, g = start, b = start;
                _callColorAgent(column, row, &r, &g, &b);
                ASSERT_LE(r, 255);
                ASSERT_LE(g, 255);
                ASSERT_LE(b, 255);
            }
    }

    for (auto [column, row] : { std::pair { 0, 0 }, { 39, 29 }, { 17, 4 } }) {
        EXPECT_STRNE(_callAgentHint(column, row), "") << column << ", " << row;
        for (int k = 0; k < _getStateCount(); ++k)
            EXPECT_NE(_callAboutState(column, row, k), nullptr);
    }
}

TEST_P(ModelConformance, parameters_survive_a_settings_file)
{
    const fs::path dir = fs::path(::testing::TempDir()) / ("conformance_" + GetParam());
    fs::create_directories(dir);
    const fs::path file = dir / "saved.ini";
    {
        std::ofstream out(file);
        out << "; kept\n[Other]\nKey=1\n";
    }

    smallWorld("12345");
    const std::vector<double> saved = paramValues();
    _saveParams(file.c_str());

    setParam("Seed", "3");
    setParam("Width", "17");
    _loadParams(file.c_str());
    EXPECT_EQ(paramValues(), saved);

    const auto entries = parameterSection(file);
    EXPECT_EQ(entries.size(), saved.size());
    EXPECT_DOUBLE_EQ(entries.at("seed"), 12345);
    EXPECT_DOUBLE_EQ(entries.at("width"), 40);
    fs::remove_all(dir);
}

TEST_P(ModelConformance, same_seed_same_world_other_seed_other_world)
{
    const auto first = runFromSeed("5", 25);
    const auto again = runFromSeed("5", 25);
    const auto other = runFromSeed("6", 25);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first, again);
    EXPECT_NE(first, other);
}

TEST_P(ModelConformance, a_world_of_one_site_steps)
{
    setParam("Width", "1");
    setParam("Height", "1");
    _newAgents();
    ASSERT_EQ(_getWorldWidth() * _getWorldHeight(), 1);
    for (int i = 0; i < 5; ++i)
        _callTimestep();
    unsigned short r = 0, g = 0, b = 0;
    _callColorAgent(0, 0, &r, &g, &b);
    EXPECT_LE(r, 255);
    for (double value : snapshot())
        EXPECT_TRUE(std::isfinite(value));
}

INSTANTIATE_TEST_SUITE_P(Examples, ModelConformance,
    ::testing::Values("life", "grayscott", "forestfire"),
    [](const ::testing::TestParamInfo<std::string>& model) { return model.param; });

} // namespace
