// The Stop Conditions window on the offscreen platform, over the real logic
// and a real model.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

#include <gtest/gtest.h>

#include "Beep.h"
#include "ModelApi.h"
#include "QtPrinters.h"
#include "StopConditions.h"
#include "TestPaths.h"
#include "TfStop.h"

namespace tessra {
namespace {

using Row = StopConditions::Condition;

class TfStopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        model.loadModel(test::exampleModel("life"));
        ASSERT_TRUE(model.isLoaded());
        conditions.recompile();
        previousBeep = setBeepHandler([this] { ++beeps; });
    }
    void TearDown() override { setBeepHandler(previousBeep); }

    template <typename T> T* child(const char* name) const
    {
        T* found = window.findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    QTableWidget* grid() const { return child<QTableWidget>("sgStopConditions"); }
    QLineEdit* value() const { return child<QLineEdit>("feValue"); }
    QStringList gridRow(int row) const
    {
        QStringList texts;
        for (int c = 0; c < 3; ++c)
            texts << (grid()->item(row, c) ? grid()->item(row, c)->text() : QString());
        return texts;
    }
    void click(const char* button)
    {
        QTest::mouseClick(child<QPushButton>(button), Qt::LeftButton);
    }
    void type(const QString& text)
    {
        value()->selectAll();
        QTest::keyClicks(value(), text);
    }

    ModelApi model;
    StopConditions conditions { model };
    TfStop window { conditions };
    int beeps = 0;
    std::function<void()> previousBeep;
};

TEST_F(TfStopTest, starts_empty_with_tick_chosen_and_the_switch_off)
{
    EXPECT_EQ(window.windowTitle(), "Stop Conditions");
    EXPECT_TRUE(window.isHidden());
    EXPECT_FALSE(window.isModal());
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::Tool));
    EXPECT_EQ(window.minimumSize(), QSize(420, 270));

    auto* box = child<QGroupBox>("cgbEnabled");
    EXPECT_EQ(box->title(), "Stop simulation on any of the following conditions");
    EXPECT_TRUE(box->isCheckable());
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(grid()->rowCount(), 1) << "one blank row";
    EXPECT_EQ(grid()->columnCount(), 3);
    EXPECT_EQ(gridRow(0), (QStringList { "", "", "" }));
    EXPECT_EQ(child<QComboBox>("cbName")->currentText(), "Tick");
    EXPECT_TRUE(child<QRadioButton>("rbGreaterEqual")->isChecked());
    EXPECT_EQ(child<QRadioButton>("rbEqual")->text(), "  =");
    EXPECT_EQ(child<QRadioButton>("rbEqual")->toolTip(), "Exactly equals");
    EXPECT_EQ(child<QRadioButton>("rbLessEqual")->toolTip(), "Is less than or equal to");
    EXPECT_EQ(value()->text(), "0.000000");
    EXPECT_EQ(child<QPushButton>("bAdd")->text(), "< Add");
    EXPECT_EQ(child<QPushButton>("bRemove")->text(), "Remove >");
    EXPECT_EQ(child<QPushButton>("bRemoveAll")->text(), "Remove All >>");
}

TEST_F(TfStopTest, switch_off_leaves_nothing_usable_and_greys_the_list)
{
    conditions.setEnabled(true);
    ASSERT_TRUE(conditions.addCondition("Tick", StopConditions::GreaterOrEqual, 10));
    ASSERT_TRUE(conditions.addCondition("Seed", StopConditions::Equal, 3));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_TRUE(grid()->isEnabled());
    EXPECT_FALSE(grid()->selectedItems().isEmpty());

    conditions.setEnabled(false);
    for (const char* name :
        { "sgStopConditions", "cbName", "rbGreaterEqual", "rbEqual", "rbLessEqual", "feValue",
            "bAdd", "bRemove", "bRemoveAll", "lConditions", "lAddNew" }) {
        EXPECT_FALSE(child<QWidget>(name)->isEnabled()) << name;
    }
    EXPECT_EQ(grid()->rowCount(), 2) << "the conditions are still listed";
    EXPECT_EQ(gridRow(1), (QStringList { "Seed", "=", "3.000000" }));
    EXPECT_TRUE(grid()->selectedItems().isEmpty()) << "no selected row while off";

    click("bAdd");
    click("bRemove");
    click("bRemoveAll");
    EXPECT_EQ(conditions.conditions().size(), 2) << "no button reacts";
}

TEST_F(TfStopTest, check_box_and_menu_item_follow_the_switch)
{
    QAction menuItem(QStringLiteral("Stop &Conditions..."));
    window.mirrorSwitch(&menuItem);
    EXPECT_TRUE(menuItem.isCheckable());
    EXPECT_FALSE(menuItem.isChecked());

    auto* box = child<QGroupBox>("cgbEnabled");
    QTest::keyClick(box, Qt::Key_Space); // the user ticks the box
    EXPECT_TRUE(conditions.isEnabled());
    EXPECT_TRUE(menuItem.isChecked());
    EXPECT_TRUE(value()->isEnabled());

    menuItem.trigger(); // the menu shows the window; it does not switch
    EXPECT_TRUE(menuItem.isChecked());
    EXPECT_TRUE(conditions.isEnabled());

    EXPECT_FALSE(conditions.setEnabled(false)); // automation
    EXPECT_FALSE(box->isChecked());
    EXPECT_FALSE(menuItem.isChecked());
    EXPECT_FALSE(value()->isEnabled());
}

