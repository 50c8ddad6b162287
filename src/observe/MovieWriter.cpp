#include "MovieWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QProcess>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QStandardPaths>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <future>
#include <unistd.h>

#include "CommandError.h"
#include "WorldPicture.h"

namespace tessra {

/// Where the writing thread puts frames. open(), write() and close() run on
/// that thread; each answers an error message, or an empty text.
class MovieWriter::Sink {
public:
    virtual ~Sink() = default;
    virtual QString open() = 0;
    virtual QString write(const QImage& frame) = 0;
    /// Ends the movie; `complete` is false after a failure, and the sink then
    /// leaves no partial file behind.
    virtual QString close(bool complete) = 0;
    /// After open(): the file being written and the process writing it, if any.
    virtual QString temporaryFile() const { return {}; }
    virtual qint64 processId() const { return 0; }
};

namespace {

const QString FramePattern = QStringLiteral("frame%1.png");
constexpr std::size_t QueueBytes = std::size_t(64) << 20;
// Written frames kept for the next ones.
constexpr std::size_t SpareFrames = 4;
// The largest pipe to an encoder that an ordinary user may ask Linux for.
constexpr int MaximumPipeBytes = 1 << 20;

QString shown(const QString& path)
{
    return QDir::toNativeSeparators(path);
}

/// Numbered PNG pictures in a folder.
class PngFolder : public MovieWriter::Sink {
public:
    explicit PngFolder(QString folder)
        : m_folder(std::move(folder))
    {
    }

    QString open() override
    {
        QDir dir(m_folder);
        if (!dir.exists() && !QDir().mkdir(m_folder))
            return QStringLiteral("Cannot create the folder %1").arg(shown(m_folder));
        if (!dir.entryList({ QStringLiteral("frame*.png") }, QDir::Files).isEmpty())
            return QStringLiteral(
                "The folder %1 already holds frames: choose a new or empty folder")
                .arg(shown(m_folder));
        return {};
    }

    QString write(const QImage& frame) override
    {
        const QString name
            = QDir(m_folder).filePath(FramePattern.arg(m_next++, 6, 10, QLatin1Char('0')));
        QSaveFile file(name);
        if (!file.open(QIODevice::WriteOnly))
            return QStringLiteral("Cannot write %1: %2").arg(shown(name), file.errorString());
        QImageWriter writer(&file, "PNG");
        // zlib's fastest level (Qt maps quality 80 to it): frames come fast, and
        // a run must not wait for them.
        writer.setQuality(80);
        if (!writer.write(frame))
            return QStringLiteral("Cannot write %1: %2").arg(shown(name), writer.errorString());
        if (!file.commit())
            return QStringLiteral("Cannot write %1: %2").arg(shown(name), file.errorString());
        return {};
    }

    QString close(bool) override { return {}; }

private:
    QString m_folder;
    int m_next = 0;
};

/// A movie file encoded by an ffmpeg child process from raw RGB frames on
/// its standard input.
class FfmpegMovie : public MovieWriter::Sink {
public:
    FfmpegMovie(QString file, MovieFormat format, QSize size, int framesPerSecond)
        : m_file(std::move(file))
        , m_format(format)
        , m_size(size)
        , m_framesPerSecond(framesPerSecond)
    {
    }

