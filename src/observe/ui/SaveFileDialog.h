#pragma once

#include <QFileDialog>

namespace tessra {

/// A file dialog for saving that takes a name only in a folder that exists:
/// a typed name in a missing folder gets a warning naming the folder, and the
/// dialog stays open. (Qt's own dialog accepts it and the write fails later.)
class SaveFileDialog : public QFileDialog {
    Q_OBJECT
public:
    SaveFileDialog(QWidget* parent, const QString& caption);

    /// The folder `file` would be written into when it does not exist, else an
    /// empty text.
    static QString missingFolder(const QString& file);

    void accept() override;
};

} // namespace tessra
