#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QSettings>
#include <QTimer>
#include <QWidget>

#include <charconv>
#include <functional>
#include <string>

#include "../observe/ObserveTestSupport.h"
#include "CommandError.h"
#include "ModelApi.h"
#include "TestPaths.h"

namespace tessra::test {

/// Loads a model library and creates its world (one model per process).
inline ::testing::AssertionResult loadModelWithWorld(const std::string& path)
{
    ::testing::AssertionResult loaded = loadModel(path);
    if (loaded)
        ModelApi().newAgents();
    return loaded;
}

/// Forgets the display settings of one window, so that every test starts
/// from the defaults.
inline void forgetDisplaySettings(const QString& group)
{
    QSettings settings(QStringLiteral("Tessra"), QStringLiteral("Tessra"));
    settings.remove(group);
}

/// Runs `act` on the next modal window (a file dialog, a message box) once
/// it is shown; gives up after five seconds.
inline void whenModal(std::function<void(QWidget*)> act)
{
    auto* timer = new QTimer;
    auto waited = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, act, waited] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal && ++*waited < 500)
            return;
        timer->stop();
        timer->deleteLater();
        if (!modal)
            return;
        act(modal);
        // Whatever went wrong, the test must not hang in the modal window.
        if (modal->isVisible()) {
            ADD_FAILURE() << "the modal window is still open";
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
            else
                modal->close();
        }
    });
    timer->start(10);
}

/// Types `path` into a file dialog's name field and accepts it, as the user
/// does. (QFileDialog::selectFile leaves the field alone while it has the focus.)
inline void typeFileName(QFileDialog* dialog, const QString& path)
{
    auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    ASSERT_NE(name, nullptr);
    name->setText(path);
    static_cast<QDialog*>(dialog)->accept();
    // Whatever went wrong, the test must not hang in the dialog.
    if (dialog->isVisible()) {
        ADD_FAILURE() << "the dialog refused " << path.toStdString();
        dialog->reject();
    }
}

/// Selects `row` of a list, as a click on it does.
inline void selectRow(QListWidget* list, int row)
{
    list->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
}

/// Collects the messages of failed commands.
struct ErrorLog {
    QStringList messages;
    std::function<void(const CommandError&)> reporter()
    {
        return [this](const CommandError& error) { messages.append(error.message()); };
    }
};

} // namespace tessra::test
