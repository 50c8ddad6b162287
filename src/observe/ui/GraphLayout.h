#pragma once

#include <QColor>
#include <QRect>
#include <QSize>

namespace tessra {

/// The legend's measures, in pixels: the space for a line sample or point
/// symbol before each name, the margins inside the legend's frame, the height
/// of one entry (the Series list's item height) and the X axis' title and
/// label offsets.
struct LegendMetrics {
    int symbolSpace = 30;
    int horizontalMargin = 10;
    int verticalMargin = 5;
    int itemHeight = 16;
    int titleOffset = 4;
    int labelOffset = 2;
};

/// Where the legend goes and how much room the graph leaves for it and for
/// the X axis, in pixels of the graph control.
struct LegendGeometry {
    int width = 0;
    int height = 0;
    int left = 0;
    int top = 0;
    int rightMargin = 0;
    int bottomMargin = 0;

    QRect rect() const { return QRect(left, top, width, height); }
    friend bool operator==(const LegendGeometry&, const LegendGeometry&) = default;
};

/// Lays out the legend beside a graph of `graphSize`: as wide as the widest
/// label (`widestLabel`, measured with one "x" added) plus the symbol space
/// and both horizontal margins, at the right edge; one item height per row
/// plus both vertical margins high, centred vertically. The graph's right
/// margin makes room for the legend and one margin more; its bottom margin
/// is twice the item height plus the X axis' offsets. Halves are truncated.
LegendGeometry layoutLegend(
    int widestLabel, int rows, QSize graphSize, const LegendMetrics& metrics = LegendMetrics());

/// Places of the controls of the Series page, whose inner size is W x H.
struct SeriesPageGeometry {
    QRect operationLabel;
    QRect operationList;
    QRect stateLabel;
    QRect stateList;
    QRect addButton;
    QRect removeButton;
    QRect seriesLabel;
    QRect seriesList;
};

/// The Series page's layout: three lists W/2 - 72 wide, the operation and
/// state lists one above the other on the left, Add and Remove in the middle,
/// the Series list on the right at full height (H - 40). Labels and buttons
/// keep the given sizes. Halves are truncated toward zero.
SeriesPageGeometry layoutSeriesPage(QSize page, QSize labelSize, QSize buttonSize);

/// Colour and line pattern of graph series `number` (its slot).
struct SeriesLook {
    QColor color;
    Qt::PenStyle pattern = Qt::SolidLine;
};

/// Monochrome: black, patterns solid, dash, dot, dash-dot, dash-dot-dot by
/// number mod 5. In colour: a fixed table of 15 colours by number mod 15,
/// solid for numbers 0 to 14, dashed from 15 on. Points take the line colour.
SeriesLook seriesLook(int number, bool monochrome);

/// The legend entry style for the drawing setting: 1 name only, 2 name and
/// point symbol, 3 name and line sample, 4 name, line and point.
int legendEntryStyle(bool drawLines, bool drawPoints);

} // namespace tessra
