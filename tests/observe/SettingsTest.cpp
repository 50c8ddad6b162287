#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <functional>
#include <random>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "CommandError.h"
#include "ObserveTestSupport.h"
#include "OrdinaryUser.h"
#include "TimeSeriesRecorder.h"
#include "TimeSeriesSettings.h"

using namespace tessra;

namespace {

// Life: parameters Width, Height, Density, Seed; states Alive (0), Age (1).
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        ASSERT_TRUE(test::loadModel(test::exampleModel("life")));
    }

    QString path(const char* name) const { return QDir(folder.path()).filePath(name); }

    QString loadError(const QString& file)
    {
        try {
            recorder.loadTimeSeries(file);
        } catch (const CommandError& error) {
            return error.message();
        }
        return QString();
    }

    QTemporaryDir folder;
    TimeSeriesRecorder recorder { ModelApi() };
    SeriesTable& table = recorder.table();
};

} // namespace

TEST_F(SettingsTest, a_saved_selection_comes_back_in_list_order)
{
    table.addSeries(SeriesTable::Minimum, 0);
    table.addSeries(SeriesTable::Average, 1);
    table.addSeries(SeriesTable::Parameter, 2);
    table.removeSeriesAtRow(0); // "Average Age" in slot 1, "Density" in slot 2
    const QString file = path("a.ini");
    recorder.saveTimeSeries(file);
    EXPECT_EQ(test::readFile(file), "[Time Series]\nCount=2\n0=Average Age\n1=Density\n");

    table.addSeries(SeriesTable::Kurtosis, 0);
    recorder.loadTimeSeries(file);
    EXPECT_EQ(table.labels(), QStringList({ "Average Age", "Density" }));
    EXPECT_EQ(table.listRow(0), 0); // slots 0 and 1 now, in list order
    EXPECT_EQ(table.label(0), "Average Age");
    EXPECT_EQ(table.label(1), "Density");
    EXPECT_EQ(table.operation(1), SeriesTable::Parameter);
    EXPECT_EQ(table.subject(1), 2);
}

TEST_F(SettingsTest, a_shorter_list_leaves_the_old_higher_key_unread)
{
    table.addSeries(SeriesTable::Minimum, 0);
    table.addSeries(SeriesTable::Maximum, 0);
    table.addSeries(SeriesTable::Average, 0);
    const QString file = path("b.ini");
    recorder.saveTimeSeries(file);
    table.removeSeriesAtRow(1);
    recorder.saveTimeSeries(file);
    EXPECT_EQ(test::readFile(file),
        "[Time Series]\nCount=2\n0=Minimum Alive\n1=Average Alive\n2=Average Alive\n");
    recorder.loadTimeSeries(file);
    EXPECT_EQ(table.labels(), QStringList({ "Minimum Alive", "Average Alive" }));
}

