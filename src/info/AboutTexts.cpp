#include "AboutTexts.h"

#include "ModelApi.h"
#include "ProjectInfo.h"

#include <QColor>
#include <QPainter>

namespace tessra {

namespace {
QString modelText(const ModelApi& api, int field)
{
    return QString::fromStdString(api.aboutModel(field));
}
} // namespace

ModelAboutTexts modelAboutTexts(const ModelApi& api)
{
    ModelAboutTexts texts;
    const QString name = modelText(api, 0);
    const QString version = modelText(api, 1);
    texts.nameLine = version.isEmpty() ? name : name + QLatin1Char(' ') + version;
    texts.copyright = modelText(api, 2);
    texts.comments = modelText(api, 3);
    texts.address = modelText(api, 4);
    return texts;
}

QString programVersionLine()
{
    return QStringLiteral("Version %1 (Build %2, %3)")
        .arg(QString::fromUtf8(project::VersionText))
        .arg(project::BuildNumber)
        .arg(QString::fromUtf8(project::BuildDate));
}

QString apiVersionLine(const QString& apiVersion)
{
    return QStringLiteral("API Version ")
        + (apiVersion.isEmpty() ? QStringLiteral("unknown") : apiVersion);
}

QString linkMarkup(const QString& target)
{
    if (target.isEmpty())
        return QString();
    const QString escaped = target.toHtmlEscaped();
    return QStringLiteral("<a href=\"%1\">%1</a>").arg(escaped);
}

QImage programIconImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // A 4 x 4 patch of sites in the colours a grid model might give them.
    static constexpr QRgb Colours[4][4] = {
        { 0x1f4e79, 0x2e75b6, 0x9dc3e6, 0x2e75b6 },
        { 0x2e75b6, 0xffc000, 0xffc000, 0x9dc3e6 },
        { 0x9dc3e6, 0xffc000, 0xc00000, 0x2e75b6 },
        { 0x2e75b6, 0x9dc3e6, 0x2e75b6, 0x1f4e79 },
    };
    const qreal cell = size / 4.0;
    const qreal gap = size / 32.0;
    for (int row = 0; row < 4; ++row) {
        for (int column = 0; column < 4; ++column) {
            const QRectF site(
                column * cell + gap / 2, row * cell + gap / 2, cell - gap, cell - gap);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor::fromRgb(Colours[row][column]));
            painter.drawRoundedRect(site, gap, gap);
        }
    }
    return image;
}

} // namespace tessra
