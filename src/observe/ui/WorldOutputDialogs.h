#pragma once

#include <QDialog>

#include "MovieWriter.h"

class QComboBox;
class QFormLayout;
class QLabel;
class QLineEdit;
class QSpinBox;

namespace tessra {

/// What the two world dialogs share: a file row with "Browse...", a scale
/// (pixels per site, 1 to 16), a line that says what is wrong with the
/// choice, and OK and Cancel. OK stays in the dialog while the choice is
/// wrong.
class WorldOutputDialog : public QDialog {
    Q_OBJECT
public:
    /// The file or folder chosen (objectName "eFile").
    QString file() const;
    /// Pixels per site (objectName "feScale").
    int scale() const;
    /// What keeps OK from closing the dialog (objectName "lProblem"), or empty.
    QString problem() const;

    void accept() override;

protected:
    WorldOutputDialog(QWidget* parent, const QString& title);
    /// Lays out the rows; `extra` rows go between the file and the scale.
    void build(const QList<QPair<QString, QWidget*>>& extra);
    /// Sets the file row's text.
    void setFile(const QString& file);
    void setScale(int scale);
    /// The problem with the choice, or an empty text when it can be taken.
    virtual QString check() const = 0;
    /// "Browse..." was pressed.
    virtual void browse() = 0;

private:
    QLineEdit* m_file = nullptr;
    QSpinBox* m_scale = nullptr;
    QLabel* m_problem = nullptr;
};

/// The "Save World Picture" dialog: a PNG or BMP file and the scale.
class TdWorldPicture : public WorldOutputDialog {
    Q_OBJECT
public:
    TdWorldPicture(QWidget* parent, const QString& file, int scale);

protected:
    QString check() const override;
    void browse() override;
};

/// The "Record Movie" dialog: the kind of movie (objectName "cbFormat"), its
/// file or folder, a frame every K ticks ("feEvery"), the scale and the frame
/// rate ("feFps"). Movie files need the ffmpeg program: without it only PNG
/// frames are offered, and a line ("lNoEncoder") says why.
class TdRecordMovie : public WorldOutputDialog {
    Q_OBJECT
public:
    /// `ffmpeg` tells whether the ffmpeg program is available; `last` fills
    /// the fields.
    TdRecordMovie(QWidget* parent, bool ffmpeg, const MovieOptions& last);

    MovieFormat format() const;
    /// The choice as recording options.
    MovieOptions options() const;

protected:
    QString check() const override;
    void browse() override;

private:
    void formatChosen();

    QComboBox* m_format = nullptr;
    QSpinBox* m_every = nullptr;
    QSpinBox* m_fps = nullptr;
};

} // namespace tessra
