// The automation object over the real front end, in process: what a script
// cannot see over the bus (the stop-condition rows, the switch, the
// time-series window's operation selection, questions never asked).
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "Core.h"
#include "CoreAutomationHost.h"
#include "FrontEnd.h"
#include "StopConditions.h"
#include "TFrontEnd.h"
#include "TestPaths.h"
#include "TimeSeriesRecorder.h"

namespace tessra {
namespace {

class CoreAutomationHostTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(
            m_core.frontEnd().loadModelFile(QString::fromStdString(test::exampleModel("life"))));
        m_host.setOperationSelector([this](int operation) { m_selected.append(operation); });
    }

    StopConditions& stop() { return m_core.stopConditions(); }

    Core m_core;
    CoreAutomationHost m_host { m_core };
    TFrontEnd m_object { m_core.model(), m_host };
    QList<int> m_selected;
};

TEST_F(CoreAutomationHostTest, stop_if_add_writes_the_rows_of_the_stop_conditions)
{
    EXPECT_EQ(m_object.StopIfAdd("Tick >= 100"), 1);
    EXPECT_EQ(m_object.StopIfAdd("tick=5"), 1);
    ASSERT_EQ(stop().conditions().size(), 2);
    EXPECT_EQ(stop().conditions()[0].name, QStringLiteral("Tick"));
    EXPECT_EQ(stop().conditions()[0].comparator, QStringLiteral(">="));
    EXPECT_EQ(stop().conditions()[0].value, QStringLiteral("100.000000"));
    EXPECT_EQ(stop().conditions()[1].name, QStringLiteral("Tick"));
    EXPECT_EQ(stop().conditions()[1].comparator, QStringLiteral("="));

    m_object.StopIfRemoveAll();
    EXPECT_TRUE(stop().conditions().isEmpty());
    EXPECT_FALSE(stop().isEnabled());
    // Refused, but the switch is on.
    EXPECT_EQ(m_object.StopIfAdd("Tick > = 5"), 0);
    EXPECT_TRUE(stop().isEnabled());
    EXPECT_EQ(m_object.StopIfAdd("=5"), 0);
    EXPECT_EQ(m_object.StopIfAdd("Tick >="), 0);
    EXPECT_TRUE(stop().conditions().isEmpty());
}

TEST_F(CoreAutomationHostTest, time_series_add_selects_the_operation_in_the_window)
{
    EXPECT_EQ(m_object.TimeSeriesAdd("average alive"), 1);
    EXPECT_EQ(m_object.TimeSeriesAdd("Kurtosis Nothing"), 0);
    EXPECT_EQ(m_selected, (QList<int> { 2, 5 })); // Kurtosis stays selected
    EXPECT_EQ(m_host.selectedOperation(), 5);
    EXPECT_EQ(m_core.recorder().table().labels(), QStringList { "Average Alive" });
    m_object.TimeSeriesRemoveAll();
    EXPECT_EQ(m_core.recorder().table().count(), 0);
}

TEST_F(CoreAutomationHostTest, load_model_with_no_path_starts_the_held_model_afresh)
{
    m_object.SimStep();
    EXPECT_EQ(m_object.SetParam("Width", "12"), 1);
    EXPECT_EQ(m_object.LoadModel(QString()), 1);
    EXPECT_EQ(m_object.GetTick(), 0.0); // a new simulation
    EXPECT_EQ(m_object.GetParam("Width"), "128"); // from the model folder's default.ini
    EXPECT_EQ(m_object.AboutModel("name"), QStringLiteral("Life"));
    EXPECT_EQ(m_object.GetLoadModelErr(), QString());
}

TEST_F(CoreAutomationHostTest, export_never_asks_before_overwriting_or_appending)
{
    m_core.recorder().setAppendQuestion([](const QString&) {
        ADD_FAILURE() << "automation asked the user";
        return AppendAnswer::Cancel;
    });
    QTemporaryDir folder;
    const QString file = folder.filePath("out.txt");
    ASSERT_EQ(m_object.TimeSeriesAdd("Average Alive"), 1);
    m_object.SimStep();
    EXPECT_EQ(m_object.TimeSeriesExport(file, ""), 1);
    QFile written(file);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    const QByteArray once = written.readAll();
    written.close();
    EXPECT_EQ(m_object.TimeSeriesExport(file, ""), 1);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_EQ(written.readAll().size(), once.size());
    written.close();
    EXPECT_EQ(m_object.TimeSeriesExport(file, "Append"), 1);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_GT(written.readAll().size(), once.size());
}

} // namespace
} // namespace tessra
