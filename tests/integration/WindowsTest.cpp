// The program's windows together: created in order, the New command with the real
// dialog, the help and about commands, and the one error display.
#include "IntegrationSupport.h"

#include "HelpPages.h"
#include "TdNew.h"
#include "TfAboutModel.h"
#include "TfAboutTool.h"
#include "TfDebug.h"
#include "TfInspect.h"
#include "TfStop.h"
#include "TfTimeSeries.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

namespace tessra {
namespace {

using test::waitUntil;
using test::whenModalShows;

class WindowsTest : public test::ProgramTest { };

TEST_F(WindowsTest, eight_windows_exist_in_creation_order_and_only_the_main_one_shows)
{
    QStringList classes;
    for (QWidget* window : windows().all()) {
        ASSERT_NE(window, nullptr);
        EXPECT_TRUE(window->isWindow()) << window->metaObject()->className();
        classes << QString::fromLatin1(window->metaObject()->className());
    }
    EXPECT_EQ(classes.join(' '),
        "tessra::TfMain tessra::TdNew tessra::TfInspect tessra::TfTimeSeries "
        "tessra::TfAboutModel tessra::TfAboutTool tessra::TfDebug tessra::TfStop");
    EXPECT_TRUE(main().isVisible());
    for (QWidget* window : windows().all().mid(1))
        EXPECT_FALSE(window->isVisible()) << window->metaObject()->className();
    // The views of the core's debug log and New Simulation values are the ones created here.
    EXPECT_EQ(&windows().debugLog(), windows().all().at(6));
    EXPECT_EQ(&windows().newSimulationDialog(), windows().all().at(1));
    EXPECT_FALSE(m_core.newSimulationCandidates().isOpen());
}

TEST_F(WindowsTest, new_with_ok_builds_the_world_from_the_changed_value)
{
    ASSERT_TRUE(frontEnd().sbStepClick());
    ASSERT_TRUE(frontEnd().Run1Click()); // New pauses first
    bool showingInside = false;
    whenModalShows([&](QWidget* modal) {
        auto* dialog = qobject_cast<TdNew*>(modal);
        ASSERT_NE(dialog, nullptr);
        showingInside = m_core.newSimulationCandidates().isOpen() && !frontEnd().isRunning();
        auto* grid = dialog->findChild<QTableWidget*>(QStringLiteral("sgParams"));
        ASSERT_EQ(grid->item(2, 0)->text(), "Density");
        grid->item(2, 1)->setText(QStringLiteral("0"));
        dialog->findChild<QPushButton*>(QStringLiteral("OKBtn"))->click();
    });
    trigger("New1");

    EXPECT_TRUE(showingInside);
    EXPECT_FALSE(m_core.newSimulationCandidates().isOpen());
    EXPECT_EQ(model().paramValue(2), 0.0);
    EXPECT_EQ(model().simTime(), 0.0);
    EXPECT_EQ(frontEnd().statusText(), "Ready");
    int alive = 0;
    for (int column = 0; column < model().worldWidth(); ++column) {
        for (int row = 0; row < model().worldHeight(); ++row)
            alive += model().stateValue(column, row, 0) != 0 ? 1 : 0;
    }
    EXPECT_EQ(alive, 0); // density 0: an empty world
}

TEST_F(WindowsTest, new_with_cancel_keeps_the_world_and_the_run_paused)
{
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(frontEnd().sbStepClick());
    ASSERT_TRUE(frontEnd().Run1Click());
    ASSERT_TRUE(waitUntil([&] { return model().simTime() >= 5; }));
    whenModalShows([](QWidget* modal) {
        auto* grid = modal->findChild<QTableWidget*>(QStringLiteral("sgParams"));
        grid->item(2, 1)->setText(QStringLiteral("0.9"));
        modal->findChild<QPushButton*>(QStringLiteral("CancelBtn"))->click();
    });
    trigger("New1");

    const double time = model().simTime();
    EXPECT_GE(time, 5);
    EXPECT_FALSE(frontEnd().isRunning());
    EXPECT_EQ(frontEnd().statusText(), "Paused");
    EXPECT_DOUBLE_EQ(model().paramValue(2), 0.3);
    QCoreApplication::processEvents();
    EXPECT_EQ(model().simTime(), time);
}

TEST_F(WindowsTest, help_commands_open_the_program_and_model_pages)
{
    test::OpenedDocuments opened;
    trigger("mProgramHelp");
    trigger("mModelHelp");
    ASSERT_EQ(opened.urls.size(), 2u);
    EXPECT_EQ(opened.urls[0].toLocalFile(),
        QDir(QCoreApplication::applicationDirPath()).filePath("help/index.html"));
    EXPECT_EQ(opened.urls[1].toLocalFile(), m_folder.file("help/index.html"));
    EXPECT_TRUE(QFileInfo::exists(opened.urls[0].toLocalFile()));

    // Another model from another folder: its own help page.
    ASSERT_TRUE(frontEnd().loadModelFile(QString::fromStdString(test::exampleModel("grayscott"))));
    trigger("mModelHelp");
    ASSERT_EQ(opened.urls.size(), 3u);
    EXPECT_EQ(opened.urls[2].toLocalFile(),
        QDir(QString::fromStdString(test::exampleFolder("grayscott")))
            .absoluteFilePath("help/index.html"));
    EXPECT_TRUE(m_dialogs.messages.empty());

    const MainActions& actions = main().actions();
    EXPECT_EQ(actions.programHelp->shortcut(), QKeySequence(Qt::Key_F1));
    EXPECT_EQ(actions.modelHelp->shortcut(), QKeySequence(Qt::SHIFT | Qt::Key_F1));
    EXPECT_EQ(actions.modelHelp->text(), "Gray-Scott Help");
}

TEST_F(WindowsTest, help_button_of_the_new_dialog_opens_its_page)
{
    test::OpenedDocuments opened;
    whenModalShows([](QWidget* modal) {
        modal->findChild<QPushButton*>(QStringLiteral("HelpBtn"))->click();
        modal->findChild<QPushButton*>(QStringLiteral("CancelBtn"))->click();
    });
    trigger("New1");
    ASSERT_EQ(opened.urls.size(), 1u);
    EXPECT_EQ(opened.urls[0].toLocalFile(),
        QDir(QCoreApplication::applicationDirPath()).filePath("help/new.html"));
}

TEST_F(WindowsTest, failures_of_every_window_go_to_the_one_error_display)
{
    test::OpenedDocuments opened;
    opened.accept = false; // the desktop refuses every page
    trigger("mProgramHelp");
    whenModalShows([](QWidget* modal) {
        modal->findChild<QPushButton*>(QStringLiteral("HelpBtn"))->click();
        modal->findChild<QPushButton*>(QStringLiteral("CancelBtn"))->click();
    });
    trigger("New1");
    ASSERT_TRUE(waitUntil([&] { return m_dialogs.messages.size() == 2; }));
    const QString programHelp
        = QDir(QCoreApplication::applicationDirPath()).filePath("help/index.html");
    const QString newHelp = QDir(QCoreApplication::applicationDirPath()).filePath("help/new.html");
    EXPECT_EQ(m_dialogs.messages[0].text, "Cannot open file\n" + programHelp + ".");
    EXPECT_EQ(m_dialogs.messages[1].text, "Cannot open file\n" + newHelp + ".");
    for (const auto& message : m_dialogs.messages) {
        EXPECT_EQ(message.caption, "Tessra: Life");
        EXPECT_EQ(message.icon, QMessageBox::Critical);
    }
}

TEST_F(WindowsTest, about_windows_describe_the_program_and_the_loaded_model)
{
    QString apiLine;
    whenModalShows([&](QWidget* modal) {
        apiLine = modal->findChild<QLabel*>(QStringLiteral("lApiVersion"))->text();
        static_cast<QDialog*>(modal)->accept();
    });
    trigger("mAboutTool");
    EXPECT_EQ(apiLine, "API Version " + QString::fromStdString(model().apiVersion()));
    EXPECT_NE(QString::fromStdString(model().apiVersion()), "");

    QString caption;
    QString nameLine;
    whenModalShows([&](QWidget* modal) {
        caption = modal->windowTitle();
        nameLine = modal->findChild<QLabel*>(QStringLiteral("lName"))->text();
        static_cast<QDialog*>(modal)->accept();
    });
    trigger("mAboutModel");
    EXPECT_EQ(caption, "About the Model");
    EXPECT_TRUE(nameLine.startsWith("Life")) << nameLine.toStdString();
    EXPECT_EQ(main().actions().aboutModel->text(), "About Life");
}

TEST_F(WindowsTest, stop_conditions_item_shows_the_dialog_and_mirrors_the_switch)
{
    QAction* item = main().actions().stopConditions;
    EXPECT_EQ(item->text(), "Stop &Conditions...");
    EXPECT_FALSE(item->isChecked());
    trigger("mStopConditions");
    EXPECT_TRUE(windows().stopConditions().isVisible());
    EXPECT_FALSE(item->isChecked()); // showing is no switch

    m_core.stopConditions().setEnabled(true);
    EXPECT_TRUE(item->isChecked());
    trigger("mStopConditions"); // already shown: stays shown, mark stays
    EXPECT_TRUE(windows().stopConditions().isVisible());
    EXPECT_TRUE(item->isChecked());

    // A model load hides the dialog and brings it back.
    ASSERT_TRUE(frontEnd().loadModelFile(m_folder.file("model.so")));
    EXPECT_TRUE(windows().stopConditions().isVisible());
    windows().stopConditions().close();
    EXPECT_FALSE(windows().stopConditions().isVisible());
    EXPECT_TRUE(item->isChecked());
}

TEST_F(WindowsTest, debug_log_shows_itself_when_written)
{
    TfDebug& log = windows().debugLog();
    m_core.debugLog().write("first line\nsecond line");
    EXPECT_TRUE(log.isVisible());
    EXPECT_EQ(m_core.debugLog().lines(), (QStringList { "first line", "second line" }));
    EXPECT_EQ(log.memo()->toPlainText(), QStringLiteral("first line\nsecond line\n"));
    log.close();
    EXPECT_FALSE(log.isVisible());
    ASSERT_TRUE(frontEnd().loadModelFile(m_folder.file("model.so")));
    EXPECT_EQ(m_core.debugLog().lines().size(), 2); // loading a model keeps the text
}

TEST_F(WindowsTest, plain_keys_typed_in_tool_windows_stay_there)
{
    TfStop& stop = windows().stopConditions();
    m_core.stopConditions().setEnabled(true); // the inputs take keys
    trigger("mStopConditions");
    stop.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&stop));
    auto* value = stop.findChild<QLineEdit*>(QStringLiteral("feValue"));
    value->setFocus();
    value->setText(QStringLiteral("12"));
    QTest::keyClick(value, Qt::Key_Return); // commits the value, steps nothing
    EXPECT_EQ(value->text(), "12.000000");
    EXPECT_EQ(model().simTime(), 0);

    TfInspect& inspector = windows().inspector();
    trigger("Inspect1");
    inspector.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&inspector));
    QTest::keyClick(inspector.focusWidget() ? inspector.focusWidget() : &inspector, Qt::Key_T);
    EXPECT_FALSE(windows().timeSeries().isVisible());

    // Help stays at hand everywhere.
    test::OpenedDocuments opened;
    QTest::keyClick(value, Qt::Key_F1);
    EXPECT_EQ(opened.urls.size(), 1u);

    // In the main window the same keys are its commands.
    main().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&main()));
    QTest::keyClick(&main(), Qt::Key_Return);
    EXPECT_EQ(model().simTime(), 1);
}

} // namespace
} // namespace tessra