TEST_F(SettingsTest, other_sections_keys_and_comments_survive)
{
    const QString file = path("c.ini");
    test::writeFile(file,
        "; written by hand\n[Parameters]\nWidth=64\n\n; my graph\n"
        "[time series]\ncount=5\nColour=red\n3=Maximum Age\n\n"
        "[Other]\nkey=value\n");
    table.addSeries(SeriesTable::Parameter, 3);
    recorder.saveTimeSeries(file);
    const std::string text = test::readFile(file);
    EXPECT_NE(text.find("; written by hand"), std::string::npos) << text;
    EXPECT_NE(text.find("[Parameters]\nWidth=64\n"), std::string::npos) << text;
    EXPECT_NE(text.find("; my graph\n[time series]\n"), std::string::npos) << text;
    EXPECT_NE(text.find("count=1\nColour=red\n3=Maximum Age\n0=Seed\n"), std::string::npos) << text;
    EXPECT_NE(text.find("[Other]\nkey=value\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("Count="), std::string::npos) << text; // one Count, whatever its case

    recorder.loadTimeSeries(file);
    EXPECT_EQ(table.labels(), QStringList({ "Seed" }));
    recorder.saveTimeSeries(file); // saving again changes nothing
    EXPECT_EQ(test::readFile(file), text);
}

TEST_F(SettingsTest, labels_that_name_nothing_are_skipped)
{
    const QString file = path("d.ini");
    test::writeFile(file,
        "[Time Series]\nCount=9\n"
        "0=Average Alive\n1=Average Colour\n2=average Age\n3=density\n"
        "4=\n5=Maximum\n6=Parameter Seed\n7=Variance Age\n8=Width\n"
        "9=Minimum Age\n");
    recorder.loadTimeSeries(file);
    // 9 lies beyond Count; "Parameter Seed" names the parameter Seed.
    EXPECT_EQ(table.labels(), QStringList({ "Average Alive", "Seed", "Variance Age", "Width" }));
}

TEST_F(SettingsTest, a_refused_entry_ends_the_restore)
{
    const QString file = path("e.ini");
    test::writeFile(file,
        "[Time Series]\nCount=4\n0=Average Alive\n1=Density\n"
        "2=Average Alive\n3=Minimum Age\n");
    EXPECT_EQ(loadError(file), "Operation/state pair already being plotted");
    EXPECT_EQ(table.labels(), QStringList({ "Average Alive", "Density" }));
}

TEST_F(SettingsTest, no_section_or_no_file_removes_every_series)
{
    const QString file = path("f.ini");
    test::writeFile(file, "[Parameters]\nWidth=64\n");
    table.addSeries(SeriesTable::Average, 0);
    EXPECT_EQ(loadError(file), QString());
    EXPECT_EQ(table.count(), 0);

    table.addSeries(SeriesTable::Average, 0);
    EXPECT_EQ(loadError(path("missing.ini")), QString());
    EXPECT_EQ(table.count(), 0);
    EXPECT_FALSE(QFile::exists(path("missing.ini")));
}

TEST_F(SettingsTest, counts_that_are_no_number_or_huge)
{
    const QString file = path("g.ini");
    test::writeFile(file, "[Time Series]\nCount=two\n0=Average Alive\n");
    recorder.loadTimeSeries(file);
    EXPECT_EQ(table.count(), 0);
    test::writeFile(file, "[Time Series]\nCount=2147483647\n0=Average Alive\n1000000=Density\n");
    recorder.loadTimeSeries(file);
    EXPECT_EQ(table.labels(), QStringList({ "Average Alive", "Density" }));
    test::writeFile(file, "[Time Series]\nCount=-3\n0=Average Alive\n");
    recorder.loadTimeSeries(file);
    EXPECT_EQ(table.count(), 0);
}

TEST_F(SettingsTest, opening_failures)
{
    table.addSeries(SeriesTable::Average, 0);
    EXPECT_EQ(loadError(folder.path()), "Error opening .ini file in loadTimeSeries()");
    EXPECT_EQ(table.count(), 0); // removed before the file was opened

    table.addSeries(SeriesTable::Average, 0);
    const auto saveError = [&](const QString& file) {
        try {
            recorder.saveTimeSeries(file);
        } catch (const CommandError& error) {
            return error.message();
        }
        return QString();
    };
    EXPECT_EQ(saveError(folder.path()),
        "Error opening .ini file in saveTimeSeries(): cannot write \"" + folder.path()
            + "\": it is a folder, not a settings file");
    EXPECT_EQ(saveError(path("no/such/folder/h.ini")),
        "Error opening .ini file in saveTimeSeries(): cannot write \""
            + path("no/such/folder/h.ini") + "\": its folder does not exist");
    EXPECT_EQ(saveError(QString()), "Error opening .ini file in saveTimeSeries()");
    EXPECT_EQ(saveError(path("h.ini")), QString());
}

TEST(settings_labels, an_operation_name_inside_a_state_name)
{
    // stats: states "x" and "Average x"; parameters v0 .. v3 and Width.
    ASSERT_TRUE(test::loadModel(test::fixtureModel("stats")));
    QTemporaryDir folder;
    const QString file = QDir(folder.path()).filePath("stats.ini");
    test::writeFile(file,
        "[Time Series]\nCount=5\n0=Minimum Average x\n1=Average x\n"
        "2=Average Average x\n3=v2\n4=Minimum X\n");
    TimeSeriesRecorder recorder { ModelApi() };
    recorder.loadTimeSeries(file);
    const SeriesTable& table = recorder.table();
    EXPECT_EQ(table.labels(),
        QStringList({ "Minimum Average x", "Average x", "Average Average x", "v2" }));
    EXPECT_EQ(table.operation(0), SeriesTable::Minimum);
    EXPECT_EQ(table.subject(0), test::stateIndex("Average x"));
    EXPECT_EQ(table.operation(1), SeriesTable::Average);
    EXPECT_EQ(table.subject(1), test::stateIndex("x"));
    EXPECT_EQ(table.subject(2), test::stateIndex("Average x"));
    EXPECT_EQ(table.operation(3), SeriesTable::Parameter);
}

namespace {

// Both sections of a settings file as one of two saves left them.
struct SavedState {
    double density;
    const char* series;
};

constexpr SavedState StateA { 0.125, "[Time Series]\nCount=1\n0=Average Alive\n" };
constexpr SavedState StateB { 0.25, "[Time Series]\nCount=2\n0=Minimum Age\n1=Density\n" };

// Which state the file holds: 'A', 'B', or '?' for a mixture or anything else.
char stateOf(const std::string& text, const std::string& note)
{
    if (text.rfind(note, 0) != 0)
        return '?';
    for (const auto& [state, name] : { std::pair { StateA, 'A' }, std::pair { StateB, 'B' } }) {
        const std::string density
            = "Density=" + QString::number(state.density).toStdString() + "\n";
        if (text.find(density) != std::string::npos && text.find(state.series) != std::string::npos)
            return name;
    }
    return '?';
}

} // namespace

TEST_F(SettingsTest, parameters_and_series_are_saved_in_one_replacement)
{
    const QString file = path("s.ini");
    const std::string note = "Run 3 used a higher density\n[Broken\n\n";
    test::writeFile(file, note);
    TimeSeriesRecorder second { ModelApi() };
    table.addSeries(SeriesTable::Average, 0);
    second.table().addSeries(SeriesTable::Minimum, 1);
    second.table().addSeries(SeriesTable::Parameter, 2);
    test::setParam("Density", StateA.density);
    TimeSeriesSettings::saveSettingsFile(table, file);
    const std::string saved = test::readFile(file);
    ASSERT_EQ(stateOf(saved, note), 'A') << saved;
    EXPECT_LT(saved.find("[Parameters]"), saved.find("[Time Series]"));

    // Save after save, killed at any moment: the file always holds one whole
    // state, never new parameters with old series; no temporary file stays
    // beyond the next save.
    std::mt19937 random(7);
    int leftovers = 0;
    for (int kill = 0; kill < 300; ++kill) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            try {
                for (;;) {
                    test::setParam("Density", StateB.density);
                    TimeSeriesSettings::saveSettingsFile(second.table(), file);
                    test::setParam("Density", StateA.density);
                    TimeSeriesSettings::saveSettingsFile(table, file);
                }
            } catch (...) {
            }
            ::_exit(1);
        }
        ::usleep(std::uniform_int_distribution<unsigned>(0, 3000)(random));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving process failed";
        const std::string text = test::readFile(file);
        ASSERT_NE(stateOf(text, note), '?') << "after kill " << kill << ":\n" << text;
        const int others
            = static_cast<int>(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden).size())
            - 1;
        ASSERT_LE(others, 1) << "after kill " << kill;
        leftovers += others;
    }
    std::printf("temporary files seen after 300 kills: %d\n", leftovers);
    test::setParam("Density", StateB.density);
    TimeSeriesSettings::saveSettingsFile(second.table(), file);
    EXPECT_EQ(stateOf(test::readFile(file), note), 'B');
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "s.ini" });
}

