// The site inspector with real models: calllog (a 3 x 5 world with states
// "a" = column + 10 * row and "b", and a log of every call made into it),
// nostates and stats.
#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QSplitter>
#include <QTableWidget>

#include <memory>

#include "FixtureCallLog.h"
#include "ObserveUiTestSupport.h"
#include "TfInspect.h"

namespace tessra {
namespace {

class Inspector : public ::testing::Test {
protected:
    void open(const std::string& model)
    {
        ASSERT_TRUE(test::loadModelWithWorld(model));
        test::forgetDisplaySettings(QStringLiteral("fInspect"));
        inspector = std::make_unique<TfInspect>(site);
        site.fillStates();
        grid = inspector->findChild<QTableWidget*>(QStringLiteral("sgState"));
        ASSERT_NE(grid, nullptr);
    }

    /// Shows or hides the inspector; whether its window is visible then.
    bool showInspector(bool show)
    {
        site.setShown(show);
        return inspector->isVisible();
    }

    QString name(int tableRow) const
    {
        const QTableWidgetItem* item = grid->item(tableRow, 0);
        return item ? item->text() : QString();
    }
    QString value(int tableRow) const
    {
        const QTableWidgetItem* item = grid->item(tableRow, 1);
        return item ? item->text() : QString();
    }
    QString descriptionLabel() const
    {
        return inspector->findChild<QLabel*>(QStringLiteral("lAboutState"))->text();
    }
    QString description() const
    {
        return inspector->findChild<QPlainTextEdit*>(QStringLiteral("mAboutState"))->toPlainText();
    }

