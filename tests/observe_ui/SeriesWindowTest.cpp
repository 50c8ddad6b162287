// The time-series window's Series page, menus, tool bar, legend order,
// deferred drawing and display settings, with the stats fixture model
// (states "x" and "Average x", parameters v0..v3 and Width).
#include <gtest/gtest.h>

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <memory>

#include "ObserveUiTestSupport.h"
#include "SampleGraph.h"
#include "SeriesChoice.h"
#include "SeriesTable.h"
#include "TfTimeSeries.h"
#include "TimeSeriesGraph.h"
#include "TimeSeriesRecorder.h"

namespace tessra {
namespace {

using test::selectRow;

/// Drags a zoom rectangle over the graph, as the user does with the mouse.
void dragZoom(QWidget* graph, QPoint from, QPoint to)
{
    QTest::mousePress(graph, Qt::LeftButton, {}, from);
    QTest::mouseMove(graph, (from + to) / 2);
    QTest::mouseMove(graph, to);
    QTest::mouseRelease(graph, Qt::LeftButton, {}, to);
}

constexpr int Minimum = SeriesTable::Minimum;
constexpr int Maximum = SeriesTable::Maximum;
constexpr int Average = SeriesTable::Average;
constexpr int Variance = SeriesTable::Variance;
constexpr int Parameter = SeriesTable::Parameter;
constexpr int StateX = 0;
constexpr int StateAverageX = 1;

class SeriesWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::loadModelWithWorld(test::fixtureModel("stats")));
        test::forgetDisplaySettings(QStringLiteral("fTimeSeries"));
        recorder = std::make_unique<TimeSeriesRecorder>(ModelApi());
        choice = std::make_unique<SeriesChoice>(recorder->table());
        window = std::make_unique<TfTimeSeries>(*recorder, *choice);
        window->setErrorReporter(errors.reporter());
        lbOperation = child<QListWidget>("lbOperation");
        lbStates = child<QListWidget>("lbStates");
        lbSeries = child<QListWidget>("lbSeries");
        bAdd = child<QPushButton>("bAdd");
        bRemove = child<QPushButton>("bRemove");
    }

    template <class T> T* child(const char* name) const
    {
        T* found = window->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }

    /// Adds a series the way the user does: operation row, subject row, Add.
    void add(int operation, int subject)
    {
        selectRow(lbOperation, operation);
        selectRow(lbStates, subject);
        window->bAddClick();
    }

    void removeRow(int row)
    {
        selectRow(lbSeries, row);
        window->bRemoveClick();
    }

    QStringList listed() const
    {
        QStringList labels;
        for (int row = 0; row < lbSeries->count(); ++row)
            labels.append(lbSeries->item(row)->text());
        return labels;
    }

    SeriesTable& table() { return recorder->table(); }

    test::ErrorLog errors;
    std::unique_ptr<TimeSeriesRecorder> recorder;
    std::unique_ptr<SeriesChoice> choice;
    std::unique_ptr<TfTimeSeries> window;
    QListWidget* lbOperation = nullptr;
    QListWidget* lbStates = nullptr;
    QListWidget* lbSeries = nullptr;
    QPushButton* bAdd = nullptr;
    QPushButton* bRemove = nullptr;
};

TEST_F(SeriesWindow, add_without_a_subject_fails_and_changes_nothing)
{
    window->bAddClick();
    selectRow(lbOperation, Average);
    ASSERT_EQ(lbStates->count(), 2);
    window->bAddClick();
    EXPECT_EQ(
        errors.messages, QStringList(2, QStringLiteral("Select an operation/state pair to plot")));
    EXPECT_EQ(lbSeries->count(), 0);
    EXPECT_EQ(table().count(), 0);

    // Choosing another operation empties the subject list: choose again.
    selectRow(lbStates, StateX);
    selectRow(lbOperation, Parameter);
    EXPECT_EQ(lbStates->count(), 5);
    EXPECT_TRUE(lbStates->selectedItems().isEmpty());
    window->bAddClick();
    EXPECT_EQ(errors.messages.size(), 3);
    EXPECT_EQ(table().count(), 0);
}

