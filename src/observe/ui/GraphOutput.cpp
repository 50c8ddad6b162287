#include "GraphOutput.h"

#include <QBuffer>
#include <QDir>
#include <QMimeData>
#include <QPrinter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <qcustomplot.h>

#include "CommandError.h"

namespace tessra::GraphOutput {

namespace {

QSize graphSize(const QCustomPlot& graph)
{
    return graph.viewport().size().expandedTo(QSize(1, 1));
}

void renderSvg(QCustomPlot& graph, QIODevice& device, const QString& title)
{
    const QSize size = graphSize(graph);
    QSvgGenerator generator;
    generator.setOutputDevice(&device);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setTitle(title);
    QCPPainter painter;
    painter.begin(&generator);
    painter.setMode(QCPPainter::pmVectorized);
    graph.toPainter(&painter, size.width(), size.height());
    painter.end();
}

} // namespace

QImage image(QCustomPlot& graph)
{
    const QSize size = graphSize(graph);
    return graph.toPixmap(size.width(), size.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB888);
}

QByteArray svg(QCustomPlot& graph, const QString& title)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    renderSvg(graph, buffer, title);
    return buffer.data();
}

void save(QCustomPlot& graph, const QString& fileName, Format format, const QString& title)
{
    // Written to a temporary file and renamed: a failed save leaves an
    // existing picture as it was.
    QSaveFile file(fileName);
    bool written = file.open(QIODevice::WriteOnly);
    if (written) {
        if (format == Format::Svg) {
            renderSvg(graph, file, title);
            written = file.error() == QFileDevice::NoError;
        } else {
            written = image(graph).save(&file, format == Format::Png ? "PNG" : "BMP");
        }
    }
    if (!written || !file.commit()) {
        throw CommandError(
            QStringLiteral("Cannot save the graph to ") + QDir::toNativeSeparators(fileName));
    }
}

QMimeData* mimeData(QCustomPlot& graph, const QString& title)
{
    auto* data = new QMimeData;
    data->setImageData(image(graph));
    data->setData(SvgMimeType, svg(graph, title));
    return data;
}

void print(QCustomPlot& graph, QPrinter& printer, const QString& title)
{
    if (!printer.isValid())
        throw CommandError(QStringLiteral("Cannot print the graph: no printer is available"));
    printer.setDocName(title);
    QCPPainter painter;
    if (!painter.begin(&printer))
        throw CommandError(QStringLiteral("Cannot print the graph"));
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNonCosmetic);
    const QSize size = graphSize(graph);
    const QRect page = painter.viewport();
    const double scale
        = std::min(page.width() / double(size.width()), page.height() / double(size.height()));
    painter.scale(scale, scale);
    graph.toPainter(&painter, size.width(), size.height());
    painter.end();
}

} // namespace tessra::GraphOutput
