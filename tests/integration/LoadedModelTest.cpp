// What follows the loaded model in the running program: the settings a load reads,
// the lists of names in the time-series and stop-conditions windows, and a world the
// model cannot build or a step that fails.
#include "IntegrationSupport.h"

#include "CommandError.h"
#include "SeriesTable.h"
#include "StopConditions.h"
#include "TfStop.h"
#include "TfTimeSeries.h"
#include "TimeSeriesRecorder.h"

#include <QComboBox>
#include <QListWidget>

namespace tessra {
namespace {

QStringList texts(const QListWidget* list)
{
    QStringList result;
    for (int row = 0; row < list->count(); ++row)
        result.append(list->item(row)->text());
    return result;
}

QString selected(const QListWidget* list)
{
    const QList<QListWidgetItem*> items = list->selectedItems();
    return items.isEmpty() ? QString() : items.first()->text();
}

class LoadedModelTest : public test::ProgramTest {
protected:
    QListWidget* list(const char* name)
    {
        auto* found = windows().timeSeries().findChild<QListWidget*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    /// Chooses `operation` and `subject` on the Series page as a click on each does.
    void choose(const QString& operation, const QString& subject)
    {
        QListWidget* operations = list("lbOperation");
        operations->setCurrentRow(SeriesTable::operationNames().indexOf(operation));
        QListWidget* subjects = list("lbStates");
        const QList<QListWidgetItem*> found = subjects->findItems(subject, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << subject.toStdString();
        subjects->setCurrentItem(found.first());
    }
    /// Load Model... of the File menu, choosing `path`.
    void loadModelByMenu(const std::string& path)
    {
        m_dialogs.modelFiles.push_back(QString::fromStdString(path));
        trigger("mLoadModel");
        ASSERT_TRUE(frontEnd().isModelLoaded()) << frontEnd().loadModelError().toStdString();
    }
    double param(const char* name) const
    {
        const double* value = model().paramRef(name);
        return value ? *value : -1.0;
    }
    StopConditions& stop() { return m_core.stopConditions(); }
};

TEST_F(LoadedModelTest, a_model_from_another_folder_reads_its_own_default_ini)
{
    // Started in the Life folder: Life's default.ini gives a 128 x 128 world.
    ASSERT_EQ(model().worldWidth(), 128);
    m_folder.write("default.ini", "[Parameters]\nWidth=100\nHeight=100\n");
    loadModelByMenu(test::exampleModel("grayscott"));
    EXPECT_EQ(model().aboutModel(0), "Gray-Scott");
    EXPECT_EQ(param("Width"), 256.0);
    EXPECT_EQ(frontEnd().worldSize(), QSize(256, 256));
    EXPECT_EQ(param("Feed"), 0.0367);

    // Loading Life again reads the default.ini of its own folder, the start folder.
    loadModelByMenu(m_folder.file("model.so").toStdString());
    EXPECT_EQ(frontEnd().worldSize(), QSize(100, 100));
}

TEST_F(LoadedModelTest, series_page_and_stop_names_follow_the_loaded_model)
{
    TfStop& dialog = windows().stopConditions();
    dialog.show(); // fills the names from Life
    auto* names = dialog.findChild<QComboBox*>(QStringLiteral("cbName"));
    ASSERT_NE(names, nullptr);
    EXPECT_EQ(names->count(), 5);
    names->setCurrentText("Width");
    EXPECT_EQ(stop().names().value(stop().chosenName()), "Width");
    choose("Parameter", "Width");

    loadModelByMenu(test::exampleModel("grayscott"));
    const QStringList grayScott { "Feed", "Kill", "Du", "Dv", "dt", "Width", "Height", "Seed" };
    // The subject list names Gray-Scott's parameters; "Width" stays chosen, so Add
    // adds Width, not what was in its row under Life (Feed).
    EXPECT_EQ(selected(list("lbOperation")), "Parameter");
    EXPECT_EQ(texts(list("lbStates")), grayScott);
    EXPECT_EQ(selected(list("lbStates")), "Width");
    windows().timeSeries().bAddClick();
    EXPECT_EQ(m_core.recorder().table().labels(), QStringList { "Width" });

    // The stop conditions name Tick and Gray-Scott's parameters, the dialog too.
    EXPECT_EQ(stop().names(), QStringList { "Tick" } + grayScott);
    QStringList shown;
    for (int i = 0; i < names->count(); ++i)
        shown.append(names->itemText(i));
    EXPECT_EQ(shown, stop().names());
    EXPECT_EQ(names->currentText(), "Width");
    EXPECT_TRUE(stop().addCondition("Feed", StopConditions::GreaterOrEqual, 0));
    EXPECT_FALSE(stop().addCondition("Density", StopConditions::GreaterOrEqual, 0));

    // A subject the next model lacks is no longer chosen.
    choose("Average", "U");
    loadModelByMenu(m_folder.file("model.so").toStdString());
    EXPECT_EQ(selected(list("lbOperation")), "Average");
    EXPECT_EQ(texts(list("lbStates")), (QStringList { "Alive", "Age" }));
    EXPECT_EQ(selected(list("lbStates")), QString());
    // The Feed row stays listed and takes part in no test; Life's names are back.
    EXPECT_EQ(stop().conditions().size(), 1);
    EXPECT_EQ(stop().compiledCount(), 0);
    EXPECT_EQ(stop().names(), (QStringList { "Tick", "Width", "Height", "Density", "Seed" }));
    dialog.hide();
}

TEST_F(LoadedModelTest, a_world_the_model_cannot_build_leaves_run_and_step_disabled)
{
    QAction* run = main().findChild<QAction*>(QStringLiteral("Run1"));
    QAction* step = main().findChild<QAction*>(QStringLiteral("Step1"));
    QAction* newSimulation = main().findChild<QAction*>(QStringLiteral("New1"));
    *model().paramRef("Width") = 100000; // as a script's SetParam may
    *model().paramRef("Height") = 100000;
    try {
        frontEnd().newSimulation(QString());
        ADD_FAILURE() << "a world of 10^10 sites was built";
    } catch (const CommandError& error) {
        EXPECT_EQ(error.message(),
            "The model built no world (100000 x 100000 sites is more than this machine can "
            "hold)");
    }
    EXPECT_FALSE(run->isEnabled());
    EXPECT_FALSE(step->isEnabled());
    EXPECT_TRUE(newSimulation->isEnabled());
    EXPECT_EQ(frontEnd().runState(), FrontEnd::RunState::NoWorld);
    EXPECT_TRUE(frontEnd().worldImage().isNull());
    EXPECT_FALSE(frontEnd().Run1Click());
    EXPECT_FALSE(frontEnd().sbStepClick());
    frontEnd().waitWhileRunning(); // nothing runs: at once

    *model().paramRef("Width") = 32;
    *model().paramRef("Height") = 16;
    frontEnd().newSimulation(QString());
    EXPECT_TRUE(run->isEnabled());
    EXPECT_TRUE(step->isEnabled());
    EXPECT_EQ(frontEnd().worldSize(), QSize(32, 16));
    EXPECT_EQ(frontEnd().statusText(), "Ready");
}

TEST_F(LoadedModelTest, model_failures_give_the_models_reason)
{
    loadModelByMenu(test::fixtureModel("faulty"));
    *model().paramRef("Fault") = 5; // a negative world size
    EXPECT_THROW(
        {
            try {
                frontEnd().newSimulation(QString());
            } catch (const CommandError& error) {
                EXPECT_EQ(error.message(),
                    "The model built no world (the model's size function gave -2 x 2 sites)");
                throw;
            }
        },
        CommandError);

    *model().paramRef("Fault") = 4; // the step at tick 1 throws
    *model().paramRef("At") = 1;
    frontEnd().newSimulation(QString());
    EXPECT_TRUE(frontEnd().sbStepClick());
    try {
        frontEnd().sbStepClick();
        ADD_FAILURE() << "the failed step was not reported";
    } catch (const CommandError& error) {
        EXPECT_EQ(
            error.message(), "The step of the model failed (faulty: the step failed at tick 1)");
    }
    EXPECT_EQ(model().simTime(), 1.0);
    EXPECT_EQ(frontEnd().runState(), FrontEnd::RunState::Ready);

    // A run ends at the failing step (the run of a driver without a screen; the
    // timer's run is the program's, tested end to end).
    EXPECT_THROW(frontEnd().runWithoutScreen(-1), CommandError);
    EXPECT_EQ(model().simTime(), 1.0);
    EXPECT_EQ(frontEnd().statusText(), "Paused");
    EXPECT_EQ(frontEnd().runState(), FrontEnd::RunState::Ready);
}

} // namespace
} // namespace tessra
