#pragma once

#include <QImage>
#include <QString>

#include "ModelApi.h"

namespace tessra {

/// Pictures of the world: one pixel per site in the model's colours, or every
/// site a sharp square block of whole-number size. QtGui only, so that windows
/// and headless programs share it.
namespace WorldPicture {

/// The smallest and largest block size of a site in a picture.
constexpr int MinimumScale = 1;
constexpr int MaximumScale = 16;

/// Colours every site of the model's world into `image`, one call into the
/// model per site, as the portal is drawn: each site's colour starts from the
/// pixel's current colour, so a model that leaves a site alone keeps it.
/// `image` is made the world's size (24 bits, black) first when its size or
/// format differs; it is made null for a world without sites.
void colourWorld(const ModelApi& model, QImage& image);

/// `world` with every pixel grown to a `scale` x `scale` block (nearest
/// neighbour), 24 bits. `scale` must lie in MinimumScale..MaximumScale.
QImage scaled(const QImage& world, int scale);

/// Writes `world` scaled by `scale` to `fileName`: PNG, or BMP for a name
/// ending in ".bmp" (any case). The file is written under a temporary name
/// and renamed, so a failure leaves an existing file as it was. Throws
/// CommandError naming the file and the reason when there is no world, the
/// scale is outside 1..16, or the file cannot be written.
void save(const QImage& world, const QString& fileName, int scale);

} // namespace WorldPicture

} // namespace tessra
