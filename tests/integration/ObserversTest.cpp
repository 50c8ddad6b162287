// The time-series window and the site inspector in the running program: shown and
// hidden through the main window, drawing and following the pointer only while shown,
// export and help through the program's own display and help table.
#include "IntegrationSupport.h"

#include "PortalView.h"
#include "SampleGraph.h"
#include "SeriesTable.h"
#include "TfInspect.h"
#include "TfTimeSeries.h"
#include "TimeSeriesGraph.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTableWidget>
#include <QTest>

namespace tessra {
namespace {

using test::waitUntil;
using test::whenModalShows;

class ObserversTest : public test::ProgramTest {
protected:
    SeriesTable& table() { return m_core.recorder().table(); }
    int addSeries(const char* operation, int subject)
    {
        return table().addSeries(SeriesTable::operationNames().indexOf(operation), subject);
    }
    /// Moves the pointer over the portal to the middle of site (column, row).
    void pointAt(int column, int row)
    {
        PortalView& portal = main().portal();
        const QPoint at((2 * column + 1) * portal.width() / (2 * model().worldWidth()),
            (2 * row + 1) * portal.height() / (2 * model().worldHeight()));
        QMouseEvent move(QEvent::MouseMove, at, portal.mapToGlobal(at), Qt::NoButton, Qt::NoButton,
            Qt::NoModifier);
        QApplication::sendEvent(&portal, &move);
    }
    QString inspected(int tableRow)
    {
        auto* grid = windows().inspector().findChild<QTableWidget*>(QStringLiteral("sgState"));
        const QTableWidgetItem* item = grid->item(tableRow, 1);
        return item ? item->text() : QString();
    }
    /// Answers the export dialog with `file` typed as its name, then runs `next` (for
    /// the question that may follow).
    static void answerExport(const QString& file, std::function<void()> next = {})
    {
        whenModalShows([file, next](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr) << modal->metaObject()->className();
            EXPECT_EQ(dialog->objectName(), "sdExportData");
            if (next)
                next();
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(file);
            static_cast<QDialog*>(dialog)->accept(); // as its Save button does
        });
    }
    static void answerAppendQuestion(QMessageBox::StandardButton answer, QString* asked)
    {
        whenModalShows([answer, asked](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            ASSERT_NE(box, nullptr) << modal->metaObject()->className();
            *asked = box->windowTitle() + ": " + box->text();
            box->button(answer)->click();
        });
    }
};

TEST_F(ObserversTest, time_series_window_follows_its_command_and_its_close_unchecks_it)
{
    TfTimeSeries& window = windows().timeSeries();
    QAction* command = main().actions().timeSeries;
    EXPECT_FALSE(window.isVisible());
    trigger("mTimeSeries");
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(command->isChecked());
    EXPECT_TRUE(frontEnd().isTimeSeriesChecked());

    window.close(); // the window's own close
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(command->isChecked());
    EXPECT_FALSE(frontEnd().isTimeSeriesChecked());

    trigger("mTimeSeries");
    ASSERT_TRUE(window.isVisible());
    // A model load hides it for the time of the load and brings it back.
    ASSERT_TRUE(frontEnd().loadModelFile(m_folder.file("model.so")));
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(command->isChecked());
}

TEST_F(ObserversTest, graph_draws_at_refreshes_only_while_shown)
{
    const int slot = addSeries("Average", 0);
    frontEnd().newSimulation(QString());
    TimeSeriesGraph& graph = *windows().timeSeries().graph();
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(frontEnd().sbStepClick()); // each step refreshes
    EXPECT_TRUE(graph.hasPendingSamples()); // hidden: nothing drawn
    EXPECT_EQ(table().samples(slot).samples().size(), 6u);

    trigger("mTimeSeries");
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&windows().timeSeries()));
    frontEnd().atRefreshTimer();
    EXPECT_FALSE(graph.hasPendingSamples());
    ASSERT_NE(graph.series(slot), nullptr);
    EXPECT_EQ(graph.series(slot)->drawnCount(), 6u);
    ASSERT_TRUE(frontEnd().sbStepClick());
    EXPECT_EQ(graph.series(slot)->drawnCount(), 7u);

    // A new simulation empties the samples and lets the axes follow the data again.
    graph.setAutoScaling(false); // as after a zoom
    frontEnd().newSimulation(QString());
    EXPECT_TRUE(graph.autoScaling());
    frontEnd().atRefreshTimer();
    EXPECT_EQ(graph.series(slot)->drawnCount(), 1u);
}

