// The fixed rules of the time-series window: legend and margins, the Series
// page's places, colours and patterns by series number, tick labels.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>

#include <memory>

#include "GraphLayout.h"
#include "GraphOutput.h"
#include "GraphParts.h"
#include "ObserveUiTestSupport.h"
#include "SeriesChoice.h"
#include "SeriesPage.h"
#include "SeriesTable.h"
#include "TfTimeSeries.h"
#include "TimeSeriesGraph.h"
#include "TimeSeriesRecorder.h"

namespace tessra {
namespace {

TEST(LegendLayout, follows_the_rules_with_the_form_values)
{
    const LegendGeometry legend = layoutLegend(121, 3, QSize(501, 301));
    EXPECT_EQ(legend.width, 121 + 30 + 2 * 10);
    EXPECT_EQ(legend.rightMargin, 171 + 10);
    EXPECT_EQ(legend.left, 501 - 171);
    EXPECT_EQ(legend.height, 3 * 16 + 2 * 5);
    EXPECT_EQ(legend.top, (301 - 58) / 2);
    EXPECT_EQ(legend.bottomMargin, 44);
}

TEST(LegendLayout, halves_are_truncated_toward_zero)
{
    // A legend taller than the graph has a negative top, truncated toward zero.
    const LegendGeometry legend = layoutLegend(10, 20, QSize(100, 301));
    EXPECT_EQ(legend.height, 330);
    EXPECT_EQ(legend.top, -14);
}

TEST(SeriesPageLayout, places_the_controls_by_the_page_size)
{
    const SeriesPageGeometry g = layoutSeriesPage(QSize(401, 251), QSize(60, 16), QSize(75, 25));
    const int listWidth = 401 / 2 - 72; // 128
    const int h = (251 - 40) / 2; // 105
    EXPECT_EQ(g.operationLabel, QRect(16, 9, 60, 16));
    EXPECT_EQ(g.operationList, QRect(16, 25, listWidth, h - 12));
    EXPECT_EQ(g.stateLabel, QRect(16, h + 20, 60, 16));
    EXPECT_EQ(g.stateList, QRect(16, h + 36, listWidth, h - 12));
    EXPECT_EQ(g.addButton, QRect(401 / 2 - 40, 251 / 2 - 28, 75, 25));
    EXPECT_EQ(g.removeButton, QRect(401 / 2 - 40, 251 / 2 + 4, 75, 25));
    EXPECT_EQ(g.seriesLabel, QRect(401 / 2 + 56, 9, 60, 16));
    EXPECT_EQ(g.seriesList, QRect(401 / 2 + 56, 25, listWidth, 251 - 40));
}

TEST(SeriesLook, colours_by_number_mod_15_and_dashes_from_15)
{
    const QRgb colors[15] = { 0xFF0000, 0x008000, 0x0000FF, 0xFF00FF, 0x000080, 0x800000, 0x008080,
        0x808000, 0x000000, 0x808080, 0x008040, 0x800080, 0xC0C0C0, 0x00FFFF, 0xFFFF00 };
    for (int n = 0; n < 16; ++n) {
        const SeriesLook look = seriesLook(n, false);
        EXPECT_EQ(look.color, QColor(colors[n % 15])) << n;
        EXPECT_EQ(look.pattern, n < 15 ? Qt::SolidLine : Qt::DashLine) << n;
    }
}

TEST(SeriesLook, monochrome_is_black_with_patterns_by_number_mod_5)
{
    const Qt::PenStyle patterns[5]
        = { Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine, Qt::DashDotDotLine };
    for (int n = 0; n < 16; ++n) {
        const SeriesLook look = seriesLook(n, true);
        EXPECT_EQ(look.color, QColor(Qt::black)) << n;
        EXPECT_EQ(look.pattern, patterns[n % 5]) << n;
    }
}

TEST(SeriesLook, legend_entry_styles)
{
    EXPECT_EQ(legendEntryStyle(false, false), 1);
    EXPECT_EQ(legendEntryStyle(false, true), 2);
    EXPECT_EQ(legendEntryStyle(true, false), 3);
    EXPECT_EQ(legendEntryStyle(true, true), 4);
}

struct ExposedTicker : DecimalTicker {
    QString label(double tick) { return getTickLabel(tick, QLocale::c(), QLatin1Char('g'), 6); }
};

TEST(TickLabels, show_at_most_three_decimals)
{
    ExposedTicker ticker;
    EXPECT_EQ(ticker.label(0), QStringLiteral("0"));
    EXPECT_EQ(ticker.label(1e-17), QStringLiteral("0"));
    EXPECT_EQ(ticker.label(0.5), QStringLiteral("0.5"));
    EXPECT_EQ(ticker.label(1.125), QStringLiteral("1.125"));
    EXPECT_EQ(ticker.label(-2.25), QStringLiteral("-2.25"));
    EXPECT_EQ(ticker.label(2500), QStringLiteral("2500"));
    EXPECT_EQ(ticker.label(0.3333333), QStringLiteral("0.333"));
    EXPECT_EQ(ticker.label(1e300), QStringLiteral("1e+300"));
}

class WindowLayout : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::loadModelWithWorld(test::fixtureModel("stats")));
        test::forgetDisplaySettings(QStringLiteral("fTimeSeries"));
        recorder = std::make_unique<TimeSeriesRecorder>(ModelApi());
        choice = std::make_unique<SeriesChoice>(recorder->table());
        window = std::make_unique<TfTimeSeries>(*recorder, *choice);
        window->resize(600, 450);
        window->show();
    }

    std::unique_ptr<TimeSeriesRecorder> recorder;
    std::unique_ptr<SeriesChoice> choice;
    std::unique_ptr<TfTimeSeries> window;
};

