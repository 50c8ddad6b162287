#include "PortalView.h"

#include "FrontEnd.h"
#include "PortalGeometry.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QToolTip>

#include <cmath>
#include <cstring>

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
    m_frameTimer.setSingleShot(true);
    m_frameTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_frameTimer, &QTimer::timeout, this, &PortalView::repaintChanged);
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
    updateChanged();
}

namespace {

/// About one frame of a 60 Hz screen.
constexpr int FrameMilliseconds = 16;

/// A 64-bit hash of `length` bytes (words of 8 bytes mixed by multiplication).
std::uint64_t hashBytes(const uchar* bytes, qsizetype length)
{
    std::uint64_t hash = 0x9e3779b97f4a7c15ull ^ static_cast<std::uint64_t>(length);
    qsizetype i = 0;
    for (; i + 8 <= length; i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes + i, 8);
        hash = (hash ^ word) * 0xff51afd7ed558ccdull;
        hash ^= hash >> 29;
    }
    for (; i < length; ++i)
        hash = (hash ^ bytes[i]) * 0x100000001b3ull;
    return hash ^ (hash >> 32);
}

} // namespace

QRect PortalView::rowsOnPortal(int firstRow, int endRow, int worldHeight, QSize portal)
{
    const auto top = static_cast<int>(std::floor(double(firstRow) * portal.height() / worldHeight));
    const auto bottom = static_cast<int>(std::ceil(double(endRow) * portal.height() / worldHeight));
    return QRect(0, top - 1, portal.width(), bottom - top + 2);
}

void PortalView::updateChanged()
{
    // At Fast a run draws the world after every step, far more often than a screen shows
    // frames: while it runs, the portal is repainted at most once a frame, with all that
    // changed meanwhile. A single step or a click shows at once.
    const FrontEnd::RunState state = m_frontEnd.runState();
    const bool running
        = state == FrontEnd::RunState::Running || state == FrontEnd::RunState::Pausing;
    if (running && m_sinceRepaint.isValid() && m_sinceRepaint.elapsed() < FrameMilliseconds) {
        if (!m_frameTimer.isActive())
            m_frameTimer.start(FrameMilliseconds - static_cast<int>(m_sinceRepaint.elapsed()));
        return;
    }
    repaintChanged();
}

void PortalView::repaintChanged()
{
    m_frameTimer.stop();
    m_sinceRepaint.start();
    const QImage& image = m_frontEnd.worldImage();
    if (image.isNull() || image.size() != m_hashedWorld) {
        m_rowHashes.clear();
        m_hashedWorld = image.size();
    }
    if (image.isNull()) {
        update();
        return;
    }
    // Only rows whose pixels changed since the last repaint are painted again: a world
    // that is mostly still costs little to show, however often it is refreshed.
    const bool all = m_rowHashes.empty();
    m_rowHashes.resize(static_cast<std::size_t>(image.height()));
    const qsizetype rowBytes = static_cast<qsizetype>(image.width()) * 3;
    QRegion changed;
    int first = -1;
    for (int row = 0; row <= image.height(); ++row) {
        bool same = row == image.height();
        if (!same) {
            const std::uint64_t hash = hashBytes(image.constScanLine(row), rowBytes);
            same = !all && m_rowHashes[static_cast<std::size_t>(row)] == hash;
            m_rowHashes[static_cast<std::size_t>(row)] = hash;
        }
        if (!same && first < 0)
            first = row;
        else if (same && first >= 0) {
            changed += rowsOnPortal(first, row, image.height(), size());
            first = -1;
        }
    }
    if (all)
        update();
    else if (!changed.isEmpty())
        update(changed);
}

void PortalView::resizeEvent(QResizeEvent* event)
{
    m_rowHashes.clear(); // everything shows anew
    QWidget::resizeEvent(event);
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
