#pragma once

#include <QPoint>
#include <QPointF>
#include <QSize>
#include <Qt>

#include <optional>

namespace tessra {

/// Zoom codes of the portal: stretch to the scroll box, or a fixed scale.
namespace Zoom {
constexpr int Stretch = -1;
constexpr int Half = 0;
constexpr int Full = 1;
constexpr int Double = 2;
constexpr int Quadruple = 4;
constexpr int Octuple = 8;
} // namespace Zoom

/// Whether `code` is one of the zoom codes above.
bool isZoomCode(int code);

/// The portal's size for a fixed zoom code and a world image of `image` pixels
/// (50%: W div 2 by H div 2; 100%, 200%, 400%, 800%: the multiple), or nothing
/// for the stretch code and codes that are not zoom codes.
std::optional<QSize> fixedPortalSize(int zoomCode, QSize image);

/// The site under a pointer at `position` over a portal of `portal` pixels showing
/// a world of `world` sites: column = trunc(W * X / Wc), row = trunc(H * Y / Hc).
/// Nothing when the pointer lies outside or the portal or world is empty.
std::optional<QPoint> siteAt(QPointF position, QSize portal, QSize world);

/// Codes a model's mouse-up handler receives.
struct MouseUpCodes {
    int button; ///< 8 left, 16 right, 0 any other
    int keys; ///< 1 Shift, 2 Alt, 4 Ctrl, 8 left button down, 16 right button down, added
};

/// The codes for the release of `button` while `held` buttons stay down.
MouseUpCodes mouseUpCodes(
    Qt::MouseButton button, Qt::MouseButtons held, Qt::KeyboardModifiers modifiers);

} // namespace tessra
