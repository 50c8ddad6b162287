#pragma once

#include "ModelApi.h"
#include "MovieRecorder.h"
#include "RunRequest.h"

#include <memory>
#include <vector>

namespace tessra {

class FrontEnd;

/// The pictures and movies of one run without a screen (--picture, --pictures,
/// --movie), made by the window's own recorder and picture code: frames in the
/// model's colours at the start and then every K ticks, as Record Movie takes
/// them, and the world at the end as Save World Picture draws it.
class RunMedia {
public:
    /// Checks what can be checked before the model loads: the folders exist,
    /// a picture is no folder, the frames' folder is no file, ffmpeg is on the
    /// PATH for a movie. Throws RunError (BadArguments).
    explicit RunMedia(const RunRequest& request);
    /// A run that ends before finish() (a step or the world failed) leaves no
    /// movie file: the recordings under way are abandoned.
    ~RunMedia();
    RunMedia(const RunMedia&) = delete;
    RunMedia& operator=(const RunMedia&) = delete;

    /// Whether any picture or movie is asked for.
    bool any() const;
    /// Starts the recordings on the world `model` holds now, taking their first
    /// frames. Throws RunError (BadArguments) when one cannot start (a folder
    /// that holds frames, a file that cannot be written, ffmpeg not starting).
    void start(ModelApi model);
    /// After a step that ended at `time`: takes the frames due. Answers false
    /// once a recording has failed; the run should end.
    bool stepped(double time);
    /// Finishes the recordings, then saves the picture of the world as
    /// `frontEnd` draws it. Throws RunError: Refused when a recording failed
    /// (a movie file is then not written), BadArguments when the picture
    /// cannot be written.
    void finish(FrontEnd& frontEnd);

private:
    void record(ModelApi model, const QString& file);

    RunRequest m_request;
    std::vector<std::unique_ptr<MovieRecorder>> m_recorders;
    QString m_failure;
};

} // namespace tessra
