#include "RecordingCommands.h"

#include <QAction>
#include <QWidget>

#include "CommandError.h"
#include "FrontEnd.h"
#include "MovieRecorder.h"
#include "StatusBar.h"
#include "WorldOutputDialogs.h"
#include "WorldPicture.h"

namespace tessra {

namespace {
const QString Recording = QStringLiteral("Recording");
}

RecordingCommands::RecordingCommands(FrontEnd& frontEnd, MovieRecorder& recorder,
    QAction* saveWorldPicture, QAction* recordMovie, StatusBar& status, QWidget& window,
    ErrorReporter reportError)
    : QObject(&window)
    , m_frontEnd(frontEnd)
    , m_recorder(recorder)
    , m_recordMovie(recordMovie)
    , m_status(status)
    , m_window(window)
    , m_reportError(std::move(reportError))
{
    const auto guarded = [this](const std::function<void()>& command) {
        try {
            command();
        } catch (const CommandError& error) {
            m_reportError(error);
        }
    };
    connect(saveWorldPicture, &QAction::triggered, this,
        [this, guarded] { guarded([this] { mSaveWorldPictureClick(); }); });
    connect(recordMovie, &QAction::triggered, this, [this, guarded](bool checked) {
        guarded([this, checked] { mRecordMovieClick(checked); });
    });
    connect(&m_recorder, &MovieRecorder::recordingChanged, this, &RecordingCommands::showRecording);
    connect(&m_recorder, &MovieRecorder::failed, this,
        [this](const QString& message) { m_reportError(CommandError(message)); });
    // Status texts of the run come after the window's own display of them.
    connect(&m_frontEnd, &FrontEnd::statusTextChanged, this, [this] {
        if (m_recorder.isRecording())
            m_status.setPanelText(StatusBar::Message, Recording);
    });
}

void RecordingCommands::mSaveWorldPictureClick()
{
    if (!m_frontEnd.isModelLoaded())
        throw CommandError(QStringLiteral("No model loaded"));
    TdWorldPicture dialog(&m_window, m_pictureFile, m_pictureScale);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_pictureFile = dialog.file();
    m_pictureScale = dialog.scale();
    // The world as it is now, not as the last refresh left the portal.
    m_frontEnd.drawWorld();
    WorldPicture::save(m_frontEnd.worldImage(), m_pictureFile, m_pictureScale);
}

void RecordingCommands::mRecordMovieClick(bool checked)
{
    if (!checked) {
        m_recorder.stop();
        return;
    }
    // Checked only once recording has started.
    m_recordMovie->setChecked(false);
    if (!m_frontEnd.isModelLoaded())
        throw CommandError(QStringLiteral("No model loaded"));
    TdRecordMovie dialog(&m_window, MovieWriter::ffmpegAvailable(), m_recorder.options());
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_recorder.start(dialog.options());
}

void RecordingCommands::showRecording(bool recording)
{
    m_recordMovie->setChecked(recording);
    m_status.setPanelText(StatusBar::Message, recording ? Recording : m_frontEnd.statusText());
}

} // namespace tessra
