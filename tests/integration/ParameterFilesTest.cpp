// Load Parameters, Save Parameters and Save Parameters As through the main window's
// commands, with real settings files and the Life model.
#include "IntegrationSupport.h"

#include "CommandError.h"
#include "OrdinaryUser.h"
#include "SeriesTable.h"

#include <QFileDialog>
#include <QLineEdit>

#include <sys/stat.h>

namespace tessra {
namespace {

using test::waitUntil;

class ParameterFilesTest : public test::ProgramTest { };

TEST_F(ParameterFilesTest, save_without_a_file_asks_like_save_as_and_cancel_writes_nothing)
{
    EXPECT_EQ(frontEnd().currentParameterFile(), "");
    EXPECT_EQ(main().windowTitle(), "Tessra: Life");
    const QByteArray defaults = m_folder.read("default.ini");
    ASSERT_TRUE(frontEnd().Run1Click());

    trigger("Save1"); // the dialog answers Cancel
    EXPECT_FALSE(frontEnd().isRunning()); // paused first
    ASSERT_EQ(m_dialogs.saveQuestions.size(), 1u);
    EXPECT_EQ(m_dialogs.saveQuestions[0].first, m_folder.path() + "/"); // the model's folder
    EXPECT_EQ(m_dialogs.saveQuestions[0].second, "");
    EXPECT_EQ(frontEnd().currentParameterFile(), "");
    EXPECT_EQ(main().windowTitle(), "Tessra: Life");
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::Files).join(' '), "default.ini model.so");
    EXPECT_EQ(m_folder.read("default.ini"), defaults);
    EXPECT_TRUE(m_dialogs.messages.empty());
}

TEST_F(ParameterFilesTest, load_from_another_folder_then_save_writes_back_to_that_file)
{
    m_folder.write("other/x.ini",
        "; kept comment\n"
        "[Notes]\n"
        "Author=someone\n"
        "\n"
        "[Parameters]\n"
        "Width=40\n"
        "Height=30\n"
        "Density=0.5\n"
        "Seed=7\n"
        "\n"
        "[Time Series]\n"
        "Count=1\n"
        "0=Average Alive\n");
    const QString file = m_folder.file("other/x.ini");
    m_dialogs.filesToLoad.push_back(file);
    ASSERT_TRUE(frontEnd().Run1Click());
    trigger("Load1");

    EXPECT_FALSE(frontEnd().isRunning());
    EXPECT_EQ(m_dialogs.loadFolders.at(0), m_folder.path() + "/"); // the model's folder
    EXPECT_EQ(main().windowTitle(), "Tessra: Life - x.ini");
    EXPECT_EQ(frontEnd().applicationTitle(), "Tessra: Life - x.ini");
    EXPECT_EQ(frontEnd().currentParameterFile(), file);
    EXPECT_EQ(model().worldWidth(), 40);
    EXPECT_EQ(model().worldHeight(), 30);
    EXPECT_EQ(m_core.recorder().table().labels(), QStringList { "Average Alive" });
    EXPECT_EQ(frontEnd().statusText(), "Ready");

    // Change what is saved: a parameter and the series.
    model().setParamValue(2, "0.25");
    m_core.recorder().table().addSeries(SeriesTable::operationNames().indexOf("Maximum"), 1);
    trigger("Save1");
    EXPECT_EQ(m_dialogs.saveQuestions.size(), 0u); // no dialog: the file is known
    EXPECT_EQ(main().windowTitle(), "Tessra: Life - x.ini");
    const QString text = QString::fromUtf8(m_folder.read("other/x.ini"));
    EXPECT_TRUE(text.contains("; kept comment")) << text.toStdString();
    EXPECT_TRUE(text.contains("[Notes]") && text.contains("Author=someone")) << text.toStdString();
    EXPECT_TRUE(text.contains("Density=0.25")) << text.toStdString();
    EXPECT_TRUE(text.contains("Width=40")) << text.toStdString();
    EXPECT_TRUE(text.contains("Count=2\n0=Average Alive\n1=Maximum Age")) << text.toStdString();
    EXPECT_LT(text.indexOf("[Parameters]"), text.indexOf("[Time Series]"));
    EXPECT_TRUE(m_dialogs.messages.empty());

    // The next start of the dialog opens beside the file.
    trigger("Load1"); // cancelled
    EXPECT_EQ(m_dialogs.loadFolders.at(1), m_folder.file("other"));
    EXPECT_EQ(frontEnd().currentParameterFile(), file);
}

