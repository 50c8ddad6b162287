#include "Dialogs.h"

#include "AppTexts.h"
#include "CommandError.h"

#include <QFileDialog>

namespace tessra {

void Dialogs::message(QWidget* parent, const QString& caption, const QString& text,
                      QMessageBox::Icon icon)
{
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

bool Dialogs::askYesNo(QWidget* parent, const QString& caption, const QString& text)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QString Dialogs::chooseModelFile(QWidget* parent, const QString& folder)
{
    QFileDialog dialog(parent, QStringLiteral("Load Model"), folder,
                       "Models (" + modelFileName() + ")");
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

void showCommandError(Dialogs& dialogs, QWidget* parent, const QString& caption,
                      const CommandError& error)
{
    dialogs.message(parent, caption, error.message() + ".", QMessageBox::Critical);
}

} // namespace tessra
