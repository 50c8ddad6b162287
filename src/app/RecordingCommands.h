#pragma once

#include <QObject>
#include <QString>

#include <functional>

#include "MovieWriter.h"

class QAction;
class QWidget;

namespace tessra {

class CommandError;
class FrontEnd;
class MovieRecorder;
class StatusBar;

/// The main window's commands for pictures and movies of the world: File >
/// "Save World Picture..." and the Simulation > "Record Movie..." check item.
/// Each asks with its dialog, then calls the world picture or the movie
/// recorder. While a movie records, the status bar's message panel reads
/// "Recording" and the item is checked; however the recording ends
/// (unchecked, a new world, a model load, a failing encoder, Exit), the check
/// goes and the message panel shows the front end's status again.
class RecordingCommands : public QObject {
    Q_OBJECT
public:
    /// Reports a command's failure (the standard error display).
    using ErrorReporter = std::function<void(const CommandError& error)>;

    /// `window` parents the dialogs and owns this object.
    RecordingCommands(FrontEnd& frontEnd, MovieRecorder& recorder, QAction* saveWorldPicture,
        QAction* recordMovie, StatusBar& status, QWidget& window, ErrorReporter reportError);

    /// File > "Save World Picture...": asks for the file and the scale, then
    /// draws the world and writes it.
    void mSaveWorldPictureClick();
    /// Simulation > "Record Movie...": checked, asks for the movie and starts
    /// it (a cancelled dialog unchecks); unchecked, finishes the file.
    void mRecordMovieClick(bool checked);

private:
    void showRecording(bool recording);

    FrontEnd& m_frontEnd;
    MovieRecorder& m_recorder;
    QAction* m_recordMovie;
    StatusBar& m_status;
    QWidget& m_window;
    ErrorReporter m_reportError;
    QString m_pictureFile;
    int m_pictureScale = 1;
};

} // namespace tessra