TEST_F(ParameterFilesTest, save_as_names_the_file_then_save_needs_no_dialog)
{
    const QString file = m_folder.file("mine.ini");
    m_dialogs.filesToSave.push_back(file);
    trigger("SaveAs1");
    EXPECT_EQ(frontEnd().currentParameterFile(), file);
    EXPECT_EQ(main().windowTitle(), "Tessra: Life - mine.ini");
    const QString written = QString::fromUtf8(m_folder.read("mine.ini"));
    EXPECT_TRUE(written.contains("[Parameters]")) << written.toStdString();
    EXPECT_TRUE(written.contains("Density=0.3")) << written.toStdString();
    EXPECT_TRUE(written.contains("[Time Series]\nCount=0")) << written.toStdString();

    // Save As again preselects the current file; an existing file is taken without asking.
    m_dialogs.filesToSave.push_back(file);
    model().setParamValue(3, "42");
    trigger("SaveAs1");
    EXPECT_EQ(m_dialogs.saveQuestions.back().first, m_folder.path());
    EXPECT_EQ(m_dialogs.saveQuestions.back().second, "mine.ini");
    EXPECT_TRUE(QString::fromUtf8(m_folder.read("mine.ini")).contains("Seed=42"));

    model().setParamValue(3, "43");
    trigger("Save1");
    EXPECT_EQ(m_dialogs.saveQuestions.size(), 2u);
    EXPECT_TRUE(QString::fromUtf8(m_folder.read("mine.ini")).contains("Seed=43"));

    // The saved file reads back into a new simulation.
    model().setParamValue(3, "1");
    m_dialogs.filesToLoad.push_back(file);
    trigger("Load1");
    EXPECT_EQ(model().paramValue(3), 43);
}

TEST_F(ParameterFilesTest, loading_a_model_clears_the_parameter_file)
{
    const QString file = m_folder.file("mine.ini");
    m_dialogs.filesToSave.push_back(file);
    trigger("SaveAs1");
    ASSERT_EQ(frontEnd().currentParameterFile(), file);

    m_dialogs.modelFiles.push_back(m_folder.file("model.so"));
    trigger("mLoadModel");
    EXPECT_EQ(frontEnd().currentParameterFile(), "");
    EXPECT_EQ(main().windowTitle(), "Tessra: Life");
    trigger("Save1"); // asks again; cancelled
    EXPECT_EQ(m_dialogs.saveQuestions.size(), 2u);
    EXPECT_EQ(frontEnd().currentParameterFile(), "");
}

TEST_F(ParameterFilesTest, operations_refuse_what_they_cannot_do_without_changing_anything)
{
    EXPECT_THROW(frontEnd().saveParameters(), CommandError); // no file named
    EXPECT_THROW(frontEnd().saveParametersAs(QString()), CommandError);
    EXPECT_THROW(frontEnd().loadParameters(QString()), CommandError);
    EXPECT_EQ(main().windowTitle(), "Tessra: Life");

    // A file that cannot be written: the user hears of it, and the title does not
    // name a file that was never written.
    m_dialogs.filesToSave.push_back(m_folder.file("missing/folder/x.ini"));
    trigger("SaveAs1");
    ASSERT_EQ(m_dialogs.messages.size(), 1u);
    EXPECT_EQ(m_dialogs.messages[0].text,
        "Error opening .ini file in saveTimeSeries(): cannot write \""
            + m_folder.file("missing/folder/x.ini") + "\": its folder does not exist.");
    EXPECT_EQ(m_dialogs.messages[0].caption, "Tessra: Life");
    EXPECT_EQ(main().windowTitle(), "Tessra: Life");
    EXPECT_EQ(frontEnd().currentParameterFile(), "");
}

TEST_F(ParameterFilesTest, files_the_user_may_not_write_are_refused_and_the_title_keeps_its_file)
{
    const QByteArray mine = "; Run 3 used a higher density\n[Parameters]\nWidth=40\nHeight=30\n"
                            "\n[Time Series]\nCount=1\n0=Average Alive\n";
    m_folder.write("x.ini", mine);
    m_dialogs.filesToLoad.push_back(m_folder.file("x.ini"));
    trigger("Load1");
    ASSERT_EQ(main().windowTitle(), "Tessra: Life - x.ini");
    const QByteArray theirs = "[Parameters]\nWidth=10\n";
    m_folder.write("theirs.ini", theirs);
    // A folder the user may write, holding files the user may not.
    for (const char* name : { "", "x.ini", "theirs.ini" })
        ::chmod(QFile::encodeName(m_folder.file(name)).constData(), *name ? 0444 : 0777);
    model().setParamValue(2, "0.25");
    m_core.recorder().table().addSeries(SeriesTable::operationNames().indexOf("Maximum"), 1);

    const auto run = [this](const char* action) {
        main().findChild<QAction*>(QLatin1String(action))->trigger();
    };
    const std::optional<std::string> seen = test::asOrdinaryUser([&] {
        m_dialogs.filesToSave.push_back(m_folder.file("theirs.ini"));
        run("SaveAs1");
        run("Save1");
        std::string lines;
        for (const auto& message : m_dialogs.messages)
            lines += message.caption.toStdString() + ": " + message.text.toStdString() + "\n";
        return lines + main().windowTitle().toStdString() + "\n"
            + frontEnd().currentParameterFile().toStdString() + "\n";
    });
    ASSERT_TRUE(seen);
    const auto refusal = [&](const char* name) {
        return "Tessra: Life - x.ini: Error opening .ini file in saveTimeSeries(): cannot write \""
            + m_folder.file(name).toStdString()
            + "\": the file is read-only for this user (permission denied).\n";
    };
    EXPECT_EQ(*seen,
        refusal("theirs.ini") + refusal("x.ini") + "Tessra: Life - x.ini\n"
            + m_folder.file("x.ini").toStdString() + "\n");
    EXPECT_EQ(m_folder.read("x.ini"), mine);
    EXPECT_EQ(m_folder.read("theirs.ini"), theirs);
    EXPECT_EQ(QDir(m_folder.path()).entryList(QDir::Files | QDir::Hidden).join(' '),
        "default.ini model.so theirs.ini x.ini");
}

