#include "WorldPicture.h"

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QSaveFile>

#include <cstring>

#include "CommandError.h"

namespace tessra::WorldPicture {

void colourWorld(const ModelApi& model, QImage& image)
{
    const int width = model.worldWidth();
    const int height = model.worldHeight();
    if (width <= 0 || height <= 0) {
        image = QImage();
        return;
    }
    if (image.size() != QSize(width, height) || image.format() != QImage::Format_RGB888) {
        image = QImage(width, height, QImage::Format_RGB888);
        image.fill(Qt::black);
    }
    model.colorRows(0, height, image.bits(), static_cast<int>(image.bytesPerLine()));
}

QImage scaled(const QImage& world, int scale)
{
    const QImage source = world.format() == QImage::Format_RGB888
        ? world
        : world.convertToFormat(QImage::Format_RGB888);
    if (scale == 1)
        return source;
    QImage result(source.width() * scale, source.height() * scale, QImage::Format_RGB888);
    const auto rowBytes = static_cast<std::size_t>(result.width()) * 3;
    for (int row = 0; row < source.height(); ++row) {
        const uchar* in = source.constScanLine(row);
        uchar* first = result.scanLine(row * scale);
        uchar* out = first;
        for (int column = 0; column < source.width(); ++column, in += 3) {
            for (int i = 0; i < scale; ++i, out += 3) {
                out[0] = in[0];
                out[1] = in[1];
                out[2] = in[2];
            }
        }
        for (int i = 1; i < scale; ++i)
            std::memcpy(result.scanLine(row * scale + i), first, rowBytes);
    }
    return result;
}

void save(const QImage& world, const QString& fileName, int scale)
{
    const QString shown = QDir::toNativeSeparators(fileName);
    const auto fail = [&shown](const QString& reason) {
        throw CommandError(
            QStringLiteral("Cannot save the world picture %1: %2").arg(shown, reason));
    };
    if (fileName.isEmpty())
        throw CommandError(QStringLiteral("Cannot save the world picture: no file name"));
    if (world.isNull())
        fail(QStringLiteral("there is no world"));
    if (scale < MinimumScale || scale > MaximumScale)
        fail(QStringLiteral("the scale must be a whole number from %1 to %2")
                 .arg(MinimumScale)
                 .arg(MaximumScale));
    const bool bitmap
        = QFileInfo(fileName).suffix().compare(QLatin1String("bmp"), Qt::CaseInsensitive) == 0;
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        fail(file.errorString());
    QImageWriter writer(&file, bitmap ? "BMP" : "PNG");
    if (!writer.write(scaled(world, scale)))
        fail(writer.errorString());
    if (!file.commit())
        fail(file.errorString());
}

} // namespace tessra::WorldPicture
