#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "AutomationRegistration.h"

namespace tessra {
namespace {

/// Points XDG_DATA_HOME at a fresh folder for one test.
class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_home.isValid());
        m_previous = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", m_home.path().toUtf8());
    }
    void TearDown() override { qputenv("XDG_DATA_HOME", m_previous); }

    QString servicesFolder() const { return m_home.path() + "/dbus-1/services"; }
    QString fileText() const
    {
        QFile file(servicesFolder() + "/Tessra.FrontEnd.service");
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    std::optional<int> run(
        AutomationStartMode mode, const QString& program = "/opt/tessra/bin/tessra")
    {
        return handleRegistrationMode(mode, program, [this](const QString& text) {
            messages.append(text);
            // the message comes before the file is changed
            fileWhenShown.append(fileText());
        });
    }

    QStringList messages;
    QStringList fileWhenShown;
    QTemporaryDir m_home;

private:
    QByteArray m_previous;
};

TEST_F(RegistrationTest, regserver_twice_leaves_one_activation_file)
{
    EXPECT_EQ(run(AutomationStartMode::Register), 0);
    EXPECT_EQ(run(AutomationStartMode::Register), 0);
    EXPECT_EQ(registration::activationFilePath(), servicesFolder() + "/Tessra.FrontEnd.service");
    EXPECT_EQ(QDir(servicesFolder()).entryList(QDir::Files | QDir::Hidden),
        QStringList { "Tessra.FrontEnd.service" });
    EXPECT_EQ(fileText(),
        "[D-BUS Service]\nName=Tessra.FrontEnd\n"
        "Exec=/opt/tessra/bin/tessra /embedding\n");
    EXPECT_EQ(messages, QStringList(2, "Tessra registered as automation server."));
    EXPECT_EQ(fileWhenShown.first(), "");
}

TEST_F(RegistrationTest, unregserver_removes_the_file_and_is_quiet_about_a_missing_one)
{
    run(AutomationStartMode::Register);
    EXPECT_EQ(run(AutomationStartMode::Unregister), 0);
    EXPECT_FALSE(QFile::exists(registration::activationFilePath()));
    EXPECT_EQ(run(AutomationStartMode::Unregister), 0);
    EXPECT_EQ(messages,
        (QStringList { "Tessra registered as automation server.",
            "Tessra unregistered as automation server.",
            "Tessra unregistered as automation server." }));
    EXPECT_FALSE(fileWhenShown.at(1).isEmpty()); // still there while the message shows
}

TEST_F(RegistrationTest, other_modes_go_on_without_a_message)
{
    EXPECT_EQ(run(AutomationStartMode::Standalone), std::nullopt);
    EXPECT_FALSE(QFile::exists(registration::activationFilePath()));
    // An automation start, by hand or by the bus, leaves the file to /regserver.
    EXPECT_EQ(run(AutomationStartMode::Automation, "/usr/bin/tessra"), std::nullopt);
    EXPECT_FALSE(QFile::exists(registration::activationFilePath()));
    run(AutomationStartMode::Register);
    const QString registered = fileText();
    messages.clear();
    EXPECT_EQ(run(AutomationStartMode::Automation, "/home/me/build/bin/tessra"), std::nullopt);
    EXPECT_EQ(fileText(), registered);
    EXPECT_TRUE(messages.isEmpty());
}

TEST_F(RegistrationTest, program_path_is_quoted_for_the_bus_when_needed)
{
    // Shell quoting first, then every backslash doubled for the key file.
    EXPECT_EQ(registration::activationFileText("/home/a b/it's/tessra"),
        "[D-BUS Service]\nName=Tessra.FrontEnd\nExec='/home/a b/it'\\\\''s/tessra' /embedding\n");
    EXPECT_EQ(registration::activationFileText("/opt/a\\b/tessra"),
        "[D-BUS Service]\nName=Tessra.FrontEnd\nExec='/opt/a\\\\b/tessra' /embedding\n");
    EXPECT_EQ(registration::activationFileText("/opt/a\nb/tessra"),
        "[D-BUS Service]\nName=Tessra.FrontEnd\nExec='/opt/a\\nb/tessra' /embedding\n");
}

TEST_F(RegistrationTest, message_is_shown_even_when_the_file_cannot_be_written)
{
    // A plain file where the services folder should be.
    ASSERT_TRUE(QDir(m_home.path()).mkpath("dbus-1"));
    QFile blocker(servicesFolder());
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_EQ(run(AutomationStartMode::Register), 0);
    EXPECT_EQ(messages.size(), 1);
}

/// Runs `program` with `arguments` and XDG_DATA_HOME pointing at `dataHome`;
/// answers its exit code, or -1 when it does not end in time.
int runWithDataHome(const QString& program, const QStringList& arguments, const QString& dataHome,
    QByteArray* output = nullptr)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", dataHome);
    process.setProcessEnvironment(environment);
    process.start(program, arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return -1;
    }
    if (output)
        *output = process.readAllStandardOutput() + process.readAllStandardError();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
}

// The activation file as the bus reads it: a private bus started with the
// test's data folder starts the registered program, once per client, from a
// folder whose name needs quoting: a blank, an apostrophe, a backslash and a
// line feed.
TEST_F(RegistrationTest, bus_starts_one_instance_per_client_from_the_activation_file)
{
    const QString folder = m_home.path() + "/bin folder/it's a\\b\nc";
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString program = folder + "/tessra-test";
    ASSERT_TRUE(QFile::copy(TESSRA_BINARY_DIR "/bin/control_test_server", program));
    const QString dataHome = m_home.path();

    QByteArray output;
    ASSERT_EQ(runWithDataHome(program, { "/RegServer" }, dataHome, &output), 0);
    EXPECT_EQ(output, "Tessra registered as automation server.\n");
    EXPECT_TRUE(fileText().contains(
        "Exec='" + m_home.path() + "/bin folder/it'\\\\''s a\\\\b\\nc/tessra-test' /embedding"));

    EXPECT_EQ(
        runWithDataHome("dbus-run-session",
            { "--", "/usr/bin/python3", TESSRA_SOURCE_DIR "/tests/control/activation_client.py" },
            dataHome, &output),
        0)
        << output.toStdString();

    EXPECT_EQ(runWithDataHome(program, { "-unregserver" }, dataHome, &output), 0);
    EXPECT_EQ(output, "Tessra unregistered as automation server.\n");
    EXPECT_FALSE(QFile::exists(registration::activationFilePath()));
}

} // namespace
} // namespace tessra
