// Every reader of a typed or stored number reads the same texts alike: the
// model library's typed values (_validateParam, _setParamValue) and settings
// files (_loadParams), the front end's reader (the New Simulation dialog, the
// parameter editor, automation's arguments and stop-condition thresholds all
// read with parseNumber), and tessra-run's --set, the real program on a real
// model. The texts and what they read as come from one table.
#include <charconv>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include <QProcess>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

#include "../api/ApiTestSupport.h"
#include "ExportNumber.h"
#include "NumberFormat.h"
#include "TextNumbers.h"

using namespace tessra;
using namespace tessra::test;

namespace {

struct Row {
    std::string text;
    std::optional<double> value; // nothing: every reader refuses the text
    int line = 0;
};

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return c - 'A' + 10;
}

std::string unescaped(const std::string& text)
{
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            result.push_back(text[i]);
            continue;
        }
        const char c = text[++i];
        switch (c) {
        case 't':
            result.push_back('\t');
            break;
        case 'v':
            result.push_back('\v');
            break;
        case 'f':
            result.push_back('\f');
            break;
        case 'n':
            result.push_back('\n');
            break;
        case 'r':
            result.push_back('\r');
            break;
        case 'x':
            result.push_back(static_cast<char>(hexDigit(text[i + 1]) * 16 + hexDigit(text[i + 2])));
            i += 2;
            break;
        default:
            result.push_back(c);
            break;
        }
    }
    return result;
}

std::vector<Row> table()
{
    std::vector<Row> rows;
    std::ifstream in(TESSRA_NUMBER_TEXTS);
    int number = 0;
    for (std::string line; std::getline(in, line);) {
        ++number;
        if (line.empty() || line.front() == '#')
            continue;
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos)
            continue;
        Row row { unescaped(line.substr(tab + 1)), std::nullopt, number };
        const std::string expected = line.substr(0, tab);
        if (expected != "refused") {
            double value = 0;
            std::from_chars(expected.data(), expected.data() + expected.size(), value);
            row.value = value;
        }
        rows.push_back(row);
    }
    return rows;
}

std::string shown(const Row& row)
{
    return "line " + std::to_string(row.line) + ": \"" + row.text + "\"";
}

/// The reading as a comparable text: "refused" or the number's exact digits.
std::string reading(const std::optional<double>& value)
{
    if (!value)
        return "refused";
    char text[64];
    return std::string(text, std::to_chars(text, text + sizeof text, *value).ptr);
}

constexpr double Untouched = 7;

class numbers : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_rows = table();
        ASSERT_GT(m_rows.size(), 40u) << TESSRA_NUMBER_TEXTS;
        loadModelOrFail(fixtureModel("apiprobe"));
        m_scale = paramIndex("Scale"); // -1e9 to 1e9: every number of the table fits
        ASSERT_GE(m_scale, 0);
    }

    std::vector<Row> m_rows;
    int m_scale = -1;
};

} // namespace

TEST_F(numbers, the_model_library_reads_typed_values_by_the_table)
{
    for (const Row& row : m_rows) {
        SCOPED_TRACE(shown(row));
        EXPECT_EQ(_validateParam(m_scale, row.text.c_str(), 1) != 0, row.value.has_value());
        setParam("Scale", Untouched);
        _setParamValue(m_scale, row.text.c_str());
        EXPECT_EQ(reading(_getParamValue(m_scale)), reading(row.value.value_or(Untouched)));
    }
}

TEST_F(numbers, the_model_library_reads_settings_files_by_the_table)
{
    TempDir dir;
    const std::string path = dir.file("settings.ini");
    for (const Row& row : m_rows) {
        // A line end would end the entry: such texts are typed, never stored.
        if (row.text.find_first_of("\r\n") != std::string::npos)
            continue;
        SCOPED_TRACE(shown(row));
        writeText(path, "[Parameters]\nScale=" + row.text + "\n");
        setParam("Scale", Untouched);
        _loadParams(path.c_str());
        EXPECT_EQ(reading(_getParamValue(m_scale)), reading(row.value.value_or(Untouched)));
    }
}

TEST_F(numbers, the_front_end_and_tessra_run_read_by_the_table)
{
    for (const Row& row : m_rows) {
        SCOPED_TRACE(shown(row));
        const QString text = QString::fromUtf8(row.text);
        EXPECT_EQ(reading(parseNumber(text)), reading(row.value));
        EXPECT_EQ(reading(parseNumber(text, QLocale::c())), reading(row.value));
        EXPECT_EQ(reading(readNumber(text)), reading(row.value));
        EXPECT_EQ(reading(readFileNumber(text)), reading(row.value));
    }
}

TEST_F(numbers, tessra_run_sets_by_the_table)
{
    for (const Row& row : m_rows) {
        SCOPED_TRACE(shown(row));
        QProcess run;
        run.start(QStringLiteral(TESSRA_RUN_PROGRAM),
            { QString::fromStdString(fixtureModel("apiprobe")), QStringLiteral("--set"),
                QStringLiteral("Scale=") + QString::fromUtf8(row.text), QStringLiteral("--ticks"),
                QStringLiteral("1"), QStringLiteral("--series"), QStringLiteral("Scale") });
        ASSERT_TRUE(run.waitForFinished(60000));
        const QString out = QString::fromUtf8(run.readAllStandardOutput());
        const QString error = QString::fromUtf8(run.readAllStandardError());
        if (!row.value) {
            EXPECT_EQ(run.exitCode(), 2) << error.toStdString();
            EXPECT_TRUE(error.contains(QStringLiteral("is not a number"))) << error.toStdString();
            EXPECT_TRUE(out.isEmpty()) << out.toStdString();
            continue;
        }
        EXPECT_EQ(run.exitCode(), 0) << error.toStdString();
        char number[GeneralNumberMaxLength];
        const std::string value(number, formatExportNumber(number, *row.value));
        EXPECT_TRUE(out.contains(QStringLiteral("\t\tScale = ") + QString::fromStdString(value)))
            << value << "\n"
            << out.toStdString();
    }
}
