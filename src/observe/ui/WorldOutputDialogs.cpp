#include "WorldOutputDialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "SaveFileDialog.h"
#include "WorldPicture.h"

namespace tessra {

namespace {

QSpinBox* spinBox(const char* name, int minimum, int maximum, int value)
{
    auto* box = new QSpinBox;
    box->setObjectName(QLatin1String(name));
    box->setRange(minimum, maximum);
    box->setValue(std::clamp(value, minimum, maximum));
    return box;
}

struct FormatEntry {
    MovieFormat format;
    const char* text;
    const char* suffix;
};
constexpr FormatEntry Formats[] = {
    { MovieFormat::Mp4, "MP4 video (H.264)", "mp4" },
    { MovieFormat::WebM, "WebM video (VP9)", "webm" },
    { MovieFormat::Gif, "GIF animation", "gif" },
    { MovieFormat::PngFrames, "PNG frames in a folder", "" },
};

const FormatEntry& entryOf(MovieFormat format)
{
    for (const FormatEntry& entry : Formats) {
        if (entry.format == format)
            return entry;
    }
    return Formats[3];
}

} // namespace

// ---- shared ----------------------------------------------------------------

WorldOutputDialog::WorldOutputDialog(QWidget* parent, const QString& title)
    : QDialog(parent)
{
    setWindowTitle(title);
    m_file = new QLineEdit;
    m_file->setObjectName(QStringLiteral("eFile"));
    m_file->setMinimumWidth(280);
    m_scale = spinBox("feScale", WorldPicture::MinimumScale, WorldPicture::MaximumScale, 1);
    m_problem = new QLabel;
    m_problem->setObjectName(QStringLiteral("lProblem"));
    m_problem->setWordWrap(true);
    QPalette red = m_problem->palette();
    red.setColor(QPalette::WindowText, Qt::darkRed);
    m_problem->setPalette(red);
    m_problem->hide();
}

void WorldOutputDialog::build(const QList<QPair<QString, QWidget*>>& extra)
{
    auto* form = new QFormLayout(this);
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(m_file, 1);
    auto* browseButton = new QPushButton(QStringLiteral("Browse..."));
    browseButton->setObjectName(QStringLiteral("bBrowse"));
    browseButton->setAutoDefault(false);
    connect(browseButton, &QPushButton::clicked, this, [this] { browse(); });
    fileRow->addWidget(browseButton);
    for (const auto& [label, widget] : extra) {
        if (label.isEmpty())
            form->addRow(widget);
        else
            form->addRow(label, widget);
    }
    form->insertRow(extra.isEmpty() ? 0 : 1, QStringLiteral("File:"), fileRow);
    form->addRow(QStringLiteral("Pixels per site:"), m_scale);
    form->addRow(m_problem);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

QString WorldOutputDialog::file() const
{
    return m_file->text().trimmed();
}

void WorldOutputDialog::setFile(const QString& file)
{
    m_file->setText(QDir::toNativeSeparators(file));
}

int WorldOutputDialog::scale() const
{
    return m_scale->value();
}

void WorldOutputDialog::setScale(int scale)
{
    m_scale->setValue(scale);
}

QString WorldOutputDialog::problem() const
{
    return m_problem->isVisible() ? m_problem->text() : QString();
}

void WorldOutputDialog::accept()
{
    const QString text = check();
    m_problem->setText(text);
    m_problem->setVisible(!text.isEmpty());
    if (text.isEmpty())
        QDialog::accept();
}

// ---- world picture ---------------------------------------------------------

TdWorldPicture::TdWorldPicture(QWidget* parent, const QString& file, int scale)
    : WorldOutputDialog(parent, QStringLiteral("Save World Picture"))
{
    setObjectName(QStringLiteral("dWorldPicture"));
    build({});
    setFile(file);
    setScale(scale);
}

QString TdWorldPicture::check() const
{
    const QString name = file();
    if (name.isEmpty())
        return QStringLiteral("Choose a file.");
    const QFileInfo info(name);
    if (info.isDir())
        return QStringLiteral("%1 is a folder: choose a file.").arg(name);
    const QString missing = SaveFileDialog::missingFolder(name);
    if (!missing.isEmpty())
        return QStringLiteral("The folder %1 does not exist.")
            .arg(QDir::toNativeSeparators(missing));
    return {};
}

void TdWorldPicture::browse()
{
    SaveFileDialog dialog(this, QStringLiteral("Save World Picture"));
    dialog.setObjectName(QStringLiteral("sdWorldPicture"));
    dialog.setNameFilters(
        { QStringLiteral("PNG picture (*.png)"), QStringLiteral("Bitmap (*.bmp)") });
    dialog.setDefaultSuffix(QStringLiteral("png"));
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        dialog.setDefaultSuffix(
            filter.contains(QLatin1String("bmp")) ? QStringLiteral("bmp") : QStringLiteral("png"));
    });
    if (!file().isEmpty())
        dialog.selectFile(file());
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        setFile(dialog.selectedFiles().first());
}

