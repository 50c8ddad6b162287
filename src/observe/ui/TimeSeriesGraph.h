#pragma once

#include <qcustomplot.h>

#include <array>

#include "GraphLayout.h"

namespace tessra {

class SampleGraph;
class SeriesLegend;
class SeriesTable;

/// The graph of the time-series window (objectName "xygTimeSeries"): value
/// against tick for every series of the table, one graph series per slot,
/// created on first use and drawn straight from the slot's sample list.
///
/// Axes follow the data (automatic scaling) until the user drags a rectangle
/// to zoom in (at most MaximumZoom times); a left click scales them to the
/// data again. The legend stands right of the axes, laid out by the legend
/// rules (layoutLegend) whenever the graph's size or the legend's contents
/// change.
///
/// Nothing is drawn while the graph is out of sight (window hidden, or
/// another page shown): redraw() then does nothing, and the next redraw
/// after showing draws everything.
class TimeSeriesGraph : public QCustomPlot {
    Q_OBJECT
public:
    static constexpr double MaximumZoom = 65535.0;

    explicit TimeSeriesGraph(SeriesTable& table, QWidget* parent = nullptr);

    /// The graph series of `slot`, or null before its first use.
    SampleGraph* series(int slot) const;
    /// Makes the graph series of `slot` active, empty, titled `label`.
    void showSeries(int slot, const QString& label);
    /// Makes the graph series of `slot` inactive, empty and unlisted.
    void hideSeries(int slot);
    /// Forgets every series' drawn samples (the sample lists were emptied)
    /// and scales the axes automatically again.
    void resetSamples();
    /// Colour and pattern of slot `slot`'s series.
    void setLook(int slot, const SeriesLook& look);
    /// Lines, points and legend entry style of slot `slot`'s series.
    void setStyle(int slot, bool lines, bool points);
    /// Dotted grid lines, or none (the zero lines stay).
    void setGrid(bool dotted);

    /// What the legend lists: the width of its widest label, its number of
    /// rows, the height of a row and the font of the labels. Lays out the
    /// legend and the graph's margins.
    void setLegendContents(int widestLabel, int rows, int itemHeight, const QFont& font);
    /// The legend's place as last laid out.
    const LegendGeometry& legendGeometry() const { return m_legend; }

    /// True when any used slot holds samples not drawn yet.
    bool hasPendingSamples() const;
    /// Takes in every series' new samples and marks them flushed in the table.
    void catchUp();
    /// Takes in new samples, scales the axes if they follow the data, and
    /// replots; does nothing out of sight.
    void redraw();
    /// Scales the axes to the data (if there is any).
    void rescale();
    bool autoScaling() const { return m_autoScale; }
    void setAutoScaling(bool on) { m_autoScale = on; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void setUpAxes();
    void setUpLegend();
    void layOutLegend();
    bool dataRanges(QCPRange& keys, QCPRange& values) const;
    void pressed(QMouseEvent* event);
    void released(QMouseEvent* event);
    void zoomed();

    SeriesTable& m_table;
    std::array<SampleGraph*, 16> m_series {};
    SeriesLegend* m_legendBox = nullptr;
    LegendMetrics m_metrics;
    int m_widestLabel = 0;
    int m_rows = 0;
    LegendGeometry m_legend;
    bool m_autoScale = true;
    QPoint m_pressPos;
};

} // namespace tessra
