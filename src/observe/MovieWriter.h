#pragma once

#include <QImage>
#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace tessra {

/// What a movie is written as, chosen by the file's name.
enum class MovieFormat {
    PngFrames, ///< a folder of numbered PNG pictures (frame000000.png ...)
    Mp4, ///< H.264 in MP4, through ffmpeg
    WebM, ///< VP9 in WebM, through ffmpeg
    Gif, ///< an animated GIF, through ffmpeg
};

/// Where and how a movie is written.
struct MovieOptions {
    /// A ".mp4", ".webm" or ".gif" file, or a folder for PNG frames.
    QString file;
    /// A frame every this many ticks (at least 1).
    int everyTicks = 1;
    /// Every site a block of scale x scale pixels (1 to 16).
    int scale = 1;
    /// Frames per second of the movie file.
    int framesPerSecond = 25;
};

/// Writes frames on a thread of its own: the caller only hands over a copy of
/// each picture. PNG frames are encoded on that thread; movie files are
/// encoded by an `ffmpeg` child process that the thread feeds raw RGB frames
/// through a pipe. Frames are scaled on that thread too.
///
/// A movie file is written under a temporary name beside it and renamed once
/// ffmpeg has finished it, so a failed recording never replaces an existing
/// file. PNG frames go into a folder that must be new or hold no frames yet.
///
/// Created, fed and finished by one thread (the GUI thread in the program).
class MovieWriter {
public:
    /// The format of `file`: ".mp4", ".webm" or ".gif" (any case) give those
    /// movies; a name without a suffix, or an existing folder, gives PNG
    /// frames. Any other suffix gives nothing.
    static std::optional<MovieFormat> formatOf(const QString& file);
    /// Whether an `ffmpeg` program is on the PATH.
    static bool ffmpegAvailable();

    /// Opens the folder or starts ffmpeg for frames of `frameSize` (the
    /// world's size, before scaling). Throws CommandError naming the file and
    /// the reason when that fails or the options are out of range.
    MovieWriter(const MovieOptions& options, QSize frameSize);
    /// Finishes the movie (see finish()).
    ~MovieWriter();
    MovieWriter(const MovieWriter&) = delete;
    MovieWriter& operator=(const MovieWriter&) = delete;

    /// Copies `frame` (the world's size, 24 bits) and hands the copy to the
    /// writing thread. Waits only while the frames not yet written fill the
    /// queue (about 64 MB). Ignored once the writer has failed or finished.
    void write(const QImage& frame);
    /// Writes what is queued, closes the folder or ends ffmpeg and waits for
    /// it. Answers the failure's message, or an empty text when every frame
    /// was written and the file is complete. Later calls answer the same.
    QString finish();
    /// Ends the movie without finishing it: frames not yet written are
    /// dropped, ffmpeg is stopped and its partial file removed, so no movie
    /// file is made or replaced (frames already in a PNG folder stay). For a
    /// run that failed. finish() then answers the failure, if any, or "".
    void abandon();
    /// Whether writing has failed (answered at once; see failure()).
    bool hasFailed() const;
    /// The message of the failure: which file and why.
    QString failure() const;
    /// Called once, on the writing thread, when writing fails.
    void setFailureHandler(std::function<void()> handler);

    /// Frames handed over so far.
    int framesWritten() const { return m_frames; }
    /// The temporary file a movie is written to until it is complete, and the
    /// process id of the ffmpeg writing it; empty and 0 for PNG frames. For a
    /// program that must remove the file when a signal ends it.
    QString temporaryFile() const { return m_temporaryFile; }
    qint64 encoderProcessId() const { return m_encoderProcessId; }

    class Sink;

private:
    void work();
    void fail(const QString& message);

    std::unique_ptr<Sink> m_sink;
    QString m_temporaryFile;
    qint64 m_encoderProcessId = 0;
    int m_scale = 1;
    int m_frames = 0;
    std::size_t m_frameBytes = 0;
    std::size_t m_queueLimit = 0;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<QImage> m_queue;
    std::vector<QImage> m_spare;
    bool m_closing = false;
    bool m_failed = false;
    bool m_finished = false;
    bool m_abandoned = false;
    QString m_failure;
    std::function<void()> m_onFailure;
    std::thread m_thread;
};

} // namespace tessra
