#include "TimeSeriesGraph.h"

#include <cmath>

#include "GraphParts.h"
#include "SampleGraph.h"
#include "SeriesTable.h"

namespace tessra {

namespace {

// A press and release this close together are a click, not a drag.
constexpr int ClickDistance = 3;
// Automatic scaling leaves this share of the value range free above and below
// the data, so that no series lies on the frame.
constexpr double ValueMargin = 0.03;
// The axes of a graph without data.
const QCPRange EmptyRange(0, 5);

/// A range that has room: a single value is widened around itself.
QCPRange widened(QCPRange range)
{
    if (range.size() > 0)
        return range;
    const double centre = range.center();
    const double half = centre != 0 ? std::abs(centre) * 0.05 : 0.5;
    return QCPRange(centre - half, centre + half);
}

QCPRange joined(const QCPRange& a, const QCPRange& b)
{
    return QCPRange(std::min(a.lower, b.lower), std::max(a.upper, b.upper));
}

} // namespace

TimeSeriesGraph::TimeSeriesGraph(SeriesTable& table, QWidget* parent)
    : QCustomPlot(parent)
    , m_table(table)
{
    setObjectName(QStringLiteral("xygTimeSeries"));
    setToolTip(QStringLiteral("Left Click to autoscale,\nDrag to zoom."));
    QLocale numbers;
    numbers.setNumberOptions(QLocale::OmitGroupSeparator);
    setLocale(numbers);
    setBackground(Qt::white);
    // The legend lists the series in number order; it is rebuilt at every layout.
    setAutoAddPlottableToLegend(false);
    setUpAxes();
    setUpLegend();

    setSelectionRectMode(QCP::srmZoom);
    // Connected after the graph's own zoom, so that the limit applies to its result.
    connect(selectionRect(), &QCPSelectionRect::accepted, this, &TimeSeriesGraph::zoomed);
    connect(this, &QCustomPlot::mousePress, this, &TimeSeriesGraph::pressed);
    connect(this, &QCustomPlot::mouseRelease, this, &TimeSeriesGraph::released);
}

void TimeSeriesGraph::setUpAxes()
{
    xAxis->setLabel(QStringLiteral("Tick"));
    yAxis->setLabel(QStringLiteral(" "));
    xAxis->setLabelPadding(m_metrics.titleOffset);
    xAxis->setTickLabelPadding(m_metrics.labelOffset);
    for (QCPAxis* axis : { xAxis, yAxis }) {
        axis->setTicker(QSharedPointer<QCPAxisTicker>(new DecimalTicker));
        axis->grid()->setVisible(true);
        axis->grid()->setSubGridVisible(false);
        axis->grid()->setZeroLinePen(QPen(Qt::black, 0));
    }
    setGrid(false);
    xAxis2->setVisible(false);
    yAxis2->setVisible(false);
    // A blank title keeps the top tick label clear of the edge.
    plotLayout()->insertRow(0);
    plotLayout()->addElement(0, 0, new QCPTextElement(this, QStringLiteral(" ")));
}

void TimeSeriesGraph::setUpLegend()
{
    QCPAxisRect* axes = axisRect();
    axes->setAutoMargins(QCP::msLeft | QCP::msTop);
    axes->insetLayout()->remove(legend);
    m_legendBox = new SeriesLegend;
    axes->insetLayout()->addElement(m_legendBox, Qt::AlignRight | Qt::AlignTop);
    m_legendBox->setLayer(QStringLiteral("legend"));
    legend = m_legendBox;
    m_legendBox->setFillOrder(QCPLegend::foRowsFirst);
    m_legendBox->setRowSpacing(0);
    // The symbol space is the icon and the gap after it.
    const int icon = m_metrics.symbolSpace * 2 / 3;
    m_legendBox->setIconSize(icon, m_metrics.itemHeight / 2);
    m_legendBox->setIconTextPadding(m_metrics.symbolSpace - icon);
    m_legendBox->setMargins(QMargins(m_metrics.horizontalMargin, m_metrics.verticalMargin,
        m_metrics.horizontalMargin, m_metrics.verticalMargin));
    m_legendBox->setVisible(false);
}

SampleGraph* TimeSeriesGraph::series(int slot) const
{
    return slot >= 0 && slot < static_cast<int>(m_series.size())
        ? m_series[static_cast<std::size_t>(slot)]
        : nullptr;
}

void TimeSeriesGraph::showSeries(int slot, const QString& label)
{
    SampleGraph*& series = m_series[static_cast<std::size_t>(slot)];
    if (!series)
        series = new SampleGraph(xAxis, yAxis, m_table.samples(slot));
    series->reset();
    series->setVisible(true);
    series->setName(label);
}

void TimeSeriesGraph::hideSeries(int slot)
{
    if (SampleGraph* graph = series(slot)) {
        graph->reset();
        graph->setVisible(false);
        graph->setLegendStyle(SampleGraph::NotListed);
        graph->removeFromLegend(m_legendBox);
    }
}

void TimeSeriesGraph::resetSamples()
{
    for (SampleGraph* graph : m_series) {
        if (graph)
            graph->reset();
    }
    m_autoScale = true;
}

void TimeSeriesGraph::setLook(int slot, const SeriesLook& look)
{
    if (SampleGraph* graph = series(slot)) {
        graph->setLineColor(look.color);
        graph->setLinePattern(look.pattern);
        graph->setPointColor(look.color);
    }
}

void TimeSeriesGraph::setStyle(int slot, bool lines, bool points)
{
    if (SampleGraph* graph = series(slot)) {
        graph->setShowLines(lines);
        graph->setShowPoints(points);
        graph->setLegendStyle(
            static_cast<SampleGraph::LegendStyle>(legendEntryStyle(lines, points)));
    }
}

void TimeSeriesGraph::setGrid(bool dotted)
{
    const QPen pen = dotted ? QPen(QColor(Qt::gray), 0, Qt::DotLine) : QPen(Qt::NoPen);
    xAxis->grid()->setPen(pen);
    yAxis->grid()->setPen(pen);
}

void TimeSeriesGraph::setLegendContents(
    int widestLabel, int rows, int itemHeight, const QFont& font)
{
    m_widestLabel = widestLabel;
    m_rows = rows;
    m_metrics.itemHeight = itemHeight;
    m_legendBox->setFont(font);
    layOutLegend();
}

void TimeSeriesGraph::layOutLegend()
{
    m_legend = layoutLegend(m_widestLabel, m_rows, size(), m_metrics);
    axisRect()->setMargins(QMargins(0, 0, m_legend.rightMargin, m_legend.bottomMargin));
    m_legendBox->setFixedRect(m_legend.rect());
    // Entries in series-number order, whatever the order of adding.
    m_legendBox->clearItems();
    for (int slot = 0; slot < static_cast<int>(m_series.size()); ++slot) {
        SampleGraph* graph = series(slot);
        if (!graph || !m_table.isUsed(slot))
            continue;
        graph->addToLegend(m_legendBox);
        if (QCPPlottableLegendItem* item = m_legendBox->itemWithPlottable(graph)) {
            item->setMargins(QMargins(0, 0, 0, 0));
            item->setFont(m_legendBox->font());
        }
    }
    m_legendBox->setVisible(m_rows > 0);
}

void TimeSeriesGraph::resizeEvent(QResizeEvent* event)
{
    // The legend first: the graph replots at its new size right away.
    layOutLegend();
    QCustomPlot::resizeEvent(event);
}

bool TimeSeriesGraph::hasPendingSamples() const
{
    for (int slot = 0; slot < static_cast<int>(m_series.size()); ++slot) {
        if (m_table.isUsed(slot) && m_table.samples(slot).isDirty())
            return true;
    }
    return false;
}

void TimeSeriesGraph::catchUp()
{
    for (int slot = 0; slot < static_cast<int>(m_series.size()); ++slot) {
        if (SampleGraph* graph = series(slot); graph && m_table.isUsed(slot))
            graph->catchUp();
        m_table.markFlushed(slot);
    }
}

void TimeSeriesGraph::redraw()
{
    if (!isVisible())
        return;
    catchUp();
    if (m_autoScale)
        rescale();
    replot();
}

bool TimeSeriesGraph::dataRanges(QCPRange& keys, QCPRange& values) const
{
    bool anyKeys = false;
    bool anyValues = false;
    for (int slot = 0; slot < static_cast<int>(m_series.size()); ++slot) {
        const SampleGraph* graph = series(slot);
        if (!graph || !m_table.isUsed(slot))
            continue;
        bool found = false;
        const QCPRange k = graph->getKeyRange(found);
        if (found) {
            keys = anyKeys ? joined(keys, k) : k;
            anyKeys = true;
        }
        const QCPRange v = graph->getValueRange(found);
        if (found) {
            values = anyValues ? joined(values, v) : v;
            anyValues = true;
        }
    }
    if (!anyValues)
        values = yAxis->range();
    keys = widened(keys);
    values = widened(values);
    return anyKeys;
}

void TimeSeriesGraph::rescale()
{
    QCPRange keys;
    QCPRange values;
    if (!dataRanges(keys, values)) {
        // Nothing recorded (a new model, a cleared graph): the ranges of the
        // data drawn before mean nothing now.
        xAxis->setRange(EmptyRange);
        yAxis->setRange(EmptyRange);
        return;
    }
    const double margin = values.size() * ValueMargin;
    xAxis->setRange(keys);
    yAxis->setRange(values.lower - margin, values.upper + margin);
}

void TimeSeriesGraph::pressed(QMouseEvent* event)
{
    m_pressPos = event->pos();
}

void TimeSeriesGraph::released(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton
        || (event->pos() - m_pressPos).manhattanLength() > ClickDistance)
        return;
    m_autoScale = true;
    redraw();
}

void TimeSeriesGraph::zoomed()
{
    m_autoScale = false;
    QCPRange keys;
    QCPRange values;
    if (!dataRanges(keys, values))
        return;
    for (auto [axis, full] : { std::pair { xAxis, keys }, std::pair { yAxis, values } }) {
        const double smallest = full.size() / MaximumZoom;
        if (axis->range().size() < smallest) {
            const double centre = axis->range().center();
            axis->setRange(centre - smallest / 2, centre + smallest / 2);
        }
    }
}

} // namespace tessra