TEST_F(SeriesWindow, the_lists_show_the_series_choice_and_choose_through_it)
{
    // A choice made outside (automation) shows in the lists; a subject chosen
    // before is gone, and choosing the same operation again refills the list.
    choice->chooseOperation(Parameter);
    EXPECT_EQ(lbOperation->currentRow(), Parameter);
    EXPECT_EQ(lbStates->count(), 5);
    selectRow(lbStates, 1);
    EXPECT_EQ(choice->subject(), 1);
    choice->chooseOperation(Parameter);
    EXPECT_EQ(lbStates->count(), 5);
    EXPECT_TRUE(lbStates->selectedItems().isEmpty());
    ASSERT_TRUE(choice->chooseText(" average  X "));
    EXPECT_EQ(lbOperation->currentRow(), Average);
    EXPECT_EQ(lbStates->selectedItems().value(0)->text(), "x");
    window->bAddClick();
    EXPECT_EQ(listed(), QStringList { "Average x" });
    choice->chooseOperation(99);
    EXPECT_TRUE(lbOperation->selectedItems().isEmpty());
    EXPECT_EQ(lbStates->count(), 0);

    // A click in the window chooses in the core.
    selectRow(lbOperation, Maximum);
    EXPECT_EQ(choice->operation(), Maximum);
    EXPECT_EQ(choice->subjects(), (QStringList { "x", "Average x" }));
    selectRow(lbStates, StateAverageX);
    EXPECT_EQ(choice->subject(), StateAverageX);
    EXPECT_EQ(choice->add(), 1);
    EXPECT_EQ(listed(), (QStringList { "Average x", "Maximum Average x" }));
}

TEST_F(SeriesWindow, a_pair_added_twice_fails_the_second_time)
{
    add(Average, StateX);
    add(Variance, StateX);
    add(Average, StateX);
    EXPECT_EQ(errors.messages,
        QStringList { QStringLiteral("Operation/state pair already being plotted") });
    EXPECT_EQ(
        listed(), (QStringList { QStringLiteral("Average x"), QStringLiteral("Variance x") }));
}

TEST_F(SeriesWindow, remove_without_a_selection_fails)
{
    add(Average, StateX);
    lbSeries->clearSelection();
    window->bRemoveClick();
    EXPECT_EQ(errors.messages, QStringList { QStringLiteral("Select a series to remove") });
    EXPECT_EQ(lbSeries->count(), 1);

    // A removal leaves no row selected: a second Remove removes nothing more.
    add(Variance, StateX);
    add(Minimum, StateX);
    removeRow(0);
    EXPECT_TRUE(lbSeries->selectedItems().isEmpty());
    window->bRemoveClick();
    EXPECT_EQ(errors.messages, QStringList(2, QStringLiteral("Select a series to remove")));
    EXPECT_EQ(
        listed(), (QStringList { QStringLiteral("Variance x"), QStringLiteral("Minimum x") }));
}

TEST_F(SeriesWindow, a_freed_slot_is_reused_with_its_colour_but_listed_last)
{
    add(Average, StateX);
    add(Average, StateAverageX);
    add(Minimum, StateX);
    removeRow(1);
    add(Maximum, StateX);

    EXPECT_TRUE(errors.messages.isEmpty());
    EXPECT_EQ(listed(),
        (QStringList { QStringLiteral("Average x"), QStringLiteral("Minimum x"),
            QStringLiteral("Maximum x") }));
    EXPECT_EQ(table().slotAtRow(2), 1);
    ASSERT_NE(window->graphSeries(1), nullptr);
    EXPECT_EQ(window->graphSeries(1)->lineColor(), QColor(0x00, 0x80, 0x00));
    EXPECT_EQ(window->graphSeries(1)->pointColor(), QColor(0x00, 0x80, 0x00));
    EXPECT_EQ(window->graphSeries(1)->name(), QStringLiteral("Maximum x"));

    // The legend lists by series number: slot 1 before slot 2.
    QCPLegend* legend = window->graph()->legend;
    ASSERT_EQ(legend->itemCount(), 3);
    for (int i = 0; i < 3; ++i) {
        auto* item = qobject_cast<QCPPlottableLegendItem*>(legend->item(i));
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->plottable(), window->graphSeries(i)) << i;
    }
}

TEST_F(SeriesWindow, removing_and_adding_a_pair_again_starts_empty)
{
    add(Average, StateX);
    recorder->recordTimeSeries(0.0);
    recorder->recordTimeSeries(1.0);
    ASSERT_EQ(table().samples(0).size(), 2u);
    removeRow(0);
    add(Average, StateX);
    EXPECT_EQ(table().samples(0).size(), 0u);
}