TEST_F(WindowLayout, the_legend_stands_right_of_the_axes_by_the_rules)
{
    recorder->table().addSeries(SeriesTable::Skewness, 1);
    recorder->table().addSeries(SeriesTable::Parameter, 0);
    auto* list = window->findChild<QListWidget*>(QStringLiteral("lbSeries"));
    auto* page = window->findChild<SeriesPage*>(QStringLiteral("tsSeries"));
    TimeSeriesGraph* graph = window->graph();
    graph->replot();

    const QFontMetrics metrics(list->font());
    const int widest = metrics.horizontalAdvance(QStringLiteral("Skewness Average xx"));
    LegendMetrics form;
    form.itemHeight = page->itemHeight();
    const LegendGeometry expected = layoutLegend(widest, 2, graph->size(), form);
    EXPECT_EQ(graph->legendGeometry(), expected);
    EXPECT_EQ(graph->axisRect()->margins().right(), expected.rightMargin);
    EXPECT_EQ(graph->axisRect()->margins().bottom(), expected.bottomMargin);
    // The frame is drawn on the right and bottom edges of the legend's rectangle:
    // one pixel less keeps it inside the graph.
    EXPECT_EQ(graph->legend->outerRect(), expected.rect().adjusted(0, 0, -1, -1));
    EXPECT_EQ(graph->axisRect()->outerRect().right() + 1, graph->width());
    const QImage picture = GraphOutput::image(*graph);
    const int middle = expected.top + expected.height / 2;
    EXPECT_EQ(QColor(picture.pixel(graph->width() - 1, middle)), QColor(Qt::black));
    EXPECT_EQ(QColor(picture.pixel(expected.left, middle)), QColor(Qt::black));
    // Entries downwards, one item height each.
    ASSERT_EQ(graph->legend->itemCount(), 2);
    EXPECT_EQ(graph->legend->item(1)->outerRect().top() - graph->legend->item(0)->outerRect().top(),
        form.itemHeight);
    if (form.itemHeight == SeriesPage::DesignItemHeight) {
        EXPECT_EQ(expected.bottomMargin, 44);
    }

    // Resizing the graph lays the legend out again.
    window->resize(700, 520);
    QCoreApplication::processEvents();
    EXPECT_EQ(graph->legendGeometry(), layoutLegend(widest, 2, graph->size(), form));
}

TEST_F(WindowLayout, the_series_page_places_its_controls_by_its_size)
{
    auto* pages = window->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    pages->setCurrentIndex(0);
    auto* page = window->findChild<SeriesPage*>(QStringLiteral("tsSeries"));
    const int w = page->width();
    const int h = page->height();
    EXPECT_EQ(page->lbSeries->geometry(), QRect(w / 2 + 56, 25, w / 2 - 72, h - 40));
    EXPECT_EQ(
        page->lbStates->geometry(), QRect(16, (h - 40) / 2 + 36, w / 2 - 72, (h - 40) / 2 - 12));
    EXPECT_EQ(page->bAdd->pos(), QPoint(w / 2 - 40, h / 2 - 28));
    EXPECT_EQ(page->bRemove->pos(), QPoint(w / 2 - 40, h / 2 + 4));

    window->resize(396, 320);
    QCoreApplication::processEvents();
    EXPECT_EQ(page->lbOperation->geometry(),
        QRect(16, 25, page->width() / 2 - 72, (page->height() - 40) / 2 - 12));
    EXPECT_GT(page->lbOperation->width(), 0);
}

} // namespace
} // namespace tessra