// ---- movie -----------------------------------------------------------------

TdRecordMovie::TdRecordMovie(QWidget* parent, bool ffmpeg, const MovieOptions& last)
    : WorldOutputDialog(parent, QStringLiteral("Record Movie"))
{
    setObjectName(QStringLiteral("dRecordMovie"));
    m_format = new QComboBox;
    m_format->setObjectName(QStringLiteral("cbFormat"));
    for (const FormatEntry& entry : Formats) {
        if (ffmpeg || entry.format == MovieFormat::PngFrames)
            m_format->addItem(QString::fromLatin1(entry.text), int(entry.format));
    }
    m_every = spinBox("feEvery", 1, 1000000, last.everyTicks);
    m_fps = spinBox("feFps", 1, 100, last.framesPerSecond);
    QList<QPair<QString, QWidget*>> rows { { QStringLiteral("Record as:"), m_format } };
    if (!ffmpeg) {
        auto* why = new QLabel(QStringLiteral(
            "Movie files (MP4, WebM, GIF) are made by the ffmpeg program, which was not found. "
            "Install the ffmpeg package for them; PNG frames need nothing more."));
        why->setObjectName(QStringLiteral("lNoEncoder"));
        why->setWordWrap(true);
        rows.prepend({ QString(), why });
    }
    rows.append({ QStringLiteral("A frame every (ticks):"), m_every });
    rows.append({ QStringLiteral("Frames per second:"), m_fps });
    build(rows);
    setScale(last.scale);
    const std::optional<MovieFormat> lastFormat = MovieWriter::formatOf(last.file);
    const int index = lastFormat ? m_format->findData(int(*lastFormat)) : -1;
    if (index >= 0) {
        m_format->setCurrentIndex(index);
        setFile(last.file);
    }
    connect(m_format, &QComboBox::currentIndexChanged, this, &TdRecordMovie::formatChosen);
    formatChosen();
}

MovieFormat TdRecordMovie::format() const
{
    return static_cast<MovieFormat>(m_format->currentData().toInt());
}

MovieOptions TdRecordMovie::options() const
{
    MovieOptions options;
    options.file = QDir::fromNativeSeparators(file());
    options.everyTicks = m_every->value();
    options.scale = scale();
    options.framesPerSecond = m_fps->value();
    return options;
}

void TdRecordMovie::formatChosen()
{
    m_fps->setEnabled(format() != MovieFormat::PngFrames);
    // A name of the kind chosen: the suffix follows the choice.
    const QString name = file();
    if (name.isEmpty())
        return;
    const QFileInfo info(name);
    const QString suffix = QString::fromLatin1(entryOf(format()).suffix);
    const QString base = info.suffix().isEmpty() || info.isDir()
        ? name
        : name.left(name.size() - info.suffix().size() - 1);
    setFile(suffix.isEmpty() ? base : base + QLatin1Char('.') + suffix);
}

QString TdRecordMovie::check() const
{
    const QString name = file();
    if (name.isEmpty())
        return format() == MovieFormat::PngFrames
            ? QStringLiteral("Choose a folder for the frames.")
            : QStringLiteral("Choose a file.");
    if (MovieWriter::formatOf(name) != format())
        return format() == MovieFormat::PngFrames
            ? QStringLiteral("A folder for PNG frames has no suffix.")
            : QStringLiteral("The file's name must end in .%1.")
                  .arg(QLatin1String(entryOf(format()).suffix));
    const QString missing = SaveFileDialog::missingFolder(name);
    if (!missing.isEmpty())
        return QStringLiteral("The folder %1 does not exist.")
            .arg(QDir::toNativeSeparators(missing));
    return {};
}

void TdRecordMovie::browse()
{
    if (format() == MovieFormat::PngFrames) {
        const QString folder = QFileDialog::getExistingDirectory(
            this, QStringLiteral("Folder for the Frames"), file());
        if (!folder.isEmpty())
            setFile(folder);
        return;
    }
    const FormatEntry& entry = entryOf(format());
    SaveFileDialog dialog(this, QStringLiteral("Record Movie"));
    dialog.setObjectName(QStringLiteral("sdMovie"));
    dialog.setNameFilter(
        QStringLiteral("%1 (*.%2)").arg(QLatin1String(entry.text), QLatin1String(entry.suffix)));
    dialog.setDefaultSuffix(QLatin1String(entry.suffix));
    if (!file().isEmpty())
        dialog.selectFile(file());
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        setFile(dialog.selectedFiles().first());
}

} // namespace tessra