TEST_F(SeriesWindow, sixteen_series_disable_add_and_one_removal_enables_it)
{
    EXPECT_TRUE(bAdd->isEnabled());
    EXPECT_FALSE(bRemove->isEnabled());
    for (int operation = Minimum; operation < Parameter; ++operation) {
        add(operation, StateX);
        add(operation, StateAverageX);
    }
    for (int parameter = 0; parameter < 4; ++parameter)
        add(Parameter, parameter);
    ASSERT_EQ(lbSeries->count(), 16);
    EXPECT_FALSE(bAdd->isEnabled());
    EXPECT_TRUE(bRemove->isEnabled());

    removeRow(5);
    EXPECT_TRUE(bAdd->isEnabled());
    while (lbSeries->count() > 0)
        removeRow(0);
    EXPECT_FALSE(bRemove->isEnabled());
    EXPECT_TRUE(errors.messages.isEmpty());
}

TEST_F(SeriesWindow, a_parameter_series_is_listed_by_the_parameter_name_alone)
{
    add(Parameter, test::paramIndex("v2"));
    add(Average, StateAverageX);
    EXPECT_EQ(
        listed(), (QStringList { QStringLiteral("v2"), QStringLiteral("Average Average x") }));
}

TEST_F(SeriesWindow, series_added_elsewhere_show_in_the_list)
{
    table().addSeries(Maximum, StateX);
    table().addSeries(Parameter, 0);
    EXPECT_EQ(listed(), (QStringList { QStringLiteral("Maximum x"), QStringLiteral("v0") }));
    EXPECT_TRUE(bRemove->isEnabled());
    table().removeAllSeries();
    EXPECT_TRUE(listed().isEmpty());
    EXPECT_FALSE(bRemove->isEnabled());
}

TEST_F(SeriesWindow, drawing_settings_decide_lines_points_and_legend_entries)
{
    add(Average, StateX);
    SampleGraph* series = window->graphSeries(0);
    ASSERT_NE(series, nullptr);
    EXPECT_EQ(series->legendStyle(), SampleGraph::NameAndLine);

    QAction* lines = child<QAction>("mDrawLines");
    QAction* points = child<QAction>("mDrawPoints");
    points->trigger();
    EXPECT_TRUE(series->showPoints());
    EXPECT_EQ(series->legendStyle(), SampleGraph::NameLineAndPoint);
    EXPECT_TRUE(child<QToolButton>("sbDrawPoints")->isChecked());
    lines->trigger();
    EXPECT_EQ(series->legendStyle(), SampleGraph::NameAndPoint);
    points->trigger();
    EXPECT_FALSE(series->showLines());
    EXPECT_FALSE(series->showPoints());
    EXPECT_EQ(series->legendStyle(), SampleGraph::NameOnly);
    EXPECT_FALSE(child<QToolButton>("sbDrawLines")->isChecked());
    // Names only: the entry is still listed.
    EXPECT_EQ(window->graph()->legend->itemCount(), 1);

    // A series added now takes the present setting.
    add(Minimum, StateX);
    EXPECT_EQ(window->graphSeries(1)->legendStyle(), SampleGraph::NameOnly);
}

TEST_F(SeriesWindow, monochrome_draws_black_with_a_pattern_by_slot)
{
    for (int operation = Minimum; operation < Parameter; ++operation)
        add(operation, StateX);
    child<QAction>("mMonochrome")->trigger();
    const Qt::PenStyle patterns[] = { Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine,
        Qt::DashDotDotLine, Qt::SolidLine };
    for (int slot = 0; slot < 6; ++slot) {
        EXPECT_EQ(window->graphSeries(slot)->lineColor(), QColor(Qt::black)) << slot;
        EXPECT_EQ(window->graphSeries(slot)->linePattern(), patterns[slot]) << slot;
    }
    child<QAction>("mMonochrome")->trigger();
    EXPECT_EQ(window->graphSeries(2)->lineColor(), QColor(0x00, 0x00, 0xFF));
    EXPECT_EQ(window->graphSeries(2)->linePattern(), Qt::SolidLine);
}

