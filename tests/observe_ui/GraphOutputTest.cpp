// Pictures of the time-series graph: bitmap, SVG and PNG files, the
// clipboard, a printout to a PDF file.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QFileDialog>
#include <QGuiApplication>
#include <QImage>
#include <QMimeData>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <memory>

#include "ObserveUiTestSupport.h"
#include "SeriesTable.h"
#include "TfTimeSeries.h"
#include "TimeSeriesGraph.h"
#include "TimeSeriesRecorder.h"

namespace tessra {
namespace {

/// True when `data` is a well-formed XML document whose root is <svg>.
::testing::AssertionResult isSvg(const QByteArray& data)
{
    QXmlStreamReader reader(data);
    QString root;
    while (!reader.atEnd()) {
        reader.readNext();
        if (reader.isStartElement() && root.isEmpty())
            root = reader.name().toString();
    }
    if (reader.hasError())
        return ::testing::AssertionFailure() << reader.errorString().toStdString();
    if (root != QStringLiteral("svg"))
        return ::testing::AssertionFailure() << "root element " << root.toStdString();
    return ::testing::AssertionSuccess();
}

class GraphPictures : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(test::loadModelWithWorld(test::fixtureModel("stats")));
        test::forgetDisplaySettings(QStringLiteral("fTimeSeries"));
        recorder = std::make_unique<TimeSeriesRecorder>(ModelApi());
        window = std::make_unique<TfTimeSeries>(*recorder);
        window->setErrorReporter(errors.reporter());
        window->resize(640, 480);
        window->show();
        recorder->table().addSeries(SeriesTable::Average, 0);
        recorder->table().addSeries(SeriesTable::Parameter, 1);
        for (int tick = 0; tick < 20; ++tick) {
            test::setParam("v1", tick * 0.5);
            recorder->recordTimeSeries(tick);
        }
        window->flush();
    }

    QSize graphSize() const { return window->graph()->size(); }

    QTemporaryDir dir;
    test::ErrorLog errors;
    std::unique_ptr<TimeSeriesRecorder> recorder;
    std::unique_ptr<TfTimeSeries> window;
};

TEST_F(GraphPictures, save_as_writes_a_bitmap_of_the_graph_size)
{
    const QString file = dir.filePath(QStringLiteral("graph.bmp"));
    window->saveGraph(file, GraphOutput::Format::Bitmap);
    QImage image;
    ASSERT_TRUE(image.load(file, "BMP"));
    EXPECT_EQ(image.size(), graphSize());
    // The coloured series lines were drawn.
    EXPECT_FALSE(image.allGray());
}

TEST_F(GraphPictures, save_as_writes_a_well_formed_svg_picture)
{
    const QString file = dir.filePath(QStringLiteral("graph.svg"));
    window->saveGraph(file, GraphOutput::Format::Svg);
    QFile svg(file);
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    const QByteArray data = svg.readAll();
    EXPECT_TRUE(isSvg(data));
    EXPECT_TRUE(data.contains("Tick"));
}

TEST_F(GraphPictures, the_save_dialog_chooses_the_format_by_name_and_filter)
{
    auto save = [&](const QString& name, const QString& filter) {
        test::whenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->objectName(), QStringLiteral("sdSaveAs"));
            EXPECT_EQ(dialog->nameFilters(),
                (QStringList { QStringLiteral("Bitmap (*.bmp)"),
                    QStringLiteral("SVG picture (*.svg)"), QStringLiteral("PNG (*.png)") }));
            dialog->selectNameFilter(filter);
            test::typeFileName(dialog, dir.filePath(name));
        });
        window->mSaveAsClick();
    };
    save(QStringLiteral("plain"), QStringLiteral("Bitmap (*.bmp)"));
    QImage bitmap;
    EXPECT_TRUE(bitmap.load(dir.filePath(QStringLiteral("plain.bmp")), "BMP"));
    save(QStringLiteral("picture.png"), QStringLiteral("PNG (*.png)"));
    QImage png;
    EXPECT_TRUE(png.load(dir.filePath(QStringLiteral("picture.png")), "PNG"));
    EXPECT_EQ(png.size(), graphSize());
    save(QStringLiteral("drawing.svg"), QStringLiteral("Bitmap (*.bmp)"));
    QFile svg(dir.filePath(QStringLiteral("drawing.svg")));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    EXPECT_TRUE(isSvg(svg.readAll()));
    EXPECT_TRUE(errors.messages.isEmpty());
}

TEST_F(GraphPictures, a_picture_that_cannot_be_written_is_an_error)
{
    const QString file = dir.filePath(QStringLiteral("missing/graph.bmp"));
    try {
        window->saveGraph(file, GraphOutput::Format::Bitmap);
        FAIL() << "no error";
    } catch (const CommandError& error) {
        EXPECT_EQ(error.message(), QStringLiteral("Cannot save the graph to ") + file);
    }
    EXPECT_FALSE(QFileInfo::exists(file));
}

TEST_F(GraphPictures, copy_puts_a_bitmap_and_an_svg_drawing_on_the_clipboard)
{
    QGuiApplication::clipboard()->clear();
    window->mCopyClick();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    ASSERT_TRUE(data->hasImage());
    EXPECT_EQ(qvariant_cast<QImage>(data->imageData()).size(), graphSize());
    ASSERT_TRUE(data->hasFormat(QStringLiteral("image/svg+xml")));
    EXPECT_TRUE(isSvg(data->data(QStringLiteral("image/svg+xml"))));
}

TEST_F(GraphPictures, print_makes_one_document_of_one_page)
{
    const QString pdf = dir.filePath(QStringLiteral("graph.pdf"));
    int setups = 0;
    window->setPrinterSetup([&](QPrinter& printer) {
        ++setups;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
    });
    window->mPrintClick();
    EXPECT_EQ(setups, 1);
    EXPECT_TRUE(errors.messages.isEmpty());
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray data = file.readAll();
    EXPECT_TRUE(data.startsWith("%PDF"));
    const QRegularExpression page(QStringLiteral("/Type\\s*/Page(?!s)"));
    EXPECT_EQ(QString::fromLatin1(data).count(page), 1);
}

} // namespace
} // namespace tessra
