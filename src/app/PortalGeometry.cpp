#include "PortalGeometry.h"

namespace tessra {

bool isZoomCode(int code)
{
    switch (code) {
    case Zoom::Stretch:
    case Zoom::Half:
    case Zoom::Full:
    case Zoom::Double:
    case Zoom::Quadruple:
    case Zoom::Octuple:
        return true;
    default:
        return false;
    }
}

std::optional<QSize> fixedPortalSize(int zoomCode, QSize image)
{
    if (zoomCode == Zoom::Half)
        return QSize(image.width() / 2, image.height() / 2);
    if (zoomCode == Zoom::Stretch || !isZoomCode(zoomCode))
        return std::nullopt;
    return image * zoomCode;
}

std::optional<QPoint> siteAt(QPointF position, QSize portal, QSize world)
{
    if (portal.isEmpty() || world.isEmpty())
        return std::nullopt;
    const double x = position.x();
    const double y = position.y();
    if (x < 0 || y < 0 || x >= portal.width() || y >= portal.height())
        return std::nullopt;
    const int column = static_cast<int>(world.width() * x / portal.width());
    const int row = static_cast<int>(world.height() * y / portal.height());
    if (column >= world.width() || row >= world.height())
        return std::nullopt;
    return QPoint(column, row);
}

MouseUpCodes mouseUpCodes(
    Qt::MouseButton button, Qt::MouseButtons held, Qt::KeyboardModifiers modifiers)
{
    MouseUpCodes codes { 0, 0 };
    if (button == Qt::LeftButton)
        codes.button = 8;
    else if (button == Qt::RightButton)
        codes.button = 16;
    if (modifiers & Qt::ShiftModifier)
        codes.keys += 1;
    if (modifiers & Qt::AltModifier)
        codes.keys += 2;
    if (modifiers & Qt::ControlModifier)
        codes.keys += 4;
    if (held & Qt::LeftButton)
        codes.keys += 8;
    if (held & Qt::RightButton)
        codes.keys += 16;
    return codes;
}

} // namespace tessra