TEST_F(SeriesWindow, controls_menus_and_tool_bar_carry_their_texts)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Time Series"));
    EXPECT_EQ(window->minimumSize(), QSize(396, 320));
    auto* pages = child<QTabWidget>("PageControl1");
    EXPECT_EQ(pages->tabText(0), QStringLiteral("Series"));
    EXPECT_EQ(pages->tabText(1), QStringLiteral("Graph"));
    EXPECT_EQ(pages->currentWidget()->objectName(), QStringLiteral("tsGraph"));
    EXPECT_EQ(child<QLabel>("Label1")->text(), QStringLiteral("Operation:"));
    EXPECT_EQ(child<QLabel>("lState")->text(), QStringLiteral("State:"));
    EXPECT_EQ(child<QLabel>("lSeries")->text(), QStringLiteral("Series:"));
    EXPECT_EQ(bAdd->text(), QStringLiteral("Add >"));
    EXPECT_EQ(bRemove->text(), QStringLiteral("< Remove"));
    const QStringList operations { "Minimum", "Maximum", "Average", "Variance", "Skewness",
        "Kurtosis", "Parameter" };
    ASSERT_EQ(lbOperation->count(), operations.size());
    for (int row = 0; row < lbOperation->count(); ++row)
        EXPECT_EQ(lbOperation->item(row)->text(), operations[row]);

    struct MenuItem {
        const char* name;
        const char* text;
        QKeySequence shortcut;
    };
    const MenuItem items[] = {
        { "mExportData", "E&xport Data to...", {} },
        { "mClose", "&Close Window", {} },
        { "mSaveAs", "&Save As...", QKeySequence(Qt::CTRL | Qt::Key_S) },
        { "mPrint", "P&rint", QKeySequence(Qt::CTRL | Qt::Key_P) },
        { "mCopy", "&Copy", QKeySequence(Qt::CTRL | Qt::Key_C) },
        { "mClear", "Clear", QKeySequence(Qt::CTRL | Qt::Key_Delete) },
        { "mDrawLines", "Draw &Lines", {} },
        { "mDrawPoints", "Draw &Points", {} },
        { "mMonochrome", "Monochrome", {} },
        { "mGrid", "&Grid", {} },
        { "Help1", "&Help", QKeySequence(Qt::Key_F1) },
    };
    for (const MenuItem& item : items) {
        auto* action = child<QAction>(item.name);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text(), QString::fromLatin1(item.text)) << item.name;
        EXPECT_EQ(action->shortcut(), item.shortcut) << item.name;
    }
    EXPECT_TRUE(child<QAction>("mDrawLines")->isChecked());
    EXPECT_FALSE(child<QAction>("mGrid")->isChecked());
    const QList<QAction*> bar = window->menuBar()->actions();
    ASSERT_EQ(bar.size(), 3);
    EXPECT_EQ(bar[0]->text(), QStringLiteral("&File"));
    EXPECT_EQ(bar[1]->text(), QStringLiteral("&Graph"));
    EXPECT_EQ(bar[2]->objectName(), QStringLiteral("Help1"));

    struct Button {
        const char* name;
        const char* caption;
        const char* hint;
    };
    const Button buttons[] = {
        { "sbExport", "Export", "Export Data" },
        { "sbSaveAs", "Save", "Save graph as..." },
        { "sbCopy", "Copy", "Copy graph to clipboard" },
        { "sbClear", "Clear", "Clear graph" },
        { "sbDrawLines", "Lines", "Draw lines" },
        { "sbDrawPoints", "Points", "Draw points" },
        { "sbMono", "Mono", "Monochrome (black & white)" },
        { "sbGrid", "Grid", "Draw grid" },
    };
    for (const Button& b : buttons) {
        auto* button = child<QToolButton>(b.name);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->text(), QString::fromLatin1(b.caption)) << b.name;
        EXPECT_EQ(button->toolTip(), QString::fromLatin1(b.hint)) << b.name;
        EXPECT_EQ(button->size(), QSize(48, 48)) << b.name;
        EXPECT_FALSE(button->icon().isNull()) << b.name;
    }
    EXPECT_EQ(
        window->graph()->toolTip(), QStringLiteral("Left Click to autoscale,\nDrag to zoom."));
    EXPECT_EQ(window->graph()->xAxis->label(), QStringLiteral("Tick"));
}