TEST_F(TfStopTest, showing_fills_the_name_list)
{
    auto* names = child<QComboBox>("cbName");
    EXPECT_EQ(names->count(), 1);
    window.show();
    ASSERT_EQ(names->count(), 5);
    EXPECT_EQ(names->itemText(4), "Seed");
    EXPECT_EQ(names->maxVisibleItems(), 10);
    EXPECT_EQ(names->currentText(), "Tick");
    EXPECT_FALSE(names->isEditable());
}

TEST_F(TfStopTest, add_takes_the_inputs_and_fits_the_columns)
{
    conditions.setEnabled(true);
    window.show();
    child<QComboBox>("cbName")->setCurrentIndex(1);
    child<QRadioButton>("rbLessEqual")->click();
    type(QStringLiteral("1e-7")); // the value is taken without leaving the edit first
    click("bAdd");
    ASSERT_EQ(conditions.conditions(), (QList<Row> { { "Width", "<=", "0.000000" } }));
    EXPECT_EQ(value()->text(), "0.000000");
    EXPECT_EQ(gridRow(0), (QStringList { "Width", "<=", "0.000000" }));

    type(QStringLiteral("12345.5"));
    QTest::keyClick(value(), Qt::Key_Return);
    EXPECT_EQ(value()->text(), "12345.500000");
    child<QRadioButton>("rbEqual")->click();
    click("bAdd");
    EXPECT_EQ(conditions.conditions().last(), (Row { "Width", "=", "12345.500000" }));
    EXPECT_EQ(grid()->rowCount(), 2);
    EXPECT_EQ(grid()->currentRow(), 1) << "the new row is current";

    const QFontMetrics metrics(grid()->font());
    EXPECT_EQ(grid()->columnWidth(0), metrics.horizontalAdvance("Width") + 10);
    EXPECT_EQ(grid()->columnWidth(1), metrics.horizontalAdvance("<=") + 10);
    EXPECT_EQ(grid()->columnWidth(2), metrics.horizontalAdvance("12345.500000") + 10);
    EXPECT_EQ(beeps, 0);
}

TEST_F(TfStopTest, a_value_that_is_no_number_beeps_and_reverts)
{
    conditions.setEnabled(true);
    window.show();
    type(QStringLiteral("2.5"));
    QTest::keyClick(value(), Qt::Key_Return);
    EXPECT_EQ(value()->text(), "2.500000");
    type(QStringLiteral("abc"));
    QTest::keyClick(value(), Qt::Key_Return);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(value()->text(), "2.500000");
    EXPECT_EQ(conditions.inputValue(), 2.5);

    type(QStringLiteral("1,5")); // a group separator, not a decimal one, in this locale
    click("bAdd");
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(conditions.conditions().last().value, "2.500000");
}

TEST_F(TfStopTest, remove_takes_the_current_row_and_remove_all_keeps_the_widths)
{
    conditions.setEnabled(true);
    window.show();
    click("bRemove");
    EXPECT_TRUE(conditions.conditions().isEmpty()) << "removing from an empty list";
    EXPECT_EQ(grid()->rowCount(), 1);

    for (double v : { 1.0, 22.0, 333.0 })
        ASSERT_TRUE(conditions.addCondition("Tick", StopConditions::GreaterOrEqual, v));
    grid()->setCurrentCell(1, 0);
    click("bRemove");
    EXPECT_EQ(conditions.conditions(),
        (QList<Row> { { "Tick", ">=", "1.000000" }, { "Tick", ">=", "333.000000" } }));
    EXPECT_EQ(gridRow(1), (QStringList { "Tick", ">=", "333.000000" }));

    const int width = grid()->columnWidth(2);
    click("bRemoveAll");
    EXPECT_TRUE(conditions.conditions().isEmpty());
    EXPECT_EQ(grid()->rowCount(), 1);
    EXPECT_EQ(gridRow(0), (QStringList { "", "", "" }));
    EXPECT_EQ(grid()->columnWidth(2), width);
}

TEST_F(TfStopTest, automation_leaves_the_hidden_window_showing_the_last_condition)
{
    ASSERT_TRUE(window.isHidden());
    value()->setText(QStringLiteral("7")); // typed, not yet taken
    ASSERT_TRUE(conditions.addCondition("density", StopConditions::Equal, 0.25));
    EXPECT_EQ(child<QComboBox>("cbName")->currentText(), "Density");
    EXPECT_TRUE(child<QRadioButton>("rbEqual")->isChecked());
    EXPECT_EQ(value()->text(), "0.250000");
    EXPECT_EQ(gridRow(0), (QStringList { "Density", "=", "0.250000" }));
}

TEST_F(TfStopTest, placement_is_kept_and_closing_only_hides)
{
    {
        TfStop first(conditions);
        first.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&first));
        first.resize(510, 330);
        QApplication::processEvents();
        EXPECT_TRUE(first.close());
        EXPECT_TRUE(first.isHidden());
    }
    TfStop second(conditions);
    EXPECT_EQ(second.size(), QSize(510, 330));
}

} // namespace
} // namespace tessra
