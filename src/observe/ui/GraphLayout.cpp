#include "GraphLayout.h"

#include <array>

namespace tessra {

LegendGeometry layoutLegend(
    int widestLabel, int rows, QSize graphSize, const LegendMetrics& metrics)
{
    LegendGeometry legend;
    legend.width = widestLabel + metrics.symbolSpace + 2 * metrics.horizontalMargin;
    legend.rightMargin = legend.width + metrics.horizontalMargin;
    legend.left = graphSize.width() - legend.width;
    legend.height = rows * metrics.itemHeight + 2 * metrics.verticalMargin;
    legend.top = (graphSize.height() - legend.height) / 2;
    legend.bottomMargin = 2 * (metrics.itemHeight + metrics.titleOffset + metrics.labelOffset);
    return legend;
}

SeriesPageGeometry layoutSeriesPage(QSize page, QSize labelSize, QSize buttonSize)
{
    const int w = page.width();
    const int h = page.height();
    const int listWidth = w / 2 - 72;
    const int half = (h - 40) / 2;
    const int seriesLeft = w / 2 + 56;
    const int buttonLeft = w / 2 - 40;

    SeriesPageGeometry g;
    g.operationLabel = QRect(QPoint(16, 9), labelSize);
    g.operationList = QRect(16, 25, listWidth, half - 12);
    g.stateLabel = QRect(QPoint(16, half + 20), labelSize);
    g.stateList = QRect(16, half + 36, listWidth, half - 12);
    g.addButton = QRect(QPoint(buttonLeft, h / 2 - 28), buttonSize);
    g.removeButton = QRect(QPoint(buttonLeft, h / 2 + 4), buttonSize);
    g.seriesLabel = QRect(QPoint(seriesLeft, 9), labelSize);
    g.seriesList = QRect(seriesLeft, 25, listWidth, h - 40);
    return g;
}

SeriesLook seriesLook(int number, bool monochrome)
{
    static constexpr std::array<QRgb, 15> Colors { 0xFF0000, 0x008000, 0x0000FF, 0xFF00FF, 0x000080,
        0x800000, 0x008080, 0x808000, 0x000000, 0x808080, 0x008040, 0x800080, 0xC0C0C0, 0x00FFFF,
        0xFFFF00 };
    static constexpr std::array<Qt::PenStyle, 5> Patterns { Qt::SolidLine, Qt::DashLine,
        Qt::DotLine, Qt::DashDotLine, Qt::DashDotDotLine };
    number = number < 0 ? 0 : number;
    if (monochrome)
        return { QColor(Qt::black), Patterns[static_cast<std::size_t>(number % 5)] };
    return { QColor(Colors[static_cast<std::size_t>(number % 15)]),
        number / 15 == 0 ? Qt::SolidLine : Qt::DashLine };
}

int legendEntryStyle(bool drawLines, bool drawPoints)
{
    if (drawLines)
        return drawPoints ? 4 : 3;
    return drawPoints ? 2 : 1;
}

} // namespace tessra