TEST_F(SeriesWindow, a_hidden_window_records_but_draws_nothing)
{
    int replots = 0;
    QObject::connect(window->graph(), &QCustomPlot::afterReplot, window.get(), [&] { ++replots; });
    add(Average, StateX);
    add(Parameter, 0);
    for (int tick = 0; tick < 100; ++tick)
        recorder->recordTimeSeries(tick);
    window->flush();
    EXPECT_EQ(replots, 0);
    EXPECT_EQ(table().samples(0).size(), 100u);
    EXPECT_EQ(window->graphSeries(0)->drawnCount(), 0u);

    // Shown again, it draws everything it holds.
    window->show();
    QCoreApplication::processEvents();
    EXPECT_GE(replots, 1);
    EXPECT_EQ(window->graphSeries(0)->drawnCount(), 100u);
    EXPECT_EQ(window->graphSeries(1)->drawnCount(), 100u);

    // Visible: nothing new, nothing drawn; new samples wait for the flush.
    replots = 0;
    window->flush();
    EXPECT_EQ(replots, 0);
    recorder->recordTimeSeries(100);
    EXPECT_EQ(window->graphSeries(0)->drawnCount(), 100u);
    window->flush();
    EXPECT_EQ(replots, 1);
    EXPECT_EQ(window->graphSeries(0)->drawnCount(), 101u);

    // On the Series page the graph is out of sight; the Graph page draws all.
    child<QTabWidget>("PageControl1")->setCurrentIndex(0);
    QCoreApplication::processEvents();
    replots = 0;
    recorder->recordTimeSeries(101);
    window->flush();
    EXPECT_EQ(replots, 0);
    child<QTabWidget>("PageControl1")->setCurrentIndex(1);
    QCoreApplication::processEvents();
    EXPECT_GE(replots, 1);
    EXPECT_EQ(window->graphSeries(0)->drawnCount(), 102u);

    window->hide();
    replots = 0;
    recorder->recordTimeSeries(102);
    window->flush();
    EXPECT_EQ(replots, 0);
    EXPECT_EQ(window->graphSeries(0)->drawnCount(), 102u);
}

TEST_F(SeriesWindow, clear_empties_the_samples_keeps_the_series_and_scales_automatically)
{
    window->show();
    add(Average, StateX);
    for (int tick = 0; tick < 50; ++tick)
        recorder->recordTimeSeries(tick);
    window->flush();
    TimeSeriesGraph* graph = window->graph();
    EXPECT_DOUBLE_EQ(graph->xAxis->range().lower, 0.0);
    EXPECT_DOUBLE_EQ(graph->xAxis->range().upper, 49.0);

    // Dragging a rectangle zooms in and stops the automatic scaling.
    const QRect axes = graph->axisRect()->rect();
    dragZoom(graph, axes.topLeft() + QPoint(10, 10), axes.topLeft() + QPoint(60, 60));
    EXPECT_FALSE(graph->autoScaling());
    EXPECT_LT(graph->xAxis->range().size(), 49.0);
    recorder->recordTimeSeries(80);
    window->flush();
    EXPECT_LT(graph->xAxis->range().upper, 80.0);

    // A left click scales to the data again.
    QTest::mouseClick(graph, Qt::LeftButton, {}, axes.center());
    EXPECT_TRUE(graph->autoScaling());
    EXPECT_DOUBLE_EQ(graph->xAxis->range().upper, 80.0);

    dragZoom(graph, axes.topLeft() + QPoint(10, 10), axes.topLeft() + QPoint(60, 60));
    ASSERT_FALSE(graph->autoScaling());
    window->mClearClick();
    EXPECT_TRUE(graph->autoScaling());
    EXPECT_EQ(table().samples(0).size(), 0u);
    EXPECT_EQ(window->graphSeries(0)->drawnCount(), 0u);
    EXPECT_EQ(listed(), QStringList { QStringLiteral("Average x") });
    recorder->recordTimeSeries(200);
    recorder->recordTimeSeries(210);
    window->flush();
    EXPECT_DOUBLE_EQ(graph->xAxis->range().lower, 200.0);
    EXPECT_DOUBLE_EQ(graph->xAxis->range().upper, 210.0);
}

TEST_F(SeriesWindow, zooming_stops_at_the_largest_factor)
{
    window->show();
    add(Average, StateX);
    for (int tick = 0; tick <= 65535; tick += 5)
        recorder->recordTimeSeries(tick);
    window->flush();
    TimeSeriesGraph* graph = window->graph();
    for (int i = 0; i < 6; ++i) {
        const QPoint corner = graph->axisRect()->rect().topLeft() + QPoint(5, 5);
        dragZoom(graph, corner, corner + QPoint(5, 5));
    }
    EXPECT_GE(graph->xAxis->range().size(), 65535.0 / TimeSeriesGraph::MaximumZoom * 0.999);
}

