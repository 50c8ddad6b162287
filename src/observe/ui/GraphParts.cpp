#include "GraphParts.h"

#include <cmath>

namespace tessra {

void SeriesLegend::update(UpdatePhase phase)
{
    // The enclosing layout has placed the legend by now; move it to its own
    // place before its items are laid out inside it. The frame is drawn on
    // the rectangle's right and bottom edges, one pixel beyond its last
    // column and row: the rectangle is one pixel smaller so that the frame
    // stays inside the graph at its right edge.
    if (phase == upLayout && m_fixedRect.isValid())
        setOuterRect(m_fixedRect.adjusted(0, 0, -1, -1));
    QCPLegend::update(phase);
}

QString DecimalTicker::getTickLabel(double tick, const QLocale& locale, QChar, int)
{
    const double magnitude = std::abs(tick);
    // A tick that should be zero often comes out of the step arithmetic as
    // a tiny remainder.
    if (magnitude < 0.5e-3)
        return locale.toString(0);
    if (magnitude >= 1e15)
        return locale.toString(tick, 'g', 6);
    QString text = locale.toString(tick, 'f', Decimals);
    const QString point = locale.decimalPoint();
    if (text.contains(point)) {
        while (text.endsWith(locale.zeroDigit()))
            text.chop(1);
        if (text.endsWith(point))
            text.chop(point.size());
    }
    return text;
}

} // namespace tessra
