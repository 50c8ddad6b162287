// Runs of the whole program: stop conditions entered in their dialog, and the
// recording of time series while running, with real models.
#include "IntegrationSupport.h"

#include "SeriesTable.h"
#include "StopConditions.h"
#include "TfStop.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTest>

namespace tessra {
namespace {

using test::waitUntil;

class RunTest : public test::ProgramTest {
protected:
    /// Adds a condition with the dialog's inputs and its "< Add" button.
    void addInDialog(const QString& name, const char* comparatorButton, const QString& value)
    {
        TfStop& dialog = windows().stopConditions();
        if (!dialog.isVisible())
            trigger("mStopConditions"); // showing fills the names
        auto* names = dialog.findChild<QComboBox*>(QStringLiteral("cbName"));
        const int index = names->findText(name);
        ASSERT_GE(index, 0) << name.toStdString();
        names->setCurrentIndex(index);
        dialog.findChild<QRadioButton*>(QLatin1String(comparatorButton))->setChecked(true);
        dialog.findChild<QLineEdit*>(QStringLiteral("feValue"))->setText(value);
        dialog.findChild<QPushButton*>(QStringLiteral("bAdd"))->click();
    }
    void switchOn()
    {
        if (!windows().stopConditions().isVisible())
            trigger("mStopConditions");
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&windows().stopConditions()));
        auto* box = windows().stopConditions().findChild<QGroupBox*>(QStringLiteral("cgbEnabled"));
        ASSERT_FALSE(box->isChecked());
        QStyleOptionGroupBox option;
        option.initFrom(box);
        option.subControls = QStyle::SC_GroupBoxCheckBox | QStyle::SC_GroupBoxLabel;
        option.text = box->title();
        option.lineWidth = 1;
        option.textAlignment = box->alignment();
        const QRect check = box->style()->subControlRect(
            QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxCheckBox, box);
        QTest::mouseClick(box, Qt::LeftButton, {}, check.center()); // the user's click
        ASSERT_TRUE(box->isChecked());
    }
    /// Runs with the Run command until the run has stopped by itself.
    void runToStop()
    {
        trigger("Run1");
        ASSERT_TRUE(waitUntil([&] { return !frontEnd().isRunning(); }));
    }
    void loadFixture(const char* name)
    {
        ASSERT_TRUE(frontEnd().loadModelFile(QString::fromStdString(test::fixtureModel(name))));
    }
    std::vector<double> ticks(int slot)
    {
        std::vector<double> result;
        for (const auto& sample : m_core.recorder().table().samples(slot).samples())
            result.push_back(sample.tick);
        return result;
    }
    int addSeries(const char* operation, int subject)
    {
        return m_core.recorder().table().addSeries(
            SeriesTable::operationNames().indexOf(operation), subject);
    }
};

TEST_F(RunTest, tick_condition_from_the_dialog_pauses_the_run_at_that_tick)
{
    trigger("mStopConditions");
    switchOn();
    EXPECT_TRUE(main().actions().stopConditions->isChecked());
    addInDialog("Tick", "rbGreaterEqual", "7");
    ASSERT_EQ(m_core.stopConditions().conditions().size(), 1);

    runToStop();
    EXPECT_EQ(model().simTime(), 7);
    EXPECT_EQ(frontEnd().statusText(), "Paused");
    EXPECT_TRUE(main().actions().run->isEnabled());
    EXPECT_TRUE(main().actions().step->isEnabled());
    EXPECT_FALSE(main().actions().pause->isEnabled());

    // Still holds: a single step is never stopped, a new run makes exactly one step.
    trigger("Step1");
    EXPECT_EQ(model().simTime(), 8);
    EXPECT_EQ(frontEnd().statusText(), "Advanced one step");
    runToStop();
    EXPECT_EQ(model().simTime(), 9);
}

