#pragma once

#include <QElapsedTimer>
#include <QRegion>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <vector>

class QScrollArea;

namespace tessra {

class FrontEnd;

/// The portal image (iPortal): shows the front end's world image inside the scroll box
/// (sbPortal), stretched or at a fixed zoom, each site a sharp block. Pointer moves give
/// the model's hint for the site under the pointer and tell the inspector; a released
/// button goes to the model.
class PortalView : public QWidget {
    Q_OBJECT
public:
    /// Creates the portal inside `scrollArea` (which takes it as its widget).
    PortalView(FrontEnd& frontEnd, QScrollArea& scrollArea);

    /// The zoom code: -1 stretch, 0 50%, 1 100%, 2 200%, 4 400%, 8 800%.
    int zoomCode() const { return m_zoomCode; }
    /// Sets the zoom code and applies it. A code that is no zoom code only repaints.
    void setZoomCode(int code);
    /// Sizes the portal by the zoom code and repaints it.
    void applyZoom();

    /// The part of the portal that shows world rows [firstRow, endRow), a pixel more
    /// on either side (a scaled row's edge may fall either way).
    static QRect rowsOnPortal(int firstRow, int endRow, int worldHeight, QSize portal);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    /// Repaints what changed, now or (during a run) once a screen frame has passed
    /// since the last repaint.
    void updateChanged();
    /// Asks for a repaint of what changed since the last one: the portal rows that show
    /// world rows whose pixels changed, or all of it after a new world or a new size.
    void repaintChanged();

    FrontEnd& m_frontEnd;
    QScrollArea& m_scrollArea;
    int m_zoomCode = -1;
    /// A hash of every world row as last shown; empty when everything must be repainted.
    std::vector<std::uint64_t> m_rowHashes;
    QSize m_hashedWorld;
    /// While a run goes, the portal is repainted at most once a screen frame.
    QTimer m_frameTimer;
    QElapsedTimer m_sinceRepaint;
};

} // namespace tessra
