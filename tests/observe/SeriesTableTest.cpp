#include <gtest/gtest.h>

#include <QSignalSpy>

#include <random>
#include <set>

#include "CommandError.h"
#include "ObserveTestSupport.h"
#include "SeriesTable.h"

using namespace tessra;

namespace {

// Life: parameters Width, Height, Density, Seed; states Alive, Age.
class SeriesTableTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(test::loadModel(test::exampleModel("life"))); }

    static QString refusal(const std::function<void()>& command)
    {
        try {
            command();
        } catch (const CommandError& error) {
            return error.message();
        }
        return QStringLiteral("<accepted>");
    }

    // The invariants every change must keep.
    void expectConsistent() const
    {
        std::set<std::pair<int, int>> pairs;
        std::set<int> rows;
        int used = 0;
        for (int slot = 0; slot < SeriesTable::SlotCount; ++slot) {
            if (!table.isUsed(slot)) {
                EXPECT_EQ(table.subject(slot), -1);
                EXPECT_EQ(table.listRow(slot), -1);
                EXPECT_TRUE(table.samples(slot).empty());
                continue;
            }
            ++used;
            EXPECT_TRUE(pairs.insert({ table.operation(slot), table.subject(slot) }).second);
            EXPECT_TRUE(rows.insert(table.listRow(slot)).second);
            EXPECT_EQ(table.slotAtRow(table.listRow(slot)), slot);
        }
        EXPECT_EQ(used, table.count());
        if (!rows.empty()) {
            EXPECT_EQ(*rows.begin(), 0);
            EXPECT_EQ(*rows.rbegin(), used - 1);
        }
    }

    SeriesTable table { ModelApi() };
};

} // namespace

TEST_F(SeriesTableTest, lists_and_labels)
{
    EXPECT_EQ(SeriesTable::operationNames(),
        QStringList(
            { "Minimum", "Maximum", "Average", "Variance", "Skewness", "Kurtosis", "Parameter" }));
    EXPECT_EQ(table.subjectNames(SeriesTable::Average), QStringList({ "Alive", "Age" }));
    EXPECT_EQ(table.subjectNames(SeriesTable::Parameter),
        QStringList({ "Width", "Height", "Density", "Seed" }));
    EXPECT_TRUE(table.subjectNames(-1).isEmpty());
    EXPECT_TRUE(table.subjectNames(7).isEmpty());

    table.addSeries(SeriesTable::Average, 1);
    table.addSeries(SeriesTable::Parameter, 2);
    table.addSeries(SeriesTable::Kurtosis, 0);
    EXPECT_EQ(table.labels(), QStringList({ "Average Age", "Density", "Kurtosis Alive" }));
    EXPECT_EQ(table.label(1), "Density");
}

TEST_F(SeriesTableTest, refusals_change_nothing)
{
    const QString select = "Select an operation/state pair to plot";
    EXPECT_EQ(refusal([&] { table.addSeries(-1, 0); }), select);
    EXPECT_EQ(refusal([&] { table.addSeries(SeriesTable::Average, -1); }), select);
    EXPECT_EQ(refusal([&] { table.addSeries(7, 0); }), select);
    EXPECT_EQ(refusal([&] { table.addSeries(SeriesTable::Minimum, 2); }), select); // 2 states
    EXPECT_EQ(refusal([&] { table.addSeries(SeriesTable::Parameter, 4); }), select);
    EXPECT_EQ(table.count(), 0);

    table.addSeries(SeriesTable::Average, 0);
    EXPECT_EQ(refusal([&] { table.addSeries(SeriesTable::Average, 0); }),
        "Operation/state pair already being plotted");
    EXPECT_EQ(table.addSeries(SeriesTable::Variance, 0), 1); // another operation: another series
    EXPECT_EQ(table.addSeries(SeriesTable::Parameter, 0), 2); // same index, other kind

    const QString remove = "Select a series to remove";
    EXPECT_EQ(refusal([&] { table.removeSeriesAtRow(-1); }), remove);
    EXPECT_EQ(refusal([&] { table.removeSeriesAtRow(3); }), remove);
    EXPECT_EQ(table.count(), 3);
    expectConsistent();

    // Without a model nothing can be selected.
    ModelApi().loadModel("/nonexistent/model.so");
    EXPECT_EQ(refusal([&] { table.addSeries(SeriesTable::Average, 1); }), select);
}

