#pragma once

#include <QByteArray>

namespace tessra {

/// The main window's display settings, kept per user in the native settings store
/// (organisation and application "Tessra"; on Linux ~/.config/Tessra/Tessra.conf).
/// Values that cannot be read, or are out of range, fall back to the defaults.
struct DisplaySettings {
    int frameRatePosition = 1; ///< 0 Slow, 1 Medium, 2 Fast
    int collapseHeight = 0; ///< the height the collapse toggle returns to
    bool inspectorShown = false;
    int zoomCode = -1; ///< -1 stretch, 0 50%, 1, 2, 4, 8 (100% .. 800%)
    bool timeSeriesShown = false;
    /// Position, size and window state of the main window (QWidget::saveGeometry);
    /// empty when none is stored.
    QByteArray placement;

    /// The stored settings, or the defaults for whatever is not stored.
    static DisplaySettings load();
    /// Stores every setting.
    void save() const;
};

} // namespace tessra
