#include "StatusBar.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolTip>

#include <algorithm>

namespace tessra {

StatusBar::StatusBar(QWidget* parent)
    : QWidget(parent)
    , m_texts(
          { QString(), QStringLiteral("Tick 0"), QStringLiteral("0 fps"), QStringLiteral("0 tps") })
{
    setObjectName(QStringLiteral("sbStatus"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    setMouseTracking(true);
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
    update();
}

std::array<int, 4> StatusBar::panelWidths(int height, int width)
{
    return { width - 12 * height, 5 * height, 3 * height, 3 * height };
}

StatusBar::Panel StatusBar::panelAt(int x) const
{
    const auto widths = panelWidths(height(), width());
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

void StatusBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const auto widths = panelWidths(height(), width());
    int left = 0;
    for (int panel = Message; panel <= TickRate; ++panel) {
        const int w = std::max(0, widths[panel]);
        const QRect box(left, 1, w - 2, height() - 2);
        left += w;
        if (box.width() <= 0)
            continue;
        QStyleOptionFrame frame;
        frame.initFrom(this);
        frame.rect = box;
        frame.lineWidth = 1;
        frame.state |= QStyle::State_Sunken;
        style()->drawPrimitive(QStyle::PE_Frame, &frame, &painter, this);
        const QRect textBox = box.adjusted(4, 0, -3, 0);
        const QString text
            = fontMetrics().elidedText(m_texts[panel], Qt::ElideRight, textBox.width());
        painter.drawText(textBox, Qt::AlignVCenter | Qt::AlignLeft, text);
    }
}

void StatusBar::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    emit doubleClicked();
}

} // namespace tessra