TEST_F(SeriesTableTest, a_removed_slot_is_reused_but_listed_last)
{
    QSignalSpy added(&table, &SeriesTable::seriesAdded);
    QSignalSpy removed(&table, &SeriesTable::seriesRemoved);
    table.addSeries(SeriesTable::Minimum, 0);
    table.addSeries(SeriesTable::Maximum, 0);
    table.addSeries(SeriesTable::Average, 0);
    table.addSample(1, 0.0, 5.0);
    table.removeSeriesAtRow(1);
    ASSERT_EQ(removed.count(), 1);
    EXPECT_EQ(removed[0], QVariantList({ 1, 1 }));
    EXPECT_TRUE(table.samples(1).empty());
    EXPECT_EQ(table.listRow(2), 1); // moved up

    EXPECT_EQ(table.addSeries(SeriesTable::Maximum, 0), 1); // same pair again: empty list
    EXPECT_TRUE(table.samples(1).empty());
    EXPECT_EQ(table.listRow(1), 2);
    EXPECT_EQ(table.labels(), QStringList({ "Minimum Alive", "Average Alive", "Maximum Alive" }));
    EXPECT_EQ(added.count(), 4);
    EXPECT_EQ(added.last(), QVariantList { 1 });
    expectConsistent();
}

TEST_F(SeriesTableTest, sixteen_series_at_most)
{
    for (int state = 0; state < 2; ++state)
        for (int operation = 0; operation < SeriesTable::Parameter; ++operation)
            table.addSeries(operation, state);
    for (int param = 0; param < 4; ++param)
        table.addSeries(SeriesTable::Parameter, param);
    ASSERT_TRUE(table.isFull());
    // Every pair of Life is listed now: remove one and try a seventeenth
    // after freeing a row is only possible with the pair just removed.
    EXPECT_EQ(refusal([&] { table.addSeries(SeriesTable::Average, 0); }),
        "Operation/state pair already being plotted");
    const int slot = table.slotAtRow(5);
    const int operation = table.operation(slot);
    const int subject = table.subject(slot);
    table.removeSeriesAtRow(5);
    EXPECT_FALSE(table.isFull());
    EXPECT_EQ(table.addSeries(operation, subject), slot);
    expectConsistent();
}

TEST_F(SeriesTableTest, a_seventeenth_series_is_refused)
{
    // Fixture with enough subjects: grayscott has eight parameters and two states.
    ASSERT_TRUE(test::loadModel(test::exampleModel("grayscott")));
    for (int param = 0; param < 8; ++param)
        table.addSeries(SeriesTable::Parameter, param);
    for (int operation = 0; operation < 4; ++operation)
        for (int state = 0; state < 2; ++state)
            table.addSeries(operation, state);
    ASSERT_TRUE(table.isFull());
    QSignalSpy added(&table, &SeriesTable::seriesAdded);
    EXPECT_EQ(refusal([&] { table.addSeries(SeriesTable::Kurtosis, 0); }),
        "At most 16 series can be plotted");
    EXPECT_EQ(added.count(), 0);
    EXPECT_EQ(table.findSeries(SeriesTable::Kurtosis, 0), -1);
    expectConsistent();
}

TEST_F(SeriesTableTest, random_adds_and_removes_keep_the_invariants)
{
    std::mt19937 random(11);
    std::uniform_int_distribution<int> operation(-1, 7);
    std::uniform_int_distribution<int> subject(-1, 4);
    std::uniform_int_distribution<int> row(-1, 16);
    for (int i = 0; i < 2000; ++i) {
        try {
            if (random() % 3 == 0)
                table.removeSeriesAtRow(row(random));
            else
                table.addSeries(operation(random), subject(random));
        } catch (const CommandError&) {
        }
        expectConsistent();
    }
    QSignalSpy removed(&table, &SeriesTable::seriesRemoved);
    const int count = table.count();
    table.removeAllSeries();
    EXPECT_EQ(removed.count(), count);
    for (const QList<QVariant>& args : removed)
        EXPECT_EQ(args[1].toInt(), 0); // always the first row
    expectConsistent();
}