TEST_F(SettingsTest, a_refused_save_names_the_file_and_changes_nothing)
{
    // A folder everyone may write, holding a file the ordinary user may not.
    ::chmod(QFile::encodeName(folder.path()).constData(), 0777);
    const QString file = path("read-only.ini");
    const std::string old = "; mine\n[Parameters]\nDensity=0.5\n\n[Time Series]\nCount=0\n";
    test::writeFile(file, old);
    ::chmod(QFile::encodeName(file).constData(), 0444);
    table.addSeries(SeriesTable::Average, 0);
    const auto error = [&](const std::function<void()>& save) {
        try {
            save();
        } catch (const CommandError& failure) {
            return failure.message().toStdString();
        }
        return std::string("saved");
    };
    const std::optional<std::string> messages = test::asOrdinaryUser([&] {
        return error([&] { TimeSeriesSettings::saveSettingsFile(table, file); }) + "\n"
            + error([&] { recorder.saveTimeSeries(file); }) + "\n";
    });
    ASSERT_TRUE(messages);
    const std::string expected = "Error opening .ini file in saveTimeSeries(): cannot write \""
        + file.toStdString() + "\": the file is read-only for this user (permission denied)\n";
    EXPECT_EQ(*messages, expected + expected);
    EXPECT_EQ(test::readFile(file), old);
    EXPECT_EQ(
        QDir(folder.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "read-only.ini" });
}