TEST_F(SeriesWindow, help_close_and_pause_go_to_their_handlers)
{
    QStringList keys;
    window->setHelpHandler([&](const QString& key) { keys.append(key); });
    child<QAction>("Help1")->trigger();
    EXPECT_EQ(keys, QStringList { QStringLiteral("fTimeSeries") });

    window->setHelpHandler(
        [](const QString&) { throw CommandError(QStringLiteral("Cannot open file\n/x")); });
    window->Help1Click();
    EXPECT_EQ(errors.messages, QStringList { QStringLiteral("Cannot open file\n/x") });

    window->show();
    QSignalSpy closed(window.get(), &TfTimeSeries::visibilityChangedByUser);
    child<QAction>("mClose")->trigger();
    EXPECT_FALSE(window->isVisible());
    ASSERT_EQ(closed.size(), 1);
    EXPECT_EQ(closed[0][0].toBool(), false);
    // Hiding from the main window is no user's close.
    window->show();
    window->hide();
    EXPECT_EQ(closed.size(), 1);
}

TEST_F(SeriesWindow, export_pauses_asks_for_a_name_and_asks_before_appending)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("series.dat"));
    int pauses = 0;
    window->setPauseHandler([&] { ++pauses; });
    window->show();
    add(Average, StateX);
    recorder->recordTimeSeries(0.0);

    auto chooseFile = [&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->objectName(), QStringLiteral("sdExportData"));
        EXPECT_EQ(dialog->defaultSuffix(), QStringLiteral("dat"));
        test::typeFileName(dialog, file);
    };
    test::whenModal(chooseFile);
    window->mExportDataClick();
    EXPECT_EQ(pauses, 1);
    EXPECT_TRUE(QFileInfo::exists(file));

    QString question;
    test::whenModal([&](QWidget* modal) {
        test::whenModal([&](QWidget* box) {
            auto* message = qobject_cast<QMessageBox*>(box);
            ASSERT_NE(message, nullptr);
            question = message->windowTitle() + QLatin1Char('|') + message->text();
            message->button(QMessageBox::Yes)->click();
        });
        chooseFile(modal);
    });
    window->mExportDataClick();
    EXPECT_EQ(pauses, 2);
    EXPECT_EQ(question, QStringLiteral("File Exists|Append data to existing file?"));
    QFile exported(file);
    ASSERT_TRUE(exported.open(QIODevice::ReadOnly));
    EXPECT_EQ(exported.readAll().count("- Time Series"), 2);
    EXPECT_TRUE(errors.messages.isEmpty());

    // Without series the export fails with its message.
    removeRow(0);
    test::whenModal(chooseFile);
    window->mExportDataClick();
    EXPECT_EQ(errors.messages, QStringList { QStringLiteral("No data series to export!") });
}

TEST_F(SeriesWindow, check_marks_page_and_file_names_are_kept_for_the_next_run)
{
    QTemporaryDir dir;
    const QString picture = dir.filePath(QStringLiteral("graph.svg"));
    window->show();
    child<QAction>("mGrid")->trigger();
    child<QAction>("mMonochrome")->trigger();
    child<QAction>("mDrawLines")->trigger();
    test::whenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        test::typeFileName(dialog, picture);
    });
    window->mSaveAsClick();
    ASSERT_TRUE(QFileInfo::exists(picture));
    child<QTabWidget>("PageControl1")->setCurrentIndex(0);
    window->hide();
    window.reset();

    window = std::make_unique<TfTimeSeries>(*recorder, *choice);
    EXPECT_TRUE(child<QAction>("mGrid")->isChecked());
    EXPECT_TRUE(child<QAction>("mMonochrome")->isChecked());
    EXPECT_FALSE(child<QAction>("mDrawLines")->isChecked());
    EXPECT_FALSE(child<QAction>("mDrawPoints")->isChecked());
    EXPECT_EQ(child<QTabWidget>("PageControl1")->currentIndex(), 0);
    EXPECT_EQ(child<QFileDialog>("sdSaveAs")->selectedFiles().value(0), picture);
}

} // namespace
} // namespace tessra
