#pragma once

#include <QImage>
#include <QObject>
#include <QString>

#include <memory>

#include "ModelApi.h"
#include "MovieWriter.h"

namespace tessra {

/// Records a movie of a run: a frame of the world in the model's colours when
/// recording starts and then every K ticks, whatever the display does (a
/// frame is coloured at the recorded tick even when the portal is drawn
/// seldom). On the caller's thread a frame costs one colouring of the world
/// and one copy; scaling and writing happen on the writer's thread.
///
/// Drivers connect the step of their run to stepped(), and stop() to the end
/// of the world (a new simulation, a model load, the end of the program).
/// Used on one thread: the GUI thread in the program.
class MovieRecorder : public QObject {
    Q_OBJECT
public:
    explicit MovieRecorder(ModelApi model, QObject* parent = nullptr);
    /// Finishes the movie being recorded.
    ~MovieRecorder() override;

    /// Starts recording with `options`, taking the first frame of the world
    /// at once. A recording under way is finished first. Throws CommandError
    /// naming the file and the reason when the recording cannot start (no
    /// world, options out of range, an unknown suffix, a missing folder, no
    /// ffmpeg for a movie file, a file that cannot be written).
    void start(const MovieOptions& options);
    /// Finishes the file: waits until every frame is written and the movie
    /// complete. Answers true when a recording was under way and its file is
    /// complete; false when none was, or it failed (failed() was emitted).
    bool stop();
    /// Ends the recording under way without finishing its file (see
    /// MovieWriter::abandon()): for a run that failed. No failed() is emitted.
    void abandon();
    bool isRecording() const { return m_writer != nullptr; }
    /// The writer of the recording under way; null when none is.
    const MovieWriter* writer() const { return m_writer.get(); }
    /// The options of the recording under way (or the last one).
    const MovieOptions& options() const { return m_options; }
    /// Frames taken by the recording under way (or the last one).
    int frameCount() const { return m_frames; }

    /// A step of the run ended at simulation time `time`: takes a frame when
    /// the time has reached the next multiple of K ticks since the start.
    void stepped(double time);

signals:
    /// Recording started (true) or ended (false), however it ended.
    void recordingChanged(bool recording);
    /// Writing failed; the recording has ended. `message` names the file and
    /// the reason. The run goes on.
    void failed(const QString& message);

private:
    void takeFrame();
    void endAfterFailure();

    ModelApi m_model;
    MovieOptions m_options;
    std::unique_ptr<MovieWriter> m_writer;
    QImage m_canvas;
    QSize m_frameSize;
    double m_nextTick = 0;
    int m_frames = 0;
};

} // namespace tessra