    QString open() override
    {
        // Written beside the target under a new name of its own (created here, so
        // that no other file is followed or replaced, with the user's usual
        // permissions), renamed when complete.
        const QFileInfo target(m_file);
        QString reason;
        for (int attempt = 0; attempt < 100 && m_part.isEmpty(); ++attempt) {
            const QString name = target.absoluteDir().filePath(
                QStringLiteral(".%1.%2.part")
                    .arg(target.fileName(),
                        QString::number(QRandomGenerator::global()->generate(), 36)));
            QFile part(name);
            if (part.open(QIODevice::WriteOnly | QIODevice::NewOnly))
                m_part = name;
            else
                reason = part.errorString();
        }
        if (m_part.isEmpty())
            return QStringLiteral("Cannot write %1: %2").arg(shown(m_file), reason);

        m_process = std::make_unique<QProcess>();
        m_process->setProgram(QStringLiteral("ffmpeg"));
        m_process->setArguments(arguments());
        m_process->setStandardOutputFile(QProcess::nullDevice());
        // A pipe that holds a whole frame, as far as the system allows (1 MB unless
        // raised): ffmpeg then reads a frame while the next is written, where a pipe
        // of 64 KB would make both sides wait on each other a dozen times a frame.
        const int pipeBytes = static_cast<int>(std::min<qint64>(
            qint64(m_size.width()) * m_size.height() * 3, qint64(MaximumPipeBytes)));
        m_process->setChildProcessModifier(
            [pipeBytes] { ::fcntl(STDIN_FILENO, F_SETPIPE_SZ, pipeBytes); });
        m_process->start(QIODevice::ReadWrite);
        if (!m_process->waitForStarted(-1)) {
            const QString why = m_process->errorString();
            discard();
            return QStringLiteral("Cannot start ffmpeg for %1: %2").arg(shown(m_file), why);
        }
        return {};
    }

    QString write(const QImage& frame) override
    {
        // Raw frames have no row padding; the picture's rows may have.
        const qsizetype row = qsizetype(frame.width()) * 3;
        const qint64 bytes = row * frame.height();
        const char* data = reinterpret_cast<const char*>(frame.constBits());
        if (frame.bytesPerLine() != row) {
            m_buffer.resize(bytes);
            for (int y = 0; y < frame.height(); ++y)
                std::memcpy(m_buffer.data() + y * row, frame.constScanLine(y), std::size_t(row));
            data = m_buffer.constData();
        }
        if (m_process->write(data, bytes) != bytes)
            return encoderFailure();
        while (m_process->bytesToWrite() > 0) {
            if (!m_process->waitForBytesWritten(-1))
                return encoderFailure();
        }
        return {};
    }

    QString close(bool complete) override
    {
        if (!m_process)
            return {};
        m_process->closeWriteChannel();
        if (!complete) {
            m_process->kill();
            m_process->waitForFinished(-1);
            discard();
            return {};
        }
        m_process->waitForFinished(-1);
        if (m_process->exitStatus() != QProcess::NormalExit || m_process->exitCode() != 0) {
            const QString message = encoderFailure();
            discard();
            return message;
        }
        m_process.reset();
        // Replaces an older file in one step.
        if (std::rename(
                QFile::encodeName(m_part).constData(), QFile::encodeName(m_file).constData())
            != 0) {
            QFile::remove(m_part);
            return QStringLiteral("Cannot write %1: the finished movie could not be renamed")
                .arg(shown(m_file));
        }
        return {};
    }

    QString temporaryFile() const override { return m_part; }
    qint64 processId() const override { return m_process ? m_process->processId() : 0; }

    ~FfmpegMovie() override
    {
        if (m_process) {
            m_process->kill();
            m_process->waitForFinished(-1);
        }
    }

private:
    QStringList arguments() const
    {
        QStringList a { QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"),
            QStringLiteral("error"), QStringLiteral("-y"), QStringLiteral("-f"),
            QStringLiteral("rawvideo"), QStringLiteral("-pixel_format"), QStringLiteral("rgb24"),
            QStringLiteral("-video_size"),
            QStringLiteral("%1x%2").arg(m_size.width()).arg(m_size.height()),
            QStringLiteral("-framerate"), QString::number(m_framesPerSecond), QStringLiteral("-i"),
            QStringLiteral("pipe:0") };
        // H.264 and VP9 in 4:2:0 need even sides: an odd side gets one black line.
        const QString even = QStringLiteral("pad=ceil(iw/2)*2:ceil(ih/2)*2");
        switch (m_format) {
        case MovieFormat::Mp4:
            a << QStringLiteral("-vf") << even << QStringLiteral("-c:v")
              << QStringLiteral("libx264") << QStringLiteral("-preset")
              << QStringLiteral("ultrafast") << QStringLiteral("-crf") << QStringLiteral("18")
              << QStringLiteral("-pix_fmt") << QStringLiteral("yuv420p")
              << QStringLiteral("-movflags") << QStringLiteral("+faststart") << QStringLiteral("-f")
              << QStringLiteral("mp4");
            break;
        case MovieFormat::WebM:
            a << QStringLiteral("-vf") << even << QStringLiteral("-c:v")
              << QStringLiteral("libvpx-vp9") << QStringLiteral("-deadline")
              << QStringLiteral("realtime") << QStringLiteral("-cpu-used") << QStringLiteral("8")
              << QStringLiteral("-crf") << QStringLiteral("30") << QStringLiteral("-b:v")
              << QStringLiteral("0") << QStringLiteral("-pix_fmt") << QStringLiteral("yuv420p")
              << QStringLiteral("-f") << QStringLiteral("webm");
            break;
        case MovieFormat::Gif:
            // A palette of each frame's own colours: models rarely use more than 256.
            a << QStringLiteral("-vf")
              << QStringLiteral("split[a][b];[a]palettegen=stats_mode=single[p];"
                                "[b][p]paletteuse=new=1")
              << QStringLiteral("-loop") << QStringLiteral("0") << QStringLiteral("-f")
              << QStringLiteral("gif");
            break;
        case MovieFormat::PngFrames:
            break;
        }
        a << m_part;
        return a;
    }

