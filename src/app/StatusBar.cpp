#include "StatusBar.h"

#include <QFontMetricsF>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolTip>
#include <QtMath>

#include <algorithm>

namespace tessra {

namespace {
// A panel's frame leaves a 2-pixel gap to the next; its text keeps 4 pixels from the
// left edge and 3 from the right.
constexpr int PanelGap = 2;
constexpr int TextLeft = 4;
constexpr int TextRight = 3;
/// About one frame of a 60 Hz screen.
constexpr int FrameMilliseconds = 16;
} // namespace

StatusBar::StatusBar(QWidget* parent)
    : QWidget(parent)
    , m_texts(
          { QString(), QStringLiteral("Tick 0"), QStringLiteral("0 fps"), QStringLiteral("0 tps") })
    , m_longest(
          { QString(), QString(), QStringLiteral("9999999 fps"), QStringLiteral("9999999 tps") })
{
    setObjectName(QStringLiteral("sbStatus"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setMouseTracking(true);
    measureLongest();
    m_frameTimer.setSingleShot(true);
    m_frameTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_frameTimer, &QTimer::timeout, this, &StatusBar::repaintPending);
}

QSize StatusBar::sizeHint() const
{
    return { 200, fontMetrics().height() + 8 };
}

void StatusBar::setPanelText(Panel panel, const QString& text)
{
    if (m_texts[panel] == text)
        return;
    m_texts[panel] = text;
    // A rate panel widens for a text longer than any before and stays that wide, so
    // the panels do not jump back and forth as the rate changes.
    if (panel == FrameRate || panel == TickRate) {
        const int width = rateWidth(text);
        if (width > m_longestWidth[panel]) {
            m_longest[panel] = text;
            m_longestWidth[panel] = width;
            repaintSoon(rect()); // every panel moves
            return;
        }
    }
    repaintSoon(panelBox(panel));
}

void StatusBar::repaintSoon(const QRect& area)
{
    // At Fast the texts change after every step, far more often than a screen shows
    // frames: only the panels whose text changed are repainted, at most once a frame.
    m_pending += area;
    if (m_sinceRepaint.isValid() && m_sinceRepaint.elapsed() < FrameMilliseconds) {
        if (!m_frameTimer.isActive())
            m_frameTimer.start(FrameMilliseconds - static_cast<int>(m_sinceRepaint.elapsed()));
        return;
    }
    repaintPending();
}

void StatusBar::repaintPending()
{
    m_frameTimer.stop();
    update(m_pending);
    m_pending = QRegion();
    m_sinceRepaint.start();
}

void StatusBar::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        measureLongest();
    QWidget::changeEvent(event);
}

void StatusBar::measureLongest()
{
    for (int panel = Message; panel <= TickRate; ++panel)
        m_longestWidth[panel] = m_longest[panel].isEmpty() ? 0 : rateWidth(m_longest[panel]);
}

QRect StatusBar::panelBox(Panel panel) const
{
    const auto widths = panelWidths();
    int left = 0;
    for (int p = Message; p < panel; ++p)
        left += std::max(0, widths[p]);
    return QRect(left, 0, std::max(0, widths[panel]), height());
}

int StatusBar::rateWidth(const QString& text) const
{
    // Rounded up: a text a fraction of a pixel too wide would be cut.
    const int advance = qCeil(QFontMetricsF(font()).horizontalAdvance(text));
    return advance + TextLeft + TextRight + PanelGap;
}

std::array<int, 4> StatusBar::panelWidths(
    int height, int width, int frameRateWidth, int tickRateWidth)
{
    // As on the desktop's status bars, the last h on the right stays free.
    const int tick = 5 * height;
    const int frameRate = std::max(3 * height, frameRateWidth);
    const int tickRate = std::max(3 * height, tickRateWidth);
    return { width - height - tick - frameRate - tickRate, tick, frameRate, tickRate };
}

std::array<int, 4> StatusBar::panelWidths() const
{
    return panelWidths(height(), width(), m_longestWidth[FrameRate], m_longestWidth[TickRate]);
}

QString StatusBar::shownText(Panel panel) const
{
    const int room = panelWidths()[panel] - PanelGap - TextLeft - TextRight;
    return fontMetrics().elidedText(m_texts[panel], Qt::ElideRight, std::max(0, room));
}

StatusBar::Panel StatusBar::panelAt(int x) const
{
    const auto widths = panelWidths();
    int right = 0;
    for (int panel = Message; panel < TickRate; ++panel) {
        right += widths[panel];
        if (x < right)
            return static_cast<Panel>(panel);
    }
    return TickRate;
}

QString StatusBar::panelHint(Panel panel) const
{
    switch (panel) {
    case Message:
        return m_texts[Message];
    case Tick:
        return QStringLiteral("Simulation time\n(ticks)");
    case FrameRate:
        return QStringLiteral("Framerate\n(frames per second/minute)");
    case TickRate:
        break;
    }
    return QStringLiteral("Tickrate\n(ticks per second/minute)");
}

bool StatusBar::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString hint = panelHint(panelAt(help->pos().x()));
        if (hint.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), hint, this);
        return true;
    }
    return QWidget::event(event);
}

void StatusBar::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const auto widths = panelWidths();
    int left = 0;
    for (int panel = Message; panel <= TickRate; ++panel) {
        const int w = std::max(0, widths[panel]);
        const QRect box(left, 1, w - PanelGap, height() - 2);
        left += w;
        if (box.width() <= 0 || !event->rect().intersects(QRect(box.left(), 0, w, height())))
            continue;
        QStyleOptionFrame frame;
        frame.initFrom(this);
        frame.rect = box;
        frame.lineWidth = 1;
        frame.state |= QStyle::State_Sunken;
        style()->drawPrimitive(QStyle::PE_Frame, &frame, &painter, this);
        const QRect textBox = box.adjusted(TextLeft, 0, -TextRight, 0);
        painter.drawText(
            textBox, Qt::AlignVCenter | Qt::AlignLeft, shownText(static_cast<Panel>(panel)));
    }
}

void StatusBar::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    emit doubleClicked();
}

} // namespace tessra
