#pragma once

// The whole program in one test process: the logic objects, the eight windows and
// dialogs that answer by themselves, over a copy of a real model in a private folder.

#include "Core.h"
#include "Dialogs.h"
#include "DocumentOpener.h"
#include "FrontEnd.h"
#include "TestPaths.h"
#include "TfMain.h"
#include "Windows.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

/// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace tessra::test {

/// Serves the event loop until `done` answers true or `ms` have passed; answers `done`.
inline bool waitUntil(const std::function<bool()>& done, int ms = 10000)
{
    const QDeadlineTimer deadline(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

/// Runs `answer` on the next modal window that shows (a dialog's exec() blocks the test,
/// so the answer has to be ready before). Gives up after ten seconds.
inline void whenModalShows(std::function<void(QWidget*)> answer)
{
    auto* timer = new QTimer;
    auto deadline = std::make_shared<QDeadlineTimer>(10000);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, deadline, answer] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal && !deadline->hasExpired())
            return;
        timer->stop();
        timer->deleteLater();
        if (!modal)
            return;
        answer(modal);
        // Whatever went wrong, the test must not hang in the modal window.
        if (modal->isVisible() && QApplication::activeModalWidget() == modal) {
            ADD_FAILURE() << "the modal window is still open";
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
        }
    });
    timer->start(10);
}

/// Dialogs that record what they were asked and answer as told.
class AnsweringDialogs : public Dialogs {
public:
    struct Message {
        QString caption;
        QString text;
        QMessageBox::Icon icon;
    };

    void message(
        QWidget*, const QString& caption, const QString& text, QMessageBox::Icon icon) override
    {
        messages.push_back({ caption, text, icon });
    }
    bool askYesNo(QWidget*, const QString&, const QString&) override { return true; }
    QString chooseModelFile(QWidget*, const QString&) override { return next(modelFiles); }
    QString chooseParameterFileToLoad(QWidget*, const QString& folder) override
    {
        loadFolders.push_back(folder);
        return next(filesToLoad);
    }
    QString chooseParameterFileToSave(QWidget*, const QString& folder, const QString& file) override
    {
        saveQuestions.push_back({ folder, file });
        return next(filesToSave);
    }

    std::vector<Message> messages;
    /// Answers of the file dialogs, first in first out; empty (cancel) when none is left.
    std::deque<QString> modelFiles;
    std::deque<QString> filesToLoad;
    std::deque<QString> filesToSave;
    /// What the dialogs were opened with.
    std::vector<QString> loadFolders;
    std::vector<std::pair<QString, QString>> saveQuestions; ///< folder, preselected file

private:
    static QString next(std::deque<QString>& answers)
    {
        if (answers.empty())
            return {};
        QString answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

/// Records every document the program asks the desktop to open; the desktop is never
/// asked. `accept` decides the desktop's answer.
class OpenedDocuments {
public:
    OpenedDocuments()
    {
        m_previous = setDocumentOpener([this](const QUrl& url) {
            urls.push_back(url);
            return accept;
        });
    }
    ~OpenedDocuments() { setDocumentOpener(m_previous); }
    OpenedDocuments(const OpenedDocuments&) = delete;
    OpenedDocuments& operator=(const OpenedDocuments&) = delete;

    std::vector<QUrl> urls;
    bool accept = true;

private:
    DocumentOpener m_previous;
};

/// A private folder, made the current folder, holding a copy of an example model
/// (model.so, default.ini, help/).
class ModelFolder {
public:
    explicit ModelFolder(const std::string& example = "life")
        : m_previous(QDir::currentPath())
    {
        copyFolder(QString::fromStdString(exampleFolder(example)), m_dir.path());
        QDir::setCurrent(m_dir.path());
    }
    ~ModelFolder() { QDir::setCurrent(m_previous); }
    ModelFolder(const ModelFolder&) = delete;
    ModelFolder& operator=(const ModelFolder&) = delete;

    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }
    void write(const QString& name, const QByteArray& text) const
    {
        QDir(m_dir.path()).mkpath(QFileInfo(file(name)).path());
        QFile out(file(name));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(text);
    }
    QByteArray read(const QString& name) const
    {
        QFile in(file(name));
        return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
    }

private:
    static void copyFolder(const QString& from, const QString& to)
    {
        const QDir source(from);
        QFile::copy(source.filePath("model.so"), QDir(to).filePath("model.so"));
        QFile::copy(source.filePath("default.ini"), QDir(to).filePath("default.ini"));
        QDir(to).mkpath("help");
        for (const QString& page : QDir(source.filePath("help")).entryList(QDir::Files))
            QFile::copy(source.filePath("help/" + page), QDir(to).filePath("help/" + page));
    }

    QString m_previous;
    QTemporaryDir m_dir;
};

/// The program as main() builds it, started: the main window shown and the first
/// model (./model.so of the model folder) loaded.
class ProgramTest : public ::testing::Test {
protected:
    explicit ProgramTest(const std::string& example = "life")
        : m_folder(example)
    {
        QSettings(QSettings::NativeFormat, QSettings::UserScope, "Tessra", "Tessra").clear();
    }

    void SetUp() override
    {
        m_windows = std::make_unique<Windows>(m_core, QStringList(), false, m_dialogs);
        main().show();
        ASSERT_TRUE(waitUntil([this] { return main().isStartupDone(); }));
        ASSERT_TRUE(frontEnd().isModelLoaded()) << frontEnd().loadModelError().toStdString();
    }
    void TearDown() override
    {
        frontEnd().pauseAndWait();
        m_core.stopConditions().removeAllConditions();
        m_core.stopConditions().setEnabled(false);
        m_core.recorder().table().removeAllSeries();
        m_windows.reset();
    }

    TfMain& main() { return m_windows->main(); }
    Windows& windows() { return *m_windows; }
    FrontEnd& frontEnd() { return m_core.frontEnd(); }
    ModelApi model() const { return m_core.model(); }
    /// Triggers a main-window action found by its object name.
    void trigger(const char* name)
    {
        QAction* action = main().findChild<QAction*>(QLatin1String(name));
        ASSERT_NE(action, nullptr) << name;
        ASSERT_TRUE(action->isEnabled()) << name;
        action->trigger();
    }

    ModelFolder m_folder;
    Core m_core;
    AnsweringDialogs m_dialogs;
    std::unique_ptr<Windows> m_windows;
};

} // namespace tessra::test