    QString encoderFailure()
    {
        // A failing ffmpeg says why on its way out.
        m_process->closeWriteChannel();
        if (!m_process->waitForFinished(5000)) {
            m_process->kill();
            m_process->waitForFinished(-1);
        }
        QString reason = QString::fromLocal8Bit(m_process->readAllStandardError()).trimmed();
        if (reason.isEmpty())
            reason = m_process->errorString();
        // ffmpeg's last line says what went wrong.
        reason = reason.section(QLatin1Char('\n'), -1).trimmed();
        return QStringLiteral("The encoder failed on %1: %2").arg(shown(m_file), reason);
    }

    void discard()
    {
        m_process.reset();
        QFile::remove(m_part);
    }

    QString m_file;
    MovieFormat m_format;
    QSize m_size;
    int m_framesPerSecond;
    QString m_part;
    QByteArray m_buffer;
    std::unique_ptr<QProcess> m_process;
};

} // namespace

std::optional<MovieFormat> MovieWriter::formatOf(const QString& file)
{
    const QFileInfo info(file);
    if (info.isDir())
        return MovieFormat::PngFrames;
    const QString suffix = info.suffix().toLower();
    if (suffix.isEmpty())
        return MovieFormat::PngFrames;
    if (suffix == u"mp4")
        return MovieFormat::Mp4;
    if (suffix == u"webm")
        return MovieFormat::WebM;
    if (suffix == u"gif")
        return MovieFormat::Gif;
    return std::nullopt;
}

bool MovieWriter::ffmpegAvailable()
{
    return !QStandardPaths::findExecutable(QStringLiteral("ffmpeg")).isEmpty();
}

MovieWriter::MovieWriter(const MovieOptions& options, QSize frameSize)
    : m_scale(options.scale)
{
    const QString file = shown(options.file);
    const auto refuse = [&file](const QString& reason) {
        throw CommandError(QStringLiteral("Cannot record the movie %1: %2").arg(file, reason));
    };
    if (options.file.isEmpty())
        throw CommandError(QStringLiteral("Cannot record a movie: no file name"));
    if (frameSize.isEmpty())
        refuse(QStringLiteral("there is no world"));
    if (options.everyTicks < 1)
        refuse(QStringLiteral("a frame must be taken every 1 or more ticks"));
    if (options.scale < WorldPicture::MinimumScale || options.scale > WorldPicture::MaximumScale)
        refuse(QStringLiteral("the scale must be a whole number from %1 to %2")
                   .arg(WorldPicture::MinimumScale)
                   .arg(WorldPicture::MaximumScale));
    if (options.framesPerSecond < 1 || options.framesPerSecond > 1000)
        refuse(QStringLiteral("the frame rate must be a whole number from 1 to 1000"));
    const std::optional<MovieFormat> format = formatOf(options.file);
    if (!format)
        refuse(
            QStringLiteral("a movie is an .mp4, .webm or .gif file, or a folder for PNG frames"));
    const QFileInfo info(options.file);
    if (!info.absoluteDir().exists())
        refuse(QStringLiteral("the folder %1 does not exist").arg(shown(info.absolutePath())));
    if (*format == MovieFormat::PngFrames) {
        if (info.exists() && !info.isDir())
            refuse(QStringLiteral("it is a file, not a folder"));
        m_sink = std::make_unique<PngFolder>(options.file);
    } else {
        if (!ffmpegAvailable())
            refuse(QStringLiteral("the ffmpeg program was not found (install the ffmpeg "
                                  "package, or record PNG frames)"));
        m_sink = std::make_unique<FfmpegMovie>(
            options.file, *format, frameSize * options.scale, options.framesPerSecond);
    }
    m_frameBytes = std::size_t(frameSize.width()) * std::size_t(frameSize.height()) * 3;
    m_queueLimit = std::max<std::size_t>(4, QueueBytes / std::max<std::size_t>(1, m_frameBytes));

    std::promise<QString> opened;
    std::future<QString> result = opened.get_future();
    m_thread = std::thread([this, &opened] {
        const QString error = m_sink->open();
        if (error.isEmpty()) {
            m_temporaryFile = m_sink->temporaryFile();
            m_encoderProcessId = m_sink->processId();
        }
        opened.set_value(error);
        if (error.isEmpty())
            work();
        else
            m_sink.reset();
    });
    const QString error = result.get();
    if (!error.isEmpty()) {
        m_thread.join();
        throw CommandError(error);
    }
}

MovieWriter::~MovieWriter()
{
    finish();
}

void MovieWriter::setFailureHandler(std::function<void()> handler)
{
    std::lock_guard lock(m_mutex);
    m_onFailure = std::move(handler);
}

void MovieWriter::write(const QImage& frame)
{
    QImage copy;
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(
            lock, [this] { return m_failed || m_closing || m_queue.size() < m_queueLimit; });
        if (m_failed || m_closing)
            return;
        if (!m_spare.empty()) {
            copy = std::move(m_spare.back());
            m_spare.pop_back();
        }
    }
    // A buffer the writer has used before: fresh memory would cost page faults on
    // this thread at every frame.
    if (copy.size() != frame.size() || copy.format() != frame.format())
        copy = QImage(frame.size(), frame.format());
    std::memcpy(copy.bits(), frame.constBits(), std::size_t(frame.sizeInBytes()));
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(copy));
        ++m_frames;
    }
    m_changed.notify_all();
}

