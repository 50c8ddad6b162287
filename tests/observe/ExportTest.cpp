#include <gtest/gtest.h>

#include <QDir>
#include <QLocale>
#include <QProcess>
#include <QTemporaryDir>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "CommandError.h"
#include "ObserveTestSupport.h"
#include "TimeSeriesRecorder.h"

using namespace tessra;

namespace {

// A tick as the export writes it: "%lg" when that reads back to the tick, else
// the fewest significant digits that do.
std::string exactTick(double tick)
{
    char text[64];
    for (int digits = 6; digits <= 17; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", digits, tick);
        if (std::strtod(text, nullptr) == tick)
            break;
    }
    return text;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

// Life: parameters Width, Height, Density, Seed; states Alive (0), Age (1).
class ExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(test::loadModel(test::exampleModel("life")));
        recorder.setAppendQuestion([this](const QString&) {
            ++questions;
            return answer;
        });
    }

    QString path(const char* name) const { return QDir(folder.path()).filePath(name); }

    QString exportError(const QString& file, int mode, double from = -1.0, double to = -1.0)
    {
        try {
            recorder.exportTimeSeries(file, mode, from, to);
        } catch (const CommandError& error) {
            return error.message();
        }
        return QString();
    }

    // The header the block must start with, up to the date line.
    std::vector<std::string> expectedHeaderStart() const
    {
        return { "", "#\tTessra v1.9 - Time Series",
            "#\t" + model.aboutModel(0) + " " + model.aboutModel(1) };
    }

    // The data lines of the last block of a file (after "#\tColumns:" and its column lines).
    static std::vector<std::string> dataLines(const std::string& text)
    {
        std::vector<std::string> all = lines(text);
        std::vector<std::string> data;
        for (const std::string& line : all) {
            if (line.empty() || line[0] == '#')
                data.clear();
            else
                data.push_back(line);
        }
        return data;
    }

    QTemporaryDir folder;
    ModelApi model;
    TimeSeriesRecorder recorder { ModelApi() };
    SeriesTable& table = recorder.table();
    AppendAnswer answer = AppendAnswer::Yes;
    int questions = 0;
};

} // namespace

TEST_F(ExportTest, block_with_header_dashes_and_trailing_tabs)
{
    test::setParam("Density", 0.25);
    table.addSeries(SeriesTable::Parameter, 0); // Width
    recorder.recordTimeSeries(0.0);
    recorder.recordTimeSeries(1.0);
    table.addSeries(SeriesTable::Parameter, 2); // Density, added during the run
    recorder.recordTimeSeries(2.0);

    const QString file = path("a.dat");
    ASSERT_EQ(exportError(file, TimeSeriesExport::AskToAppend), QString());
    EXPECT_EQ(questions, 0); // a new file: nothing to ask
    const std::vector<std::string> text = lines(test::readFile(file));
    const std::vector<std::string> start = expectedHeaderStart();
    ASSERT_GT(text.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(text.begin(), text.begin() + 3), start);
    EXPECT_EQ(text[3].substr(0, 2), "#\t");
    EXPECT_GT(text[3].size(), 10u); // date and time

    std::vector<std::string> rest { "#\tParameters:" };
    for (int i = 0; i < model.paramCount(); ++i) {
        char value[64];
        std::snprintf(value, sizeof value, "%lg", model.paramValue(i));
        rest.push_back("#\t\t" + model.paramLabel(i) + " = " + value);
    }
    const std::string width = std::to_string(int(model.paramValue(0)));
    const std::vector<std::string> tail { "#\tColumns:", "#\t\t1 = Tick (Time)", "#\t\t2 = Width",
        "#\t\t3 = Density", "0\t" + width + "\t-\t", "1\t" + width + "\t-\t",
        "2\t" + width + "\t0.25\t" };
    rest.insert(rest.end(), tail.begin(), tail.end());
    EXPECT_EQ(std::vector<std::string>(text.begin() + 4, text.end()), rest);
    EXPECT_EQ(test::readFile(file).back(), '\n');
}