TEST_F(RunTest, switch_off_or_an_unmet_condition_never_stops)
{
    m_core.stopConditions().addCondition("Tick", StopConditions::GreaterOrEqual, 2);
    trigger("Run1"); // the switch is off
    ASSERT_TRUE(waitUntil([&] { return model().simTime() >= 4; }));
    EXPECT_TRUE(frontEnd().isRunning());
    frontEnd().pauseAndWait();
    EXPECT_EQ(frontEnd().statusText(), "Paused");

    m_core.stopConditions().removeAllConditions();
    switchOn();
    addInDialog("Tick", "rbLessEqual", "-1");
    const double before = model().simTime();
    trigger("Run1");
    ASSERT_TRUE(waitUntil([&] { return model().simTime() >= before + 3; }));
    EXPECT_TRUE(frontEnd().isRunning());
}

TEST_F(RunTest, condition_holding_at_the_first_step_ends_the_run_after_it)
{
    switchOn();
    addInDialog("Density", "rbEqual", "0.3"); // holds from the start
    ASSERT_EQ(m_core.stopConditions().compiledCount(), 1);
    runToStop();
    EXPECT_EQ(model().simTime(), 1);
    EXPECT_EQ(frontEnd().statusText(), "Paused");
}

TEST_F(RunTest, conditions_survive_new_worlds_and_other_models)
{
    switchOn();
    addInDialog("Tick", "rbGreaterEqual", "3");
    addInDialog("Density", "rbLessEqual", "0.1");
    for (int i = 0; i < 3; ++i) {
        frontEnd().newSimulation(QString());
        runToStop();
        EXPECT_EQ(model().simTime(), 3);
    }
    // A model without "Density": that row never holds, the other is still tested.
    loadFixture("fractional");
    runToStop();
    EXPECT_DOUBLE_EQ(model().simTime(), 3.2);
    // Back to Life, whose density a new world changes: the row reads the new storage.
    ASSERT_TRUE(frontEnd().loadModelFile(m_folder.file("model.so")));
    model().setParamValue(2, "0.05");
    frontEnd().newSimulation(QString());
    runToStop();
    EXPECT_EQ(model().simTime(), 1);
}

TEST_F(RunTest, fractional_steps_record_when_the_run_crosses_whole_ticks)
{
    loadFixture("fractional"); // 0.4 per step
    const int slot = addSeries("Average", 1); // the time each site holds
    frontEnd().newSimulation(QString());
    m_core.stopConditions().setEnabled(true);
    m_core.stopConditions().addCondition("Tick", StopConditions::GreaterOrEqual, 5);
    runToStop();
    EXPECT_DOUBLE_EQ(model().simTime(), 5.2);
    const std::vector<double> recorded = ticks(slot);
    const std::vector<double> expected { 0, 1.2, 2, 3.2, 4, 5.2 };
    ASSERT_EQ(recorded.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_DOUBLE_EQ(recorded[i], expected[i]) << i;
        // The sample is taken at the step's own time, after the step.
        EXPECT_FLOAT_EQ(
            static_cast<float>(m_core.recorder().table().samples(slot).samples()[i].value),
            static_cast<float>(i == 0 ? 0 : expected[i]));
    }
}

TEST_F(RunTest, whole_ticks_record_every_step_and_late_series_start_at_the_next_tick)
{
    const int alive = addSeries("Average", 0);
    frontEnd().newSimulation(QString());
    m_core.stopConditions().setEnabled(true);
    trigger("Run1");
    ASSERT_TRUE(waitUntil([&] { return model().simTime() >= 4; }));
    // Between two steps of the run:
    const double timeWhenAdded = model().simTime();
    const int age = addSeries("Maximum", 1);
    const double end = timeWhenAdded + 6;
    m_core.stopConditions().addCondition("Tick", StopConditions::GreaterOrEqual, end);
    ASSERT_TRUE(waitUntil([&] { return !frontEnd().isRunning(); }));
    EXPECT_EQ(model().simTime(), end);

    std::vector<double> every;
    for (int tick = 0; tick <= end; ++tick)
        every.push_back(tick);
    EXPECT_EQ(ticks(alive), every);
    EXPECT_EQ(
        ticks(age), (std::vector<double> { end - 5, end - 4, end - 3, end - 2, end - 1, end }));
}

} // namespace
} // namespace tessra
