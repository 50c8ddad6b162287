// The real program: started on the offscreen platform in a copy of the Life model's
// folder, it loads ./model.so and keeps running until it is stopped.
#include "TestPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

namespace tessra {
namespace {

QProcess* start(const QString& folder, const QStringList& arguments)
{
    auto* process = new QProcess;
    process->setWorkingDirectory(folder);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    process->setProcessEnvironment(environment);
    process->start(QString::fromStdString(test::tessraExecutable()), arguments);
    return process;
}

TEST(TessraProgram, starts_on_the_life_model_and_keeps_running)
{
    QTemporaryDir folder;
    const QDir life(QString::fromStdString(test::exampleFolder("life")));
    for (const char* name : { "model.so", "default.ini" })
        ASSERT_TRUE(QFile::copy(life.filePath(name), folder.filePath(name))) << name;

    std::unique_ptr<QProcess> process(start(folder.path(), {}));
    ASSERT_TRUE(process->waitForStarted(10000));
    EXPECT_FALSE(process->waitForFinished(3000)) << process->readAllStandardError().toStdString();
    EXPECT_EQ(process->state(), QProcess::Running);
    process->kill();
    process->waitForFinished(5000);
}

} // namespace
} // namespace tessra
