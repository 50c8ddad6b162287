#include "SaveFileDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QMessageBox>

namespace tessra {

SaveFileDialog::SaveFileDialog(QWidget* parent, const QString& caption)
    : QFileDialog(parent, caption)
{
    setAcceptMode(QFileDialog::AcceptSave);
}

QString SaveFileDialog::missingFolder(const QString& file)
{
    const QFileInfo info(file);
    if (file.isEmpty() || info.isDir() || info.absoluteDir().exists())
        return {};
    return info.absolutePath();
}

void SaveFileDialog::accept()
{
    const QString folder = missingFolder(selectedFiles().value(0));
    if (!folder.isEmpty()) {
        QMessageBox::warning(this, windowTitle(),
            QStringLiteral("The folder %1 does not exist.\nChoose an existing folder.")
                .arg(QDir::toNativeSeparators(folder)));
        return;
    }
    QFileDialog::accept();
}

} // namespace tessra
