#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

namespace tessra {

class CommandError;

/// The message boxes and file choosers of the main window's commands, behind one
/// interface so that tests can answer them. The standard implementation shows Qt's
/// dialogs; each call blocks until the user answers.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    /// A message box with an OK button.
    virtual void message(
        QWidget* parent, const QString& caption, const QString& text, QMessageBox::Icon icon);
    /// A question with Yes and No, No the default; true for Yes.
    virtual bool askYesNo(QWidget* parent, const QString& caption, const QString& text);
    /// The Load Model dialog: an existing model library file, or empty when cancelled.
    virtual QString chooseModelFile(QWidget* parent, const QString& folder);
    /// The Load Parameters dialog ("Configuration Settings"), opened in `folder`: an
    /// existing settings file, or empty when cancelled.
    virtual QString chooseParameterFileToLoad(QWidget* parent, const QString& folder);
    /// The Save Parameters dialog, opened in `folder` with `file` preselected (may be
    /// empty): the name the user confirmed, or empty when cancelled. An existing file
    /// is taken without asking.
    virtual QString chooseParameterFileToSave(
        QWidget* parent, const QString& folder, const QString& file);
};

/// Dialogs whose message boxes do not wait for an answer: each box is shown without
/// blocking and its text also goes to the standard error output. For errors that
/// reach the application in a program driven by automation, which must go on serving
/// its client while a box waits for a user who may not be there.
class NonBlockingDialogs : public Dialogs {
public:
    void message(QWidget* parent, const QString& caption, const QString& text,
        QMessageBox::Icon icon) override;
};

/// The standard error display: the error's message followed by ".", captioned `caption`
/// (the application title), with the error icon and OK.
void showCommandError(
    Dialogs& dialogs, QWidget* parent, const QString& caption, const CommandError& error);

} // namespace tessra