TEST_F(ExportTest, columns_follow_the_slot_order)
{
    table.addSeries(SeriesTable::Parameter, 0); // slot 0
    table.addSeries(SeriesTable::Parameter, 1); // slot 1
    table.removeSeriesAtRow(0);
    table.addSeries(SeriesTable::Parameter, 3); // slot 0 again, listed last
    EXPECT_EQ(table.labels(), QStringList({ "Height", "Seed" }));
    test::setParam("Seed", 7);
    test::setParam("Height", 64);
    recorder.recordTimeSeries(0.0);

    const QString file = path("b.dat");
    ASSERT_EQ(exportError(file, TimeSeriesExport::Overwrite), QString());
    const std::string text = test::readFile(file);
    EXPECT_NE(text.find("#\t\t1 = Tick (Time)\n#\t\t2 = Seed\n#\t\t3 = Height\n0\t7\t64\t\n"),
        std::string::npos)
        << text;
}

TEST_F(ExportTest, values_have_six_significant_digits_and_ticks_read_back_exactly)
{
    table.addSeries(SeriesTable::Parameter, 2); // Density
    const double ticks[]
        = { 3.1, 123456.5, 999999, 1000000, 1000001, 1000002, 1234567, 10000000.25 };
    const double values[] = { 1.0 / 3.0, 0, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6 };
    for (std::size_t i = 0; i < std::size(ticks); ++i) {
        test::setParam("Density", values[i]);
        recorder.recordTimeSeries(ticks[i]);
    }
    const QString file = path("c.dat");
    ASSERT_EQ(exportError(file, TimeSeriesExport::Overwrite), QString());
    const std::vector<std::string> rows = dataLines(test::readFile(file));
    EXPECT_EQ(rows,
        (std::vector<std::string> { "3.1\t0.333333\t", "123456.5\t0\t", "999999\t0.1\t",
            "1e+06\t0.2\t", "1000001\t0.3\t", "1000002\t0.4\t", "1234567\t0.5\t",
            "10000000.25\t0.6\t" }));
    // Every tick reads back to the tick recorded.
    for (std::size_t i = 0; i < rows.size() && i < std::size(ticks); ++i) {
        double back = 0;
        const std::string tick = rows[i].substr(0, rows[i].find('\t'));
        std::from_chars(tick.data(), tick.data() + tick.size(), back);
        EXPECT_EQ(back, ticks[i]) << tick;
    }
}

TEST_F(ExportTest, parameter_labels_are_written_without_markup)
{
    // Forest fire labels its parameters "Growth <i>p</i>" and "Lightning <i>f</i>".
    ASSERT_TRUE(test::loadModel(test::exampleModel("forestfire")));
    table.addSeries(SeriesTable::Parameter, 0);
    recorder.recordTimeSeries(0.0);
    const QString file = path("labels.dat");
    ASSERT_EQ(exportError(file, TimeSeriesExport::Overwrite), QString());
    const std::string text = test::readFile(file);
    EXPECT_NE(text.find("#\t\tGrowth p = "), std::string::npos) << text;
    EXPECT_NE(text.find("#\t\tLightning f = "), std::string::npos) << text;
    EXPECT_EQ(text.find('<'), std::string::npos) << text;
}

TEST_F(ExportTest, tick_range_leaves_rows_out)
{
    table.addSeries(SeriesTable::Parameter, 0);
    for (int t = 0; t < 6; ++t)
        recorder.recordTimeSeries(t);
    table.addSeries(SeriesTable::Parameter, 3);
    recorder.recordTimeSeries(2.5);
    const QString file = path("d.dat");
    ASSERT_EQ(exportError(file, TimeSeriesExport::Overwrite, 2.0, 3.0), QString());
    const std::string w = std::to_string(int(model.paramValue(0)));
    const std::string s = std::to_string(int(model.paramValue(3)));
    EXPECT_EQ(dataLines(test::readFile(file)),
        (std::vector<std::string> {
            "2\t" + w + "\t-\t", "2.5\t" + w + "\t" + s + "\t", "3\t" + w + "\t-\t" }));
    ASSERT_EQ(exportError(file, TimeSeriesExport::Overwrite, 4.0, -1.0), QString());
    EXPECT_EQ(dataLines(test::readFile(file)).size(), 2u); // ticks 4 and 5
}

