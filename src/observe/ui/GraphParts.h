#pragma once

#include <qcustomplot.h>

namespace tessra {

/// A legend placed at a fixed rectangle of the graph control, wherever its
/// layout would put it: the time-series window lays the legend out itself,
/// beside the axes rather than inside them.
class SeriesLegend : public QCPLegend {
    Q_OBJECT
public:
    SeriesLegend() = default;

    /// The legend's outer rectangle in pixels of the graph control; an
    /// invalid rectangle leaves the placing to the layout.
    void setFixedRect(const QRect& rect) { m_fixedRect = rect; }
    QRect fixedRect() const { return m_fixedRect; }

    void update(UpdatePhase phase) override;

private:
    QRect m_fixedRect;
};

/// Tick labels with at most three decimals, trailing zeros dropped, in the
/// graph's locale ("0", "0.5", "1.125", "2500"); very large or very small
/// magnitudes in exponent notation.
class DecimalTicker : public QCPAxisTicker {
public:
    static constexpr int Decimals = 3;

protected:
    QString getTickLabel(
        double tick, const QLocale& locale, QChar formatChar, int precision) override;
};

} // namespace tessra
