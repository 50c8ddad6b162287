#include "RunMedia.h"

#include "CommandError.h"
#include "FrontEnd.h"
#include "MovieWriter.h"
#include "OutputFile.h"
#include "RunError.h"
#include "WorldPicture.h"

#include <QDir>
#include <QFileInfo>

namespace tessra {

namespace {

void requireFolderOf(const QString& path, const char* option)
{
    const QFileInfo info(path);
    if (!info.absoluteDir().exists())
        bad(QStringLiteral("%1 \"%2\": there is no folder \"%3\"")
                .arg(QLatin1String(option), path, QDir::toNativeSeparators(info.absolutePath())));
}

} // namespace

RunMedia::RunMedia(const RunRequest& request)
    : m_request(request)
{
    if (!request.picture.isEmpty()) {
        requireFolderOf(request.picture, "--picture");
        if (QFileInfo(request.picture).isDir())
            bad(QStringLiteral("--picture \"%1\" is a folder, not a file").arg(request.picture));
    }
    if (!request.pictures.isEmpty()) {
        requireFolderOf(request.pictures, "--pictures");
        const QFileInfo info(request.pictures);
        if (info.exists() && !info.isDir())
            bad(QStringLiteral("--pictures \"%1\" is a file, not a folder").arg(request.pictures));
        if (info.isDir()
            && !QDir(request.pictures)
                    .entryList({ QStringLiteral("frame*.png") }, QDir::Files)
                    .isEmpty())
            bad(QStringLiteral("--pictures \"%1\" already holds frames: choose a new or empty "
                               "folder")
                    .arg(request.pictures));
    }
    if (!request.movie.isEmpty()) {
        requireFolderOf(request.movie, "--movie");
        if (QFileInfo(request.movie).isDir())
            bad(QStringLiteral("--movie \"%1\" is a folder, not a file").arg(request.movie));
        if (!MovieWriter::ffmpegAvailable())
            bad(QStringLiteral("--movie needs the ffmpeg program, which is not on the PATH "
                               "(install the ffmpeg package, or write PNG frames with "
                               "--pictures)"));
    }
}

RunMedia::~RunMedia()
{
    for (const auto& recorder : m_recorders)
        recorder->abandon();
    OutputFile::removeOnInterrupt(0, QString());
}

bool RunMedia::any() const
{
    return !m_request.picture.isEmpty() || !m_request.pictures.isEmpty()
        || !m_request.movie.isEmpty();
}

void RunMedia::start(ModelApi model)
{
    // The movie first: starting ffmpeg is what may still fail, and then no frame
    // has been written anywhere.
    if (!m_request.movie.isEmpty())
        record(model, m_request.movie);
    if (!m_request.pictures.isEmpty()) {
        // A new folder is made here: a name with a dot would otherwise read as a
        // movie file's.
        if (!QFileInfo::exists(m_request.pictures) && !QDir().mkdir(m_request.pictures))
            bad(QStringLiteral("--pictures \"%1\": the folder cannot be made")
                    .arg(m_request.pictures));
        record(model, m_request.pictures);
    }
}

void RunMedia::record(ModelApi model, const QString& file)
{
    MovieOptions options;
    options.file = file;
    options.everyTicks = m_request.everyTicks;
    options.scale = m_request.scale;
    options.framesPerSecond = m_request.framesPerSecond;
    auto recorder = std::make_unique<MovieRecorder>(model);
    const bool movie = file == m_request.movie;
    QObject::connect(recorder.get(), &MovieRecorder::failed, recorder.get(),
        [this, movie](const QString& message) {
            if (m_failure.isEmpty())
                m_failure = message;
            if (movie) // its encoder has ended
                OutputFile::removeOnInterrupt(0, QString());
        });
    try {
        recorder->start(options);
    } catch (const CommandError& error) {
        bad(error.message());
    }
    // An interrupted run leaves no part of a movie behind.
    const MovieWriter* writer = recorder->writer();
    if (writer && !writer->temporaryFile().isEmpty())
        OutputFile::removeOnInterrupt(writer->encoderProcessId(), writer->temporaryFile());
    m_recorders.push_back(std::move(recorder));
}

bool RunMedia::stepped(double time)
{
    for (const auto& recorder : m_recorders)
        recorder->stepped(time);
    return m_failure.isEmpty();
}

void RunMedia::finish(FrontEnd& frontEnd)
{
    for (const auto& recorder : m_recorders)
        recorder->stop();
    m_recorders.clear();
    OutputFile::removeOnInterrupt(0, QString());
    if (!m_failure.isEmpty())
        throw RunError(ExitStatus::Refused, m_failure);
    if (m_request.picture.isEmpty())
        return;
    // The world as the window's Save World Picture draws it.
    frontEnd.drawWorld();
    try {
        WorldPicture::save(frontEnd.worldImage(), m_request.picture, m_request.scale);
    } catch (const CommandError& error) {
        bad(error.message());
    }
}

} // namespace tessra