namespace {

std::string lowerTrimmed(std::string text)
{
    const auto begin = text.find_first_not_of(" \t");
    const auto end = text.find_last_not_of(" \t");
    text = begin == std::string::npos ? std::string() : text.substr(begin, end - begin + 1);
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// The file without the entry lines of the named sections (lower case), as a
// reader of this test's own sees them: lines end at "\n", a header is "["
// name "]" after blanks, an entry has a name before "=". A missing final
// line end is added, so a file that ended in the middle of a line compares
// equal once a save has ended it.
std::string outside(const std::string& text, const std::vector<std::string>& sections)
{
    std::string kept;
    bool inside = false;
    for (std::size_t begin = 0; begin < text.size();) {
        std::size_t end = text.find('\n', begin);
        end = end == std::string::npos ? text.size() : end + 1;
        std::string line = text.substr(begin, end - begin);
        begin = end;
        std::string content = line;
        while (!content.empty() && content.back() == '\n')
            content.pop_back();
        if (!content.empty() && content.back() == '\r')
            content.pop_back();
        const std::string bare = lowerTrimmed(content);
        const bool header = !bare.empty() && bare[0] == '[' && bare.find(']') != std::string::npos;
        if (header) {
            const std::string name = lowerTrimmed(bare.substr(1, bare.find(']') - 1));
            inside = std::find(sections.begin(), sections.end(), name) != sections.end();
        }
        const std::size_t equals = bare.find('=');
        const bool entry = !header && !bare.empty() && bare[0] != ';' && bare[0] != '#'
            && equals != std::string::npos && !lowerTrimmed(bare.substr(0, equals)).empty();
        if (inside && entry)
            continue;
        // The last line gets a line end when something is written after it;
        // one ending in "\r" gets "\r\n", so the "\r" stays part of it.
        if (line.back() != '\n')
            line += line.back() == '\r' ? "\r\n" : "\n";
        kept += line;
    }
    return kept;
}

} // namespace

TEST_F(SettingsTest, random_files_keep_every_line_outside_the_sections_a_save_writes)
{
    static const char* const lines[] = { "; note", "# note", "Run 3 used a higher density",
        "[Broken", "[X] d", "[X]", "d=1", " d = 2 ", "Count=7", "0=Average Alive", "count=3",
        "[Time Series]", "[ time series ]", "[Time Series] extra", "; a\rCount=9", "", "   ", "=5",
        "[Other", "2=Minimum Age", "[Parameters]", "[parameters]", "Density=0.9", "x=y=z",
        "\t0=Seed", "Seed\r=4", "[Time Series", "1=Average Age\r" };
    std::mt19937 random(11);
    const auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
    table.addSeries(SeriesTable::Average, 0);
    table.addSeries(SeriesTable::Parameter, 3);
    const QString file = path("random.ini");
    for (int round = 0; round < 150; ++round) {
        std::string text;
        for (int n = pick(14); n > 0; --n)
            text += std::string(lines[pick(std::size(lines))]) + (pick(4) == 0 ? "\r\n" : "\n");
        if (pick(3) == 0)
            text += lines[pick(std::size(lines))]; // no line end at the end
        test::writeFile(file, text);
        const bool both = round % 2 == 1;
        if (both)
            TimeSeriesSettings::saveSettingsFile(table, file);
        else
            recorder.saveTimeSeries(file);
        const std::string saved = test::readFile(file);
        const std::vector<std::string> sections = both
            ? std::vector<std::string> { "time series", "parameters" }
            : std::vector<std::string> { "time series" };
        const std::string before = outside(text, sections);
        const std::string after = outside(saved, sections);
        // A section the file lacked is added at its end.
        ASSERT_EQ(after.substr(0, before.size()), before) << "round " << round << ":\n"
                                                          << text << "\n---\n"
                                                          << saved;
        ASSERT_EQ(after.find_first_not_of("\n", before.size()) == std::string::npos
                || after.find("[", before.size()) != std::string::npos,
            true)
            << saved;

        // What was saved reads back, and saving again changes nothing.
        recorder.loadTimeSeries(file);
        ASSERT_EQ(table.labels(), QStringList({ "Average Alive", "Seed" })) << saved;
        if (both)
            TimeSeriesSettings::saveSettingsFile(table, file);
        else
            recorder.saveTimeSeries(file);
        ASSERT_EQ(test::readFile(file), saved);
    }
}
