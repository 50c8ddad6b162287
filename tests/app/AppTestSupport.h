#pragma once

// Helpers shared by the front-end tests: the call log of the calllog fixture, waiting
// on the event loop, a private working folder, and dialogs that answer by themselves.

#include "Dialogs.h"
#include "TestPaths.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <dlfcn.h>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

/// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace tessra::test {

/// The calls recorded by a loaded calllog fixture at `path` (see tests/models/README.md).
class CallLog {
public:
    explicit CallLog(const std::string& path)
    {
        m_library = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
        if (m_library) {
            m_calls = reinterpret_cast<const char* (*)()>(dlsym(m_library, "tessra_fixture_calls"));
            m_reset = reinterpret_cast<void (*)()>(dlsym(m_library, "tessra_fixture_reset"));
        }
    }
    ~CallLog()
    {
        if (m_library)
            dlclose(m_library);
    }
    CallLog(const CallLog&) = delete;
    CallLog& operator=(const CallLog&) = delete;

    bool isLoaded() const { return m_calls && m_reset; }
    void reset() const { m_reset(); }
    std::vector<std::string> lines() const
    {
        std::vector<std::string> result;
        const std::string text = m_calls();
        std::size_t start = 0;
        for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1)
            result.push_back(text.substr(start, end - start));
        return result;
    }
    /// Lines starting with `prefix`.
    int count(const std::string& prefix) const
    {
        int n = 0;
        for (const std::string& line : lines())
            n += line.rfind(prefix, 0) == 0 ? 1 : 0;
        return n;
    }

private:
    void* m_library = nullptr;
    const char* (*m_calls)() = nullptr;
    void (*m_reset)() = nullptr;
};

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

/// A temporary folder made the current folder for the lifetime of the object.
class WorkFolder {
public:
    WorkFolder()
        : m_previous(QDir::currentPath())
    {
        QDir::setCurrent(m_dir.path());
    }
    ~WorkFolder() { QDir::setCurrent(m_previous); }
    WorkFolder(const WorkFolder&) = delete;
    WorkFolder& operator=(const WorkFolder&) = delete;

    QString path() const { return m_dir.path(); }
    QString file(const QString& name) const { return m_dir.filePath(name); }
    /// Copies a built fixture's model.so (and its default.ini, if any) here; answers
    /// the copy's path.
    QString copyFixture(const std::string& name) const
    {
        const QString source = QString::fromStdString(fixtureModel(name));
        const QString ini = QFileInfo(source).dir().filePath(QStringLiteral("default.ini"));
        if (QFile::exists(ini))
            QFile::copy(ini, file(QStringLiteral("default.ini")));
        QFile::copy(source, file(QStringLiteral("model.so")));
        return file(QStringLiteral("model.so"));
    }
    void write(const QString& name, const QByteArray& text) const
    {
        QFile out(file(name));
        if (out.open(QIODevice::WriteOnly))
            out.write(text);
    }

private:
    QString m_previous;
    QTemporaryDir m_dir;
};

/// Dialogs that record what they were asked and answer as told.
class RecordingDialogs : public Dialogs {
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
    bool askYesNo(QWidget*, const QString& caption, const QString& text) override
    {
        questions.push_back({ caption, text, QMessageBox::Question });
        return answerYes;
    }
    QString chooseModelFile(QWidget*, const QString&) override
    {
        ++modelDialogs;
        return modelToChoose;
    }

    std::vector<Message> messages;
    std::vector<Message> questions;
    bool answerYes = true;
    int modelDialogs = 0;
    QString modelToChoose;
};

} // namespace tessra::test
