// Pictures of the time-series graph: bitmap, SVG and PNG files, the
// clipboard, a printout to a PDF file.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QComboBox>
#include <QFileDialog>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <memory>

#include "ObserveUiTestSupport.h"
#include "SeriesChoice.h"
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
        choice = std::make_unique<SeriesChoice>(recorder->table());
        window = std::make_unique<TfTimeSeries>(*recorder, *choice);
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
    std::unique_ptr<SeriesChoice> choice;
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
        EXPECT_EQ(error.message(),
            QStringLiteral("Cannot save the graph to ") + file
                + QStringLiteral(": No such file or directory"));
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

/// Words of a PDF with their boxes, as `pdftotext -bbox` finds them.
struct PdfWord {
    QString text;
    QRectF box;
};
struct PdfPage {
    QSizeF size;
    std::vector<PdfWord> words;
};

PdfPage readPdf(const QString& pdf)
{
    QProcess pdftotext;
    pdftotext.start(
        QStringLiteral("pdftotext"), { QStringLiteral("-bbox"), pdf, QStringLiteral("-") });
    pdftotext.waitForFinished(30000);
    QXmlStreamReader xml(pdftotext.readAllStandardOutput());
    PdfPage page;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement)
            continue;
        const auto a = xml.attributes();
        if (xml.name() == u"page") {
            page.size = QSizeF(a.value("width").toDouble(), a.value("height").toDouble());
        } else if (xml.name() == u"word") {
            const QPointF topLeft(a.value("xMin").toDouble(), a.value("yMin").toDouble());
            const QPointF bottomRight(a.value("xMax").toDouble(), a.value("yMax").toDouble());
            page.words.push_back({ xml.readElementText(), QRectF(topLeft, bottomRight) });
        }
    }
    return page;
}

TEST_F(GraphPictures, print_shows_the_print_dialog_and_the_page_shows_the_graph_readably)
{
    if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    const QString pdf = dir.filePath(QStringLiteral("graph.pdf"));
    // The standard print dialog, answered as a user does: "Print to File (PDF)".
    QString dialogName;
    test::whenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<QPrintDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        dialogName = dialog->objectName();
        dialog->printer()->setOutputFormat(QPrinter::PdfFormat);
        dialog->printer()->setOutputFileName(pdf);
        auto* printers = dialog->findChild<QComboBox*>(QStringLiteral("printers"));
        if (printers) {
            printers->setCurrentIndex(printers->count() - 1);
            if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("filename")))
                name->setText(pdf);
        }
        dialog->accept();
    });
    window->mPrintClick();
    EXPECT_EQ(dialogName, QStringLiteral("pdPrint"));
    EXPECT_TRUE(errors.messages.isEmpty()) << errors.messages.join(' ').toStdString();

    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QRegularExpression onePage(QStringLiteral("/Type\\s*/Page(?!s)"));
    EXPECT_EQ(QString::fromLatin1(file.readAll()).count(onePage), 1);

    const PdfPage page = readPdf(pdf);
    ASSERT_GT(page.size.height(), 0);
    QStringList words;
    for (const PdfWord& word : page.words) {
        words << word.text;
        // Readable text: not a blob across the page, not a speck.
        EXPECT_LT(word.box.height(), 0.05 * page.size.height()) << word.text.toStdString();
        EXPECT_GT(word.box.height(), 0.005 * page.size.height()) << word.text.toStdString();
    }
    const QString text = words.join(' ');
    EXPECT_TRUE(words.contains(QStringLiteral("Tick"))) << text.toStdString();
    for (const QString& label : { QStringLiteral("Average"), QStringLiteral("x"),
             QStringLiteral("v1"), QStringLiteral("10"), QStringLiteral("5") })
        EXPECT_TRUE(words.contains(label)) << label.toStdString() << " in " << text.toStdString();

    // The page shows the graph with the screen's proportions: fitted to the page's
    // width, its axis title is as tall, relative to that width, as on screen.
    double titleHeight = 0;
    for (const PdfWord& word : page.words) {
        if (word.text == QStringLiteral("Tick"))
            titleHeight = word.box.height();
    }
    const double onScreen
        = QFontMetricsF(window->graph()->xAxis->labelFont()).height() / window->graph()->width();
    const double printed = titleHeight / page.size.width();
    EXPECT_GT(printed, 0.6 * onScreen);
    EXPECT_LT(printed, 1.6 * onScreen);
}

TEST_F(GraphPictures, an_svg_picture_has_the_text_size_of_the_screen)
{
    const QByteArray svg = window->graph() ? GraphOutput::svg(*window->graph(), "t") : QByteArray();
    // The SVG's pixels are the graph's: a font of the screen's pixel size.
    const QFont font = window->graph()->xAxis->labelFont();
    const double pixels = font.pointSizeF() * window->graph()->logicalDpiY() / 72.0;
    const QRegularExpression size(QStringLiteral("font-size=\"([0-9.]+)(pt|px)?\""));
    bool found = false;
    for (const QRegularExpressionMatch& m : size.globalMatch(QString::fromUtf8(svg))) {
        double value = m.captured(1).toDouble();
        if (m.captured(2) == QStringLiteral("pt"))
            value = value * window->graph()->logicalDpiY() / 72.0;
        EXPECT_NEAR(value, pixels, pixels * 0.15) << m.captured(0).toStdString();
        found = true;
    }
    EXPECT_TRUE(found) << svg.left(2000).toStdString();
}

TEST_F(GraphPictures, the_file_dialogs_take_no_name_in_a_missing_folder)
{
    const QString missing = dir.filePath(QStringLiteral("missing"));
    for (const QString& name : { QStringLiteral("sdSaveAs"), QStringLiteral("sdExportData") }) {
        QString warning;
        bool stayedOpen = false;
        test::whenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<QFileDialog*>(modal);
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->objectName(), name);
            test::whenModal([&](QWidget* box) {
                auto* message = qobject_cast<QMessageBox*>(box);
                ASSERT_NE(message, nullptr);
                warning = message->text();
                message->reject();
            });
            auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(edit, nullptr);
            edit->setText(missing + QStringLiteral("/graph.dat"));
            static_cast<QDialog*>(dialog)->accept();
            stayedOpen = dialog->isVisible();
            dialog->reject();
        });
        if (name == QStringLiteral("sdSaveAs"))
            window->mSaveAsClick();
        else
            window->mExportDataClick();
        EXPECT_TRUE(stayedOpen) << name.toStdString();
        EXPECT_TRUE(warning.contains(missing)) << warning.toStdString();
    }
    EXPECT_TRUE(errors.messages.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(missing));
}

TEST_F(GraphPictures, an_empty_graph_shows_the_first_axes_again)
{
    ASSERT_GT(window->graph()->xAxis->range().upper, 10.0);
    // A new simulation or model load empties the sample lists.
    recorder->table().clearSamples();
    EXPECT_EQ(window->graph()->xAxis->range(), QCPRange(0, 5));
    EXPECT_EQ(window->graph()->yAxis->range(), QCPRange(0, 5));
}

} // namespace
} // namespace tessra
