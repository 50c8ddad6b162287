#include "GraphOutput.h"

#include <QBuffer>
#include <QDir>
#include <QImageWriter>
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
    // Fonts are sized in points: at the screen's resolution they keep the size
    // they have on screen relative to the graph (the generator's own is 72 dpi).
    generator.setResolution(graph.logicalDpiX());
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
    const auto fail = [&fileName](const QString& reason) {
        throw CommandError(QStringLiteral("Cannot save the graph to %1: %2")
                               .arg(QDir::toNativeSeparators(fileName), reason));
    };
    // Written to a temporary file and renamed: a failed save leaves an
    // existing picture as it was.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        fail(file.errorString());
    if (format == Format::Svg) {
        renderSvg(graph, file, title);
        if (file.error() != QFileDevice::NoError)
            fail(file.errorString());
    } else {
        QImageWriter writer(&file, format == Format::Png ? "PNG" : "BMP");
        if (!writer.write(image(graph)))
            fail(writer.errorString());
    }
    if (!file.commit())
        fail(file.errorString());
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
    if (printer.outputFormat() == QPrinter::NativeFormat && !printer.isValid())
        throw CommandError(QStringLiteral("Cannot print the graph: no printer is available"));
    printer.setDocName(title);
    // Fonts are sized in points and the page is drawn in the printer's dots:
    // at the screen's resolution the text keeps its size relative to the
    // graph, and the one scaling below fits the whole picture to the page.
    printer.setResolution(graph.logicalDpiY());
    QCPPainter painter;
    if (!painter.begin(&printer)) {
        const QString file = printer.outputFileName();
        throw CommandError(file.isEmpty()
                ? QStringLiteral("Cannot print the graph: the printer cannot be used")
                : QStringLiteral("Cannot print the graph to %1: the file cannot be written")
                      .arg(QDir::toNativeSeparators(file)));
    }
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNonCosmetic);
    const QSize size = graphSize(graph);
    const QRect page = painter.viewport();
    const double scale
        = std::min(page.width() / double(size.width()), page.height() / double(size.height()));
    // Centred across the page, at its top.
    painter.translate((page.width() - size.width() * scale) / 2, 0);
    painter.scale(scale, scale);
    graph.toPainter(&painter, size.width(), size.height());
    painter.end();
}

} // namespace tessra::GraphOutput