    SiteInspector site;
    std::unique_ptr<TfInspect> inspector;
    QTableWidget* grid = nullptr;
};

TEST_F(Inspector, a_model_without_states_gives_the_fixed_rows_only)
{
    open(test::fixtureModel("nostates"));
    EXPECT_EQ(grid->horizontalHeaderItem(0)->text(), QStringLiteral("Name"));
    EXPECT_EQ(grid->horizontalHeaderItem(1)->text(), QStringLiteral("Value"));
    ASSERT_EQ(grid->rowCount(), TfInspect::FixedRows - 1);
    EXPECT_EQ(name(0), QStringLiteral("X Position"));
    EXPECT_EQ(name(1), QStringLiteral("Y Position"));

    EXPECT_TRUE(showInspector(true));
    site.inspectSite(2, 3, 0x808080);
    EXPECT_EQ(value(0), QStringLiteral("2"));
    EXPECT_EQ(value(1), QStringLiteral("3"));
    EXPECT_EQ(descriptionLabel(), QStringLiteral("Description"));
    EXPECT_TRUE(description().isEmpty());
}

TEST_F(Inspector, shows_position_colour_values_and_the_chosen_states_description)
{
    open(test::fixtureModel("calllog"));
    ASSERT_EQ(grid->rowCount(), 4);
    EXPECT_EQ(name(2), QStringLiteral("a"));
    EXPECT_EQ(name(3), QStringLiteral("b"));
    EXPECT_EQ(inspector->windowTitle(), QStringLiteral("Inspect Sites"));
    EXPECT_TRUE(inspector->windowFlags().testFlag(Qt::WindowStaysOnTopHint));

    // Showing chooses the first state.
    EXPECT_TRUE(showInspector(true));
    EXPECT_EQ(inspector->chosenState(), 0);
    test::FixtureCallLog log(test::fixtureModel("calllog"));
    log.reset();
    site.inspectSite(1, 2, 0x00FF8040);
    EXPECT_EQ(value(0), QStringLiteral("1"));
    EXPECT_EQ(value(1), QStringLiteral("2"));
    EXPECT_EQ(value(2), QStringLiteral("21"));
    EXPECT_EQ(value(3), QStringLiteral("0"));
    EXPECT_EQ(log.lines(), std::vector<std::string> { "aboutState 1 2 0" });
    EXPECT_EQ(descriptionLabel(), QStringLiteral("a"));
    EXPECT_EQ(description().toStdString(), ModelApi().aboutState(1, 2, 0));
    const QColor strip = inspector->findChild<QWidget*>(QStringLiteral("Panel1"))
                             ->palette()
                             .color(QPalette::Window);
    EXPECT_EQ(strip, QColor(0x40, 0x80, 0xFF));

    // Another row changes the description at the next inspection only.
    grid->setCurrentCell(3, 0);
    EXPECT_EQ(descriptionLabel(), QStringLiteral("a"));
    site.inspectSite(0, 0, 0);
    EXPECT_EQ(descriptionLabel(), QStringLiteral("b"));
}

TEST_F(Inspector, a_position_row_asks_the_model_about_no_state)
{
    open(test::fixtureModel("calllog"));
    showInspector(true);
    grid->setCurrentCell(1, 0);
    test::FixtureCallLog log(test::fixtureModel("calllog"));
    log.reset();
    site.inspectSite(2, 4, 0);
    EXPECT_TRUE(log.lines().empty()) << log.text();
    EXPECT_EQ(descriptionLabel(), QStringLiteral("Description"));
    EXPECT_TRUE(description().isEmpty());
    EXPECT_EQ(value(2), QStringLiteral("42"));

    // Showing again makes the first state row current.
    showInspector(false);
    showInspector(true);
    EXPECT_EQ(inspector->chosenState(), 0);
}

TEST_F(Inspector, the_window_follows_the_inspector_and_hands_its_choices_to_it)
{
    open(test::fixtureModel("calllog"));
    showInspector(true);
    site.chooseState(1);
    EXPECT_EQ(grid->currentRow(), 3);
    grid->setCurrentCell(2, 0);
    EXPECT_EQ(site.chosenState(), 0);
    grid->setCurrentCell(1, 0);
    EXPECT_EQ(site.chosenState(), -1);
    site.inspectSite(2, 1, 0x0000FF);
    EXPECT_EQ(value(2), TfInspect::valueText(*site.value(0)));
    EXPECT_EQ(descriptionLabel(), site.aboutLabel());

    inspector->close(); // the window's close goes through the inspector
    EXPECT_FALSE(site.isShown());
    site.setShown(true);
    EXPECT_TRUE(inspector->isVisible());
    EXPECT_EQ(site.chosenState(), 0) << "showing chooses the first state";
    EXPECT_EQ(grid->currentRow(), 2);
}

TEST_F(Inspector, a_model_without_the_chosen_state_gives_the_choice_up)
{
    open(test::fixtureModel("calllog"));
    showInspector(true);
    site.chooseState(1);
    site.inspectSite(1, 2, 0);
    ASSERT_TRUE(test::loadModelWithWorld(test::fixtureModel("nostates")));
    site.fillStates();
    EXPECT_EQ(site.chosenState(), -1);
    EXPECT_FALSE(site.value(0).has_value());
    EXPECT_EQ(grid->rowCount(), TfInspect::FixedRows - 1);
    EXPECT_EQ(descriptionLabel(), QStringLiteral("Description"));
    site.inspectSite(0, 1, 0);
    EXPECT_EQ(value(1), QStringLiteral("1"));
}

TEST_F(Inspector, hidden_it_makes_no_model_calls_and_leaves_the_grid)
{
    open(test::fixtureModel("calllog"));
    showInspector(true);
    site.inspectSite(1, 1, 0);
    EXPECT_FALSE(showInspector(false));
    test::FixtureCallLog log(test::fixtureModel("calllog"));
    ASSERT_TRUE(log.loaded());
    log.reset();
    for (int column = 0; column < 3; ++column)
        site.inspectSite(column, 4, 0xFFFFFF);
    EXPECT_TRUE(log.text().empty()) << log.text();
    EXPECT_EQ(value(0), QStringLiteral("1"));
    EXPECT_EQ(value(2), QStringLiteral("11"));
}

TEST_F(Inspector, values_show_fifteen_significant_digits)
{
    EXPECT_EQ(TfInspect::valueText(1.0 / 3.0), QStringLiteral("0.333333333333333"));
    EXPECT_EQ(TfInspect::valueText(2.5), QStringLiteral("2.5"));

    open(test::fixtureModel("stats"));
    test::setParam("v1", 0.25);
    ModelApi().newAgents();
    showInspector(true);
    site.inspectSite(1, 0, 0xFFFFFF);
    EXPECT_EQ(value(2), QStringLiteral("0.25"));
    EXPECT_EQ(value(3), QStringLiteral("100.25"));
}

TEST_F(Inspector, closing_hides_and_tells_the_main_window)
{
    open(test::fixtureModel("calllog"));
    showInspector(true);
    QSignalSpy closed(inspector.get(), &TfInspect::visibilityChangedByUser);
    inspector->close();
    EXPECT_FALSE(inspector->isVisible());
    ASSERT_EQ(closed.size(), 1);
    EXPECT_FALSE(closed[0][0].toBool());
    showInspector(true);
    showInspector(false);
    EXPECT_EQ(closed.size(), 1);
}

TEST_F(Inspector, at_its_default_size_shows_every_name_and_a_whole_value)
{
    open(test::fixtureModel("stats"));
    test::setParam("v1", -1.0 / 3.0);
    ModelApi().newAgents();
    site.fillStates();
    showInspector(true);
    QCoreApplication::processEvents();
    site.inspectSite(1, 0, 0xFFFFFF);
    ASSERT_EQ(value(2), QStringLiteral("-0.333333343267441")); // a float's value
    const QAbstractItemView* view = grid;
    // Each column is at least as wide as its widest text with the item's margins.
    EXPECT_GE(grid->columnWidth(0), view->sizeHintForColumn(0));
    EXPECT_GE(grid->columnWidth(1), view->sizeHintForColumn(1));
    // The name column fits the names, no more than a little wider.
    EXPECT_LE(grid->columnWidth(0), view->sizeHintForColumn(0) + 12);

    // A new world starts without the old site's description.
    open(test::fixtureModel("calllog"));
    showInspector(true);
    site.inspectSite(1, 2, 0);
    EXPECT_EQ(descriptionLabel(), QStringLiteral("a"));
    EXPECT_FALSE(description().isEmpty());
    site.fillStates();
    EXPECT_EQ(descriptionLabel(), QStringLiteral("Description"));
    EXPECT_TRUE(description().isEmpty());
}

TEST_F(Inspector, keeps_its_sizes)
{
    open(test::fixtureModel("calllog"));
    inspector->resize(300, 400);
    showInspector(true);
    QCoreApplication::processEvents();
    auto* splitter = inspector->findChild<QSplitter*>(QStringLiteral("RxSplitter1"));
    splitter->setSizes({ 150, 200 });
    const QList<int> sizes = splitter->sizes();
    showInspector(false);
    inspector.reset();
    inspector = std::make_unique<TfInspect>(site);
    showInspector(true);
    QCoreApplication::processEvents();
    EXPECT_EQ(inspector->size(), QSize(300, 400));
    EXPECT_EQ(inspector->findChild<QSplitter*>(QStringLiteral("RxSplitter1"))->sizes(), sizes);
}

} // namespace
} // namespace tessra