TEST_F(ParameterFilesTest, load_parameters_refuses_folders_and_fifos_unopened)
{
    const QString folder = m_folder.file("folder.ini");
    const QString fifo = m_folder.file("fifo.ini");
    ASSERT_TRUE(QDir().mkdir(folder));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0666), 0);
    model().setParamValue(0, "64");
    m_dialogs.filesToLoad = { folder, fifo };
    trigger("Load1");
    trigger("Load1"); // a FIFO opened for reading would wait for a writer
    ASSERT_EQ(m_dialogs.messages.size(), 2u);
    EXPECT_EQ(m_dialogs.messages[0].text,
        "Cannot read the settings file \"" + folder + "\": it is a folder, not a settings file.");
    EXPECT_EQ(m_dialogs.messages[1].text,
        "Cannot read the settings file \"" + fifo
            + "\": it is a FIFO (named pipe), not a settings file.");
    EXPECT_EQ(main().windowTitle(), "Tessra: Life");
    EXPECT_EQ(frontEnd().currentParameterFile(), "");
    EXPECT_EQ(model().paramValue(0), 64); // no new simulation
}

struct FileDialogSeen {
    QString title;
    QStringList filters;
    QString suffix;
    bool existingOnly = false;
    bool asksBeforeOverwrite = true;
    bool refusedMissing = false;
};

/// Answers the next file dialog by typing `name`; notes what it looked like.
void typeIntoFileDialog(const QString& name, FileDialogSeen* seen)
{
    test::whenModalShows([name, seen](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        seen->title = dialog->windowTitle();
        seen->filters = dialog->nameFilters();
        seen->suffix = dialog->defaultSuffix();
        seen->existingOnly = dialog->fileMode() == QFileDialog::ExistingFile;
        seen->asksBeforeOverwrite = !dialog->testOption(QFileDialog::DontConfirmOverwrite);
        auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (seen->existingOnly) { // a name that does not exist is refused first
            test::whenModalShows([](QWidget* warning) { warning->close(); });
            edit->setText(QStringLiteral("missing.ini"));
            static_cast<QDialog*>(dialog)->accept();
            seen->refusedMissing = dialog->isVisible();
        }
        edit->setText(name);
        static_cast<QDialog*>(dialog)->accept();
    });
}

TEST_F(ParameterFilesTest, file_dialogs_show_settings_files_and_add_the_suffix)
{
    Dialogs dialogs; // the real ones
    const QStringList filters { "Configuration Settings (*.ini *.INI)", "All Files (*)" };

    FileDialogSeen save;
    typeIntoFileDialog(QStringLiteral("fresh"), &save);
    EXPECT_EQ(dialogs.chooseParameterFileToSave(&main(), m_folder.path(), QString()),
        m_folder.file("fresh.ini"));
    EXPECT_EQ(save.title, "Save Parameters");
    EXPECT_EQ(save.filters, filters);
    EXPECT_EQ(save.suffix, "ini");
    EXPECT_FALSE(save.asksBeforeOverwrite);

    FileDialogSeen existing;
    typeIntoFileDialog(QStringLiteral("default.ini"), &existing);
    EXPECT_EQ(dialogs.chooseParameterFileToSave(&main(), m_folder.path(), "default.ini"),
        m_folder.file("default.ini")); // taken without a question

    FileDialogSeen load;
    typeIntoFileDialog(QStringLiteral("default"), &load);
    EXPECT_EQ(
        dialogs.chooseParameterFileToLoad(&main(), m_folder.path()), m_folder.file("default.ini"));
    EXPECT_EQ(load.title, "Load Parameters");
    EXPECT_EQ(load.filters, filters);
    EXPECT_TRUE(load.existingOnly);
    EXPECT_TRUE(load.refusedMissing);
}

} // namespace
} // namespace tessra
