#include "SampleGraph.h"

#include <algorithm>
#include <cmath>

namespace tessra {

namespace {

constexpr double PointSize = 5.0;
// Pixel positions further than this beyond the graph are pulled in: painting
// engines misbehave with coordinates of astronomical size, and the visible
// part of a line changes by less than a pixel.
constexpr double FarOff = 1e5;

bool tickBefore(const Sample& sample, double tick)
{
    return sample.tick < tick;
}
bool tickAfter(double tick, const Sample& sample)
{
    return tick < sample.tick;
}

} // namespace

/// The polylines and points of one drawing, in pixels.
struct SampleGraph::Outline {
    QList<QPolygonF> lines;
    QPolygonF points;
    bool broken = true;
    bool dense = false;
    QRectF bounds;

    void add(double x, double y)
    {
        if (!std::isfinite(x) || !std::isfinite(y)) {
            broken = true;
            return;
        }
        const QPointF point(std::clamp(x, bounds.left() - FarOff, bounds.right() + FarOff),
            std::clamp(y, bounds.top() - FarOff, bounds.bottom() + FarOff));
        if (broken) {
            lines.append(QPolygonF());
            broken = false;
        }
        lines.last().append(point);
        points.append(point);
    }
};

SampleGraph::SampleGraph(QCPAxis* keyAxis, QCPAxis* valueAxis, const SampleList& samples)
    : QCPAbstractPlottable(keyAxis, valueAxis)
    , m_samples(samples)
{
    setSelectable(QCP::stNone);
    setBrush(Qt::NoBrush);
}

void SampleGraph::catchUp()
{
    m_summary.update(m_samples.samples(), m_samples.dirtyFrom());
}

std::size_t SampleGraph::drawnCount() const
{
    return std::min(m_summary.count(), m_samples.size());
}

void SampleGraph::setLineColor(const QColor& color)
{
    QPen linePen = pen();
    linePen.setColor(color);
    setPen(linePen);
}

void SampleGraph::setLinePattern(Qt::PenStyle pattern)
{
    QPen linePen = pen();
    linePen.setStyle(pattern);
    setPen(linePen);
}

void SampleGraph::setPointColor(const QColor& color)
{
    m_pointColor = color;
}

double SampleGraph::selectTest(const QPointF&, bool, QVariant*) const
{
    return -1;
}

QCPRange SampleGraph::getKeyRange(bool& foundRange, QCP::SignDomain inSignDomain) const
{
    const auto& samples = m_samples.samples();
    auto first = samples.begin();
    auto last = first + static_cast<std::ptrdiff_t>(drawnCount());
    if (inSignDomain == QCP::sdPositive)
        first = std::upper_bound(first, last, 0.0, tickAfter);
    else if (inSignDomain == QCP::sdNegative)
        last = std::lower_bound(first, last, 0.0, tickBefore);
    foundRange = first != last && std::isfinite(first->tick) && std::isfinite((last - 1)->tick);
    return foundRange ? QCPRange(first->tick, (last - 1)->tick) : QCPRange();
}

QCPRange SampleGraph::getValueRange(
    bool& foundRange, QCP::SignDomain inSignDomain, const QCPRange& inKeyRange) const
{
    const auto& samples = m_samples.samples();
    std::size_t from = 0;
    std::size_t to = drawnCount();
    if (inKeyRange != QCPRange()) {
        const auto end = samples.begin() + static_cast<std::ptrdiff_t>(to);
        from = std::lower_bound(samples.begin(), end, inKeyRange.lower, tickBefore)
            - samples.begin();
        to = std::upper_bound(samples.begin(), end, inKeyRange.upper, tickAfter) - samples.begin();
    }
    ValueSpan span = m_summary.span(samples, from, to);
    // The graph's axes are linear; a sign domain only cuts the span.
    if (inSignDomain == QCP::sdPositive)
        span.min = std::max(span.min, std::numeric_limits<double>::min());
    else if (inSignDomain == QCP::sdNegative)
        span.max = std::min(span.max, -std::numeric_limits<double>::min());
    foundRange = !span.empty();
    return foundRange ? QCPRange(span.min, span.max) : QCPRange();
}

void SampleGraph::draw(QCPPainter* painter)
{
    const QCPAxis* keyAxis = mKeyAxis.data();
    if (!keyAxis || !mValueAxis || (!m_showLines && !m_showPoints))
        return;
    const std::size_t n = drawnCount();
    if (n == 0)
        return;
    const auto& samples = m_samples.samples();
    const auto end = samples.begin() + static_cast<std::ptrdiff_t>(n);
    const QCPRange keys = keyAxis->range();
    const std::size_t from
        = std::lower_bound(samples.begin(), end, keys.lower, tickBefore) - samples.begin();
    const std::size_t to
        = std::upper_bound(samples.begin(), end, keys.upper, tickAfter) - samples.begin();

    Outline outline;
    outline.bounds = clipRect();
    // One sample beyond each edge, so that the line runs on to the border.
    const std::size_t before = from > 0 ? from - 1 : from;
    const std::size_t after = to < n ? to + 1 : to;
    const auto columns = static_cast<std::size_t>(std::max(1, keyAxis->axisRect()->width()));
    if (to - from > 2 * columns && !keyAxis->rangeReversed()) {
        outline.dense = true;
        collectSparse(outline, before, from);
        collectDense(outline, from, to);
        collectSparse(outline, to, after);
    } else {
        collectSparse(outline, before, after);
    }
    drawOutline(painter, outline);
}

void SampleGraph::collectSparse(Outline& outline, std::size_t from, std::size_t to) const
{
    const auto& samples = m_samples.samples();
    for (std::size_t i = from; i < to; ++i)
        outline.add(
            mKeyAxis->coordToPixel(samples[i].tick), mValueAxis->coordToPixel(samples[i].value));
}

std::size_t SampleGraph::firstAtOrAfter(double tick, std::size_t from, std::size_t to) const
{
    // Samples are mostly evenly spaced: guess by interpolation, then gallop
    // from the guess and search the bracket found. A plain binary search
    // over a million samples misses the cache at almost every step.
    const auto& samples = m_samples.samples();
    if (from >= to)
        return to;
    const double first = samples[from].tick;
    const double span = samples[to - 1].tick - first;
    std::size_t guess = from;
    if (span > 0 && tick > first)
        guess = from
            + static_cast<std::size_t>(
                std::min(1.0, (tick - first) / span) * double(to - 1 - from));
    std::size_t lo = from;
    std::size_t hi = to;
    if (samples[guess].tick < tick) {
        lo = guess + 1;
        for (std::size_t step = 1;; step *= 2) {
            const std::size_t probe = guess + step;
            if (probe >= to)
                break;
            if (samples[probe].tick >= tick) {
                hi = probe;
                break;
            }
            lo = probe + 1;
        }
    } else {
        hi = guess;
        for (std::size_t step = 1;; step *= 2) {
            if (guess < from + step)
                break;
            const std::size_t probe = guess - step;
            if (samples[probe].tick < tick) {
                lo = probe + 1;
                break;
            }
            hi = probe;
        }
    }
    return std::lower_bound(samples.begin() + static_cast<std::ptrdiff_t>(lo),
               samples.begin() + static_cast<std::ptrdiff_t>(hi), tick, tickBefore)
        - samples.begin();
}

void SampleGraph::collectDense(Outline& outline, std::size_t from, std::size_t to) const
{
    const auto& samples = m_samples.samples();
    const QCPAxis* keyAxis = mKeyAxis.data();
    const QCPAxis* valueAxis = mValueAxis.data();
    const int left = keyAxis->axisRect()->left();
    const int right = keyAxis->axisRect()->right();
    std::size_t i = from;
    for (int column = left; column <= right && i < to; ++column) {
        // The column's samples: those before the key of the next column's edge.
        std::size_t j = to;
        if (column < right)
            j = firstAtOrAfter(keyAxis->pixelToCoord(column + 1), i, to);
        // The next column most likely ends as far on: fetch its memory while
        // this one is worked out.
        if (j < to)
            m_summary.prefetch(samples, std::min(to - 1, j + (j - i)));
        if (j == i)
            continue;
        const Sample& first = samples[i];
        outline.add(keyAxis->coordToPixel(first.tick), valueAxis->coordToPixel(first.value));
        if (j - i > 1) {
            const ValueSpan span = m_summary.span(samples, i, j);
            const Sample& final = samples[j - 1];
            if (!span.empty()) {
                const double x = column + 0.5;
                // Run from the extreme nearer the first value to the other.
                const bool upward
                    = std::abs(first.value - span.min) <= std::abs(first.value - span.max);
                outline.add(x, valueAxis->coordToPixel(upward ? span.min : span.max));
                outline.add(x, valueAxis->coordToPixel(upward ? span.max : span.min));
            }
            outline.add(keyAxis->coordToPixel(final.tick), valueAxis->coordToPixel(final.value));
        }
        i = j;
    }
}

QCPScatterStyle SampleGraph::pointStyle() const
{
    return QCPScatterStyle(QCPScatterStyle::ssDisc, m_pointColor, PointSize);
}

void SampleGraph::drawOutline(QCPPainter* painter, const Outline& outline) const
{
    if (m_showLines) {
        // Dense data is drawn as one vertical stroke per pixel column, which
        // antialiasing would only blur (at a fifth of the drawing time).
        if (outline.dense)
            painter->setAntialiasing(false);
        else
            applyDefaultAntialiasingHint(painter);
        painter->setPen(pen());
        painter->setBrush(Qt::NoBrush);
        for (const QPolygonF& line : outline.lines) {
            if (line.size() > 1)
                painter->drawPolyline(line);
        }
    }
    if (m_showPoints) {
        applyScattersAntialiasingHint(painter);
        const QCPScatterStyle style = pointStyle();
        style.applyTo(painter, pen());
        for (const QPointF& point : outline.points)
            style.drawShape(painter, point);
    }
}

void SampleGraph::drawLegendIcon(QCPPainter* painter, const QRectF& rect) const
{
    const bool line = m_legendStyle == NameAndLine || m_legendStyle == NameLineAndPoint;
    const bool point = m_legendStyle == NameAndPoint || m_legendStyle == NameLineAndPoint;
    const double y = rect.center().y();
    if (line) {
        applyDefaultAntialiasingHint(painter);
        painter->setPen(pen());
        painter->setBrush(Qt::NoBrush);
        painter->drawLine(QLineF(rect.left(), y, rect.right(), y));
    }
    if (point) {
        applyScattersAntialiasingHint(painter);
        const QCPScatterStyle style = pointStyle();
        style.applyTo(painter, pen());
        style.drawShape(painter, rect.center());
    }
}

} // namespace tessra
