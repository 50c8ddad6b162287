#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

class QCustomPlot;
class QMimeData;
class QPrinter;

namespace tessra {

/// Pictures of a graph at its current size: a bitmap, an SVG drawing, the
/// clipboard's data and a printout. Failures throw CommandError.
namespace GraphOutput {

enum class Format { Bitmap, Svg, Png };

/// The MIME type of the SVG drawing on the clipboard.
inline const QString SvgMimeType = QStringLiteral("image/svg+xml");

/// The graph as a 24-bit picture of its current size.
QImage image(QCustomPlot& graph);
/// The graph as an SVG drawing of its current size, titled `title`.
QByteArray svg(QCustomPlot& graph, const QString& title);
/// Writes the graph to `fileName` in `format`. Throws CommandError with
/// "Cannot save the graph to <file>: <reason>" when the file cannot be written.
void save(QCustomPlot& graph, const QString& fileName, Format format, const QString& title);
/// Clipboard data: the bitmap and the SVG drawing. The caller owns it.
QMimeData* mimeData(QCustomPlot& graph, const QString& title);
/// Prints the graph as one document of one page: drawn as on screen (text,
/// legend and lines in the same proportions) and scaled to fit the page. The
/// printer's resolution is set to the screen's. Throws CommandError with
/// "Cannot print the graph: no printer is available" or a message naming the
/// printer's file when it cannot be written.
void print(QCustomPlot& graph, QPrinter& printer, const QString& title);

} // namespace GraphOutput

} // namespace tessra