TEST_F(ExportTest, append_question_and_modes)
{
    table.addSeries(SeriesTable::Parameter, 0);
    recorder.recordTimeSeries(0.0);
    const QString file = path("e.dat");
    ASSERT_EQ(exportError(file, TimeSeriesExport::AskToAppend), QString());
    const std::string one = test::readFile(file);

    answer = AppendAnswer::Yes;
    ASSERT_EQ(exportError(file, TimeSeriesExport::AskToAppend), QString());
    EXPECT_EQ(questions, 1);
    std::string two = test::readFile(file);
    EXPECT_EQ(two.size(), 2 * one.size());
    EXPECT_EQ(two.substr(0, one.size()), one);
    EXPECT_EQ(two[one.size()], '\n'); // the second block starts with an empty line

    answer = AppendAnswer::No;
    ASSERT_EQ(exportError(file, TimeSeriesExport::AskToAppend), QString());
    EXPECT_EQ(test::readFile(file).size(), one.size());

    answer = AppendAnswer::Cancel;
    test::writeFile(file, "keep me\n");
    EXPECT_EQ(exportError(file, TimeSeriesExport::AskToAppend), "No data recorded.");
    EXPECT_EQ(test::readFile(file), "keep me\n");
    EXPECT_EQ(questions, 3);

    // Automation's modes never ask.
    ASSERT_EQ(exportError(file, TimeSeriesExport::Append), QString());
    EXPECT_EQ(test::readFile(file).size(), 8 + one.size());
    ASSERT_EQ(exportError(file, TimeSeriesExport::Overwrite), QString());
    EXPECT_EQ(test::readFile(file).size(), one.size());
    ASSERT_EQ(exportError(file, 7), QString()); // any other mode overwrites
    EXPECT_EQ(test::readFile(file).size(), one.size());
    EXPECT_EQ(questions, 3);
}

TEST_F(ExportTest, failures)
{
    const QString file = path("f.dat");
    EXPECT_EQ(exportError(file, TimeSeriesExport::AskToAppend), "No data series to export!");
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(questions, 0);

    // Series without samples: a header and no rows.
    table.addSeries(SeriesTable::Average, 0);
    ASSERT_EQ(exportError(file, TimeSeriesExport::Overwrite), QString());
    const std::string text = test::readFile(file);
    const std::string last = "\n#\t\t2 = Average Alive\n";
    EXPECT_EQ(text.substr(text.size() - last.size()), last);

    // A file that cannot be written names the file and the reason.
    const QString missing = path("no/such/folder/g.dat");
    EXPECT_EQ(exportError(missing, TimeSeriesExport::Overwrite),
        "Cannot write the file " + missing + ": No such file or directory");
    EXPECT_EQ(exportError(QString(), TimeSeriesExport::Overwrite), "No data recorded.");
    if (QFile::exists("/dev/full")) { // every write fails there with "no space left"
        EXPECT_EQ(exportError("/dev/full", TimeSeriesExport::Overwrite),
            "Error closing file /dev/full: No space left on device");
    }
}

TEST_F(ExportTest, nan_and_infinity)
{
    table.addSeries(SeriesTable::Parameter, 2);
    recorder.table().addSeries(SeriesTable::Parameter, 3);
    table.addSample(0, 0.0, std::numeric_limits<double>::quiet_NaN());
    table.addSample(0, 1.0, -std::numeric_limits<double>::quiet_NaN());
    table.addSample(1, 1.0, std::numeric_limits<double>::infinity());
    table.addSample(1, 2.0, -std::numeric_limits<double>::infinity());
    const QString file = path("h.dat");
    ASSERT_EQ(exportError(file, TimeSeriesExport::Overwrite), QString());
    EXPECT_EQ(dataLines(test::readFile(file)),
        (std::vector<std::string> { "0\tnan\t-\t", "1\tnan\tinf\t", "2\t-\t-inf\t" }));
}

