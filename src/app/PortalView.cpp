#include "PortalView.h"

#include "FrontEnd.h"
#include "PortalGeometry.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QToolTip>

namespace tessra {

PortalView::PortalView(FrontEnd& frontEnd, QScrollArea& scrollArea)
    : m_frontEnd(frontEnd)
    , m_scrollArea(scrollArea)
{
    setObjectName(QStringLiteral("iPortal"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_scrollArea.setWidget(this);
    m_scrollArea.setWidgetResizable(true);
    connect(&m_frontEnd, &FrontEnd::worldImageChanged, this, &PortalView::applyZoom);
}

void PortalView::setZoomCode(int code)
{
    m_zoomCode = code;
    applyZoom();
}

void PortalView::applyZoom()
{
    // Called after every refresh: change the scroll box only when something changed.
    if (m_zoomCode == Zoom::Stretch) {
        if (!m_scrollArea.widgetResizable())
            m_scrollArea.setWidgetResizable(true);
    } else if (const auto size = fixedPortalSize(m_zoomCode, m_frontEnd.worldSize())) {
        if (m_scrollArea.widgetResizable())
            m_scrollArea.setWidgetResizable(false);
        if (this->size() != *size)
            resize(*size);
    }
    update();
}

void PortalView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QImage& image = m_frontEnd.worldImage();
    if (image.isNull()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    // Nearest-neighbour scaling (no smoothing): every site stays a sharp block.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRectF(rect()), image, QRectF(image.rect()));
}

void PortalView::mouseMoveEvent(QMouseEvent* event)
{
    const auto site = siteAt(event->position(), size(), m_frontEnd.worldSize());
    if (!site)
        return;
    if (const auto hint = m_frontEnd.hoverSite(site->x(), site->y())) {
        setToolTip(*hint);
        QToolTip::hideText(); // the new text shows at the next hint display
    }
}

void PortalView::mouseReleaseEvent(QMouseEvent* event)
{
    const auto site = siteAt(event->position(), size(), m_frontEnd.worldSize());
    if (!site)
        return;
    const MouseUpCodes codes = mouseUpCodes(event->button(), event->buttons(), event->modifiers());
    if (const auto hint = m_frontEnd.releaseOnSite(codes.button, site->x(), site->y(), codes.keys))
        setToolTip(*hint);
}

} // namespace tessra