TEST_F(ObserversTest, export_pauses_then_asks_before_appending)
{
    addSeries("Average", 0);
    frontEnd().newSimulation(QString());
    trigger("mTimeSeries");
    ASSERT_TRUE(frontEnd().Run1Click());
    ASSERT_TRUE(waitUntil([&] { return model().simTime() >= 3; }));

    const QString file = m_folder.file("series.dat");
    answerExport(file);
    windows().timeSeries().mExportDataClick();
    EXPECT_FALSE(frontEnd().isRunning());
    EXPECT_EQ(frontEnd().statusText(), "Paused");
    const QByteArray first = m_folder.read("series.dat");
    EXPECT_TRUE(first.startsWith("\n#\tTessra v1.9 - Time Series\n#\tLife 1.0\n")) << first.data();
    EXPECT_TRUE(first.contains("#\t\t2 = Average Alive\n")) << first.data();

    QString asked;
    answerExport(file, [&asked] { answerAppendQuestion(QMessageBox::Yes, &asked); });
    windows().timeSeries().mExportDataClick();
    EXPECT_EQ(asked, "File Exists: Append data to existing file?");
    const QByteArray both = m_folder.read("series.dat");
    EXPECT_TRUE(both.startsWith(first));
    EXPECT_EQ(both.count("#\tTessra v1.9 - Time Series\n"), 2);
    // Nothing was recorded in between: the second block has the same rows.
    EXPECT_TRUE(both.endsWith(first.mid(first.indexOf("#\t\t2 = Average Alive\n"))));
    EXPECT_TRUE(m_dialogs.messages.empty());
}

TEST_F(ObserversTest, time_series_failures_and_help_use_the_programs_display_and_pages)
{
    test::OpenedDocuments opened;
    answerExport(m_folder.file("nothing.dat"));
    windows().timeSeries().mExportDataClick(); // no series
    ASSERT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_EQ(m_dialogs.messages[0].text, "No data series to export!.");
    EXPECT_EQ(m_dialogs.messages[0].caption, "Tessra: Life");
    EXPECT_EQ(m_dialogs.messages[0].icon, QMessageBox::Critical);
    EXPECT_FALSE(QFileInfo::exists(m_folder.file("nothing.dat")));

    windows().timeSeries().Help1Click();
    ASSERT_EQ(opened.urls.size(), 1u);
    EXPECT_EQ(opened.urls[0].toLocalFile(),
        QDir(QCoreApplication::applicationDirPath()).filePath("help/timeseries.html"));
}

TEST_F(ObserversTest, inspector_follows_the_pointer_only_while_shown)
{
    TfInspect& inspector = windows().inspector();
    main().setZoomCode(8);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(frontEnd().sbStepClick());
    pointAt(2, 3);
    EXPECT_EQ(inspected(0), ""); // hidden: nothing asked, nothing shown

    trigger("Inspect1");
    ASSERT_TRUE(inspector.isVisible());
    EXPECT_TRUE(main().actions().inspectSites->isChecked());
    EXPECT_EQ(inspector.chosenState(), 0); // the first state row
    pointAt(2, 3);
    EXPECT_EQ(inspected(0), "2");
    EXPECT_EQ(inspected(1), "3");
    EXPECT_EQ(inspected(2), TfInspect::valueText(model().stateValue(2, 3, 0)));
    EXPECT_EQ(inspected(3), TfInspect::valueText(model().stateValue(2, 3, 1)));

    // The window shows the core's inspected site and hands the chosen row to it.
    SiteInspector& site = m_core.siteInspector();
    EXPECT_EQ(site.column(), 2);
    EXPECT_EQ(site.value(1), model().stateValue(2, 3, 1));
    auto* grid = inspector.findChild<QTableWidget*>(QStringLiteral("sgState"));
    grid->setCurrentCell(3, 0);
    EXPECT_EQ(site.chosenState(), 1);
    site.chooseState(0);
    EXPECT_EQ(grid->currentRow(), 2);
    pointAt(2, 3);
    auto* label = inspector.findChild<QLabel*>(QStringLiteral("lAboutState"));
    EXPECT_EQ(label->text(), QString::fromStdString(model().stateName(0)));

    inspector.close(); // the window's own close
    EXPECT_FALSE(main().actions().inspectSites->isChecked());
    EXPECT_FALSE(frontEnd().isInspectorChecked());
    pointAt(5, 6);
    EXPECT_EQ(inspected(0), "2"); // hidden again: left as it was
}

TEST_F(ObserversTest, inspector_lists_the_states_of_each_new_world)
{
    trigger("Inspect1");
    auto* grid = windows().inspector().findChild<QTableWidget*>(QStringLiteral("sgState"));
    ASSERT_EQ(grid->rowCount(), 4); // X, Y, Alive, Age
    EXPECT_EQ(grid->item(2, 0)->text(), "Alive");
    ASSERT_TRUE(frontEnd().loadModelFile(QString::fromStdString(test::fixtureModel("fractional"))));
    EXPECT_TRUE(windows().inspector().isVisible()); // back after the load
    ASSERT_EQ(grid->rowCount(), 4);
    EXPECT_EQ(grid->item(2, 0)->text(), "index");
    EXPECT_EQ(grid->item(3, 0)->text(), "time");
}

} // namespace
} // namespace tessra