void MovieWriter::work()
{
    for (;;) {
        QImage frame;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_closing || !m_queue.empty(); });
            if (m_queue.empty())
                break;
            frame = std::move(m_queue.front());
            m_queue.pop_front();
        }
        m_changed.notify_all();
        const QString error = m_sink->write(WorldPicture::scaled(frame, m_scale));
        if (!error.isEmpty()) {
            fail(error);
            break;
        }
        std::lock_guard lock(m_mutex);
        if (m_spare.size() < SpareFrames)
            m_spare.push_back(std::move(frame));
    }
    bool complete = false;
    {
        std::lock_guard lock(m_mutex);
        complete = !m_failed && !m_abandoned;
    }
    const QString error = m_sink->close(complete);
    if (!error.isEmpty())
        fail(error);
    m_sink.reset();
}

void MovieWriter::fail(const QString& message)
{
    std::function<void()> handler;
    {
        std::lock_guard lock(m_mutex);
        if (m_failed)
            return;
        m_failed = true;
        m_failure = message;
        m_queue.clear();
        handler = m_onFailure;
    }
    m_changed.notify_all();
    if (handler)
        handler();
}

bool MovieWriter::hasFailed() const
{
    std::lock_guard lock(m_mutex);
    return m_failed;
}

QString MovieWriter::failure() const
{
    std::lock_guard lock(m_mutex);
    return m_failure;
}

QString MovieWriter::finish()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_finished)
            return m_failure;
        m_finished = true;
        m_closing = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    return failure();
}

void MovieWriter::abandon()
{
    {
        std::lock_guard lock(m_mutex);
        if (m_finished)
            return;
        m_abandoned = true;
        m_queue.clear();
    }
    finish();
}

} // namespace tessra
