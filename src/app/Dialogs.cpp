#include "Dialogs.h"

#include "AppTexts.h"
#include "CommandError.h"

#include <QFileDialog>

#include <cstdio>

namespace tessra {

void Dialogs::message(
    QWidget* parent, const QString& caption, const QString& text, QMessageBox::Icon icon)
{
    QMessageBox box(icon, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

void NonBlockingDialogs::message(
    QWidget* parent, const QString& caption, const QString& text, QMessageBox::Icon icon)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
    auto* box = new QMessageBox(icon, caption, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    box->show();
}

bool Dialogs::askYesNo(QWidget* parent, const QString& caption, const QString& text)
{
    QMessageBox box(
        QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

QString Dialogs::chooseModelFile(QWidget* parent, const QString& folder)
{
    QFileDialog dialog(
        parent, QStringLiteral("Load Model"), folder, "Models (" + modelFileName() + ")");
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

namespace {

// The file dialogs of the parameter files: settings files by their usual suffix in
// either case, or any file; a name typed without a suffix gets ".ini".
QString chooseParameterFile(QFileDialog& dialog)
{
    dialog.setNameFilters({ QStringLiteral("Configuration Settings (*.ini *.INI)"),
        QStringLiteral("All Files (*)") });
    dialog.setDefaultSuffix(QStringLiteral("ini"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString Dialogs::chooseParameterFileToLoad(QWidget* parent, const QString& folder)
{
    QFileDialog dialog(parent, QStringLiteral("Load Parameters"), folder);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    return chooseParameterFile(dialog);
}

QString Dialogs::chooseParameterFileToSave(
    QWidget* parent, const QString& folder, const QString& file)
{
    QFileDialog dialog(parent, QStringLiteral("Save Parameters"), folder);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!file.isEmpty())
        dialog.selectFile(file);
    return chooseParameterFile(dialog);
}

void showCommandError(
    Dialogs& dialogs, QWidget* parent, const QString& caption, const CommandError& error)
{
    dialogs.message(parent, caption, error.message() + ".", QMessageBox::Critical);
}

} // namespace tessra