TEST_F(ExportTest, large_export_matches_printf)
{
    // Enough rows to pass through the write buffer several times.
    table.addSeries(SeriesTable::Parameter, 0);
    table.addSeries(SeriesTable::Parameter, 1);
    std::string expected;
    char text[64];
    for (int row = 0; row < 300000; ++row) {
        const double tick = row * 0.37;
        const double a = std::sin(row * 0.01) * 1e-3 * row;
        table.addSample(0, tick, a);
        std::snprintf(text, sizeof text, "%lg\t", a);
        expected += exactTick(tick) + "\t" + text;
        if (row % 3 == 0) {
            const double b = row * 1e3 + 0.5;
            table.addSample(1, tick, b);
            std::snprintf(text, sizeof text, "%lg\t\n", b);
            expected += text;
        } else {
            expected += "-\t\n";
        }
    }
    const QString file = path("i.dat");
    ASSERT_EQ(exportError(file, TimeSeriesExport::Overwrite), QString());
    const std::string written = test::readFile(file);
    const std::string columns = "#\t\t3 = Height\n";
    const auto at = written.find(columns);
    ASSERT_NE(at, std::string::npos);
    EXPECT_TRUE(written.compare(at + columns.size(), std::string::npos, expected) == 0);
}

TEST(export_without_parameters, parameters_line_then_columns)
{
    ASSERT_TRUE(test::loadModel(test::fixtureModel("noparams")));
    QTemporaryDir folder;
    TimeSeriesRecorder recorder { ModelApi() };
    ModelApi().newAgents();
    recorder.table().addSeries(SeriesTable::Maximum, test::stateIndex("index"));
    recorder.recordTimeSeries(0.0);
    const QString file = QDir(folder.path()).filePath("noparams.dat");
    recorder.exportTimeSeries(file, TimeSeriesExport::Overwrite);
    const std::string text = test::readFile(file);
    EXPECT_NE(text.find("\n#\tParameters:\n#\tColumns:\n#\t\t1 = Tick (Time)\n"
                        "#\t\t2 = Maximum index\n0\t15\t\n"),
        std::string::npos)
        << text;
}

// In a locale whose decimal separator is a comma, printf would write "0,5";
// the export still writes "0.5".
TEST(export_in_a_comma_locale, writes_a_point)
{
    QTemporaryDir folder;
    const QString locales = QDir(folder.path()).filePath("locales");
    QDir().mkpath(locales);
    const int built = QProcess::execute(
        "localedef", { "-i", "de_DE", "-f", "UTF-8", QDir(locales).filePath("de_DE.UTF-8") });
    if (built != 0 && built != 1) // 1: built with warnings
        GTEST_SKIP() << "localedef cannot build de_DE here";
    qputenv("LOCPATH", locales.toLocal8Bit());
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "the de_DE locale does not load";
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    char probe[16];
    std::snprintf(probe, sizeof probe, "%g", 0.5);
    EXPECT_STREQ(probe, "0,5");

    ASSERT_TRUE(test::loadModel(test::exampleModel("life")));
    TimeSeriesRecorder recorder { ModelApi() };
    recorder.table().addSeries(SeriesTable::Parameter, test::paramIndex("Density"));
    recorder.table().addSample(0, 2.5, 0.3);
    const QString file = QDir(folder.path()).filePath("comma.dat");
    recorder.exportTimeSeries(file, TimeSeriesExport::Overwrite);
    const std::string text = test::readFile(file);

    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(QLocale::c());
    qunsetenv("LOCPATH");
    EXPECT_NE(text.find("\n2.5\t0.3\t\n"), std::string::npos) << text;
    EXPECT_EQ(text.find(','), std::string::npos) << text;
}
