#pragma once

#include <qcustomplot.h>

#include "SampleList.h"
#include "SampleSummary.h"

namespace tessra {

/// One series of the time-series graph, drawn straight from its sample list:
/// the graph holds no copy of the samples, only a summary of their extremes
/// (SampleSummary) that makes drawing and scaling cost in proportion to the
/// graph's width instead of the number of samples.
///
/// New samples are drawn only after catchUp(): until then the series draws
/// the samples it had at the last catch-up (deferred drawing). The sample
/// list must outlive the series (the series table owns both for the life of
/// the program).
///
/// Where more samples fall on the graph than it has pixel columns, each
/// column is drawn as the first value, the extremes and the last value of
/// its samples: the picture is the same as drawing every sample, at the
/// cost of one summary read per column. Values that are not finite break
/// the line.
class SampleGraph : public QCPAbstractPlottable {
    Q_OBJECT
public:
    /// How the series shows in the legend: 0 not listed, 1 name only,
    /// 2 name and point symbol, 3 name and line sample, 4 all three.
    enum LegendStyle {
        NotListed = 0,
        NameOnly = 1,
        NameAndPoint = 2,
        NameAndLine = 3,
        NameLineAndPoint = 4
    };

    SampleGraph(QCPAxis* keyAxis, QCPAxis* valueAxis, const SampleList& samples);

    /// Takes in the changes of the sample list since the last catch-up
    /// (SampleList::dirtyFrom()); the caller then marks the list flushed.
    void catchUp();
    /// Forgets the samples drawn (the list was emptied).
    void reset() { m_summary.reset(); }
    /// Number of samples the series draws.
    std::size_t drawnCount() const;

    void setShowLines(bool show) { m_showLines = show; }
    bool showLines() const { return m_showLines; }
    void setShowPoints(bool show) { m_showPoints = show; }
    bool showPoints() const { return m_showPoints; }
    void setLegendStyle(LegendStyle style) { m_legendStyle = style; }
    LegendStyle legendStyle() const { return m_legendStyle; }
    void setLineColor(const QColor& color);
    QColor lineColor() const { return pen().color(); }
    void setLinePattern(Qt::PenStyle pattern);
    Qt::PenStyle linePattern() const { return pen().style(); }
    void setPointColor(const QColor& color);
    QColor pointColor() const { return m_pointColor; }
    /// Heap bytes of the drawing summary (the samples are the table's).
    std::size_t summaryBytes() const { return m_summary.bytes(); }

    double selectTest(
        const QPointF& pos, bool onlySelectable, QVariant* details = nullptr) const override;
    QCPRange getKeyRange(
        bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth) const override;
    QCPRange getValueRange(bool& foundRange, QCP::SignDomain inSignDomain = QCP::sdBoth,
        const QCPRange& inKeyRange = QCPRange()) const override;

protected:
    void draw(QCPPainter* painter) override;
    void drawLegendIcon(QCPPainter* painter, const QRectF& rect) const override;

private:
    struct Outline;

    void collectSparse(Outline& outline, std::size_t from, std::size_t to) const;
    void collectDense(Outline& outline, std::size_t from, std::size_t to) const;
    /// Index of the first of samples [from, to) whose tick is not below `tick`.
    std::size_t firstAtOrAfter(double tick, std::size_t from, std::size_t to) const;
    void drawOutline(QCPPainter* painter, const Outline& outline) const;
    QCPScatterStyle pointStyle() const;

    const SampleList& m_samples;
    SampleSummary m_summary;
    bool m_showLines = true;
    bool m_showPoints = false;
    LegendStyle m_legendStyle = NameAndLine;
    QColor m_pointColor = Qt::black;
};

} // namespace tessra
