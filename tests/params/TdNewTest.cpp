#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QSplitter>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <gtest/gtest.h>

#include "Beep.h"
#include "FixtureCallLog.h"
#include "HostShim.h"
#include "ModelApi.h"
#include "ParamGridDelegates.h"
#include "TdNew.h"
#include "TestPaths.h"

namespace tessra {
namespace {

using test::FixtureCallLog;

int countLines(const FixtureCallLog& log, const std::string& prefix)
{
    const std::vector<std::string> lines = log.lines();
    return static_cast<int>(std::count_if(lines.begin(), lines.end(),
        [&](const std::string& line) { return line.rfind(prefix, 0) == 0; }));
}

/// The dialog over the calllog fixture (0 Count "Count <b>n</b>", whole 0..100,
/// 13 refused; 1 Rate 0..1), values reset to 1 and 0.5, beeps counted.
class TdNewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QSettings(QStringLiteral("Tessra"), QStringLiteral("Tessra"))
            .remove(QStringLiteral("dNew"));
        m_previousBeep = setBeepHandler([this] { ++m_beeps; });
        loadModel(test::fixtureModel("calllog"));
        m_model.setParamValue(0, "1");
        m_model.setParamValue(1, "0.5");
        m_log.reset();
    }

    void TearDown() override
    {
        test::setDialogCandidates(nullptr);
        setBeepHandler(m_previousBeep);
    }

    void loadModel(const std::string& path)
    {
        m_model.loadModel(path);
        ASSERT_TRUE(m_model.isLoaded()) << m_model.loadModelError().value_or("");
    }

    /// Shows the dialog without blocking, as execute() would, and waits until
    /// it has the focus.
    void show(TdNew& dialog)
    {
        test::setDialogCandidates(&m_candidates);
        dialog.open();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
        QCoreApplication::processEvents();
    }

    static QTableWidget* grid(TdNew& dialog)
    {
        return dialog.findChild<QTableWidget*>(QStringLiteral("sgParams"));
    }
    static QPushButton* button(TdNew& dialog, const char* name)
    {
        return dialog.findChild<QPushButton*>(QLatin1String(name));
    }
    static QString memo(TdNew& dialog)
    {
        return dialog.findChild<QPlainTextEdit*>(QStringLiteral("mAboutParam"))->toPlainText();
    }
    static QString aboutLabel(TdNew& dialog)
    {
        return dialog.findChild<QLabel*>(QStringLiteral("lAboutParam"))->text();
    }
    /// The value editor that has the focus.
    static QLineEdit* cellEditor()
    {
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        EXPECT_NE(editor, nullptr) << "no cell editor has the focus";
        return editor;
    }

    ModelApi m_model;
    NewSimulationCandidates m_candidates { m_model };
    FixtureCallLog m_log { test::fixtureModel("calllog") };
    int m_beeps = 0;
    std::function<void()> m_previousBeep;
};

TEST_F(TdNewTest, shows_every_parameter_and_describes_the_first_value_cell)
{
    TdNew dialog(m_candidates);
    EXPECT_FALSE(m_candidates.isOpen());
    show(dialog);

    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("New Simulation"));
    EXPECT_TRUE(dialog.isModal());
    EXPECT_TRUE(m_candidates.isOpen());
    QTableWidget* sgParams = grid(dialog);
    ASSERT_NE(sgParams, nullptr);
    EXPECT_EQ(sgParams->horizontalHeaderItem(0)->text(), QStringLiteral("Name"));
    EXPECT_EQ(sgParams->horizontalHeaderItem(1)->text(), QStringLiteral("Value"));
    ASSERT_EQ(sgParams->rowCount(), 2);
    EXPECT_EQ(sgParams->item(0, 0)->text(), QStringLiteral("Count <b>n</b>"));
    EXPECT_EQ(sgParams->item(0, 1)->text(), QStringLiteral("1"));
    EXPECT_EQ(sgParams->item(1, 0)->text(), QStringLiteral("Rate"));
    EXPECT_EQ(sgParams->item(1, 1)->text(), QStringLiteral("0.5"));
    for (const char* name :
        { "PageControl1", "lAboutParam", "mAboutParam", "OKBtn", "CancelBtn", "HelpBtn" })
        EXPECT_NE(dialog.findChild<QWidget*>(QLatin1String(name)), nullptr) << name;

    // The editor sits on the first value cell, which was described once.
    QLineEdit* editor = cellEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("1"));
    EXPECT_EQ(sgParams->currentRow(), 0);
    EXPECT_EQ(sgParams->currentColumn(), 1);
    EXPECT_EQ(countLines(m_log, "aboutParam 0 1 0.5 dnew 1 1 0.5"), 1) << m_log.text();
    EXPECT_EQ(aboutLabel(dialog), QStringLiteral("Count <b>n</b>"));
    EXPECT_EQ(memo(dialog), QStringLiteral("about Count with Count 1 and Rate 0.5"));
    dialog.reject();
}

TEST_F(TdNewTest, the_dialog_shows_the_candidates_and_its_edits_go_through_them)
{
    TdNew dialog(m_candidates);
    show(dialog);
    // A change in the candidates shows in the dialog.
    ASSERT_TRUE(m_candidates.commit(1, QStringLiteral("0.25")));
    EXPECT_EQ(grid(dialog)->item(1, 1)->text(), QStringLiteral("0.25"));
    m_candidates.describe(1, QStringLiteral("0.75"));
    EXPECT_EQ(aboutLabel(dialog), QStringLiteral("Rate"));
    EXPECT_EQ(memo(dialog), QStringLiteral("about Rate with Count 1 and Rate 0.75"));

    // An edit in the dialog goes through them.
    QLineEdit* editor = cellEditor();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("7"));
    EXPECT_EQ(m_candidates.candidateValue(0), 7.0);
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(m_candidates.rows().value(0).valueText, QStringLiteral("7"));

    // Closed from the candidates' side: the dialog goes and writes nothing.
    m_candidates.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(m_model.paramValue(0), 1.0);
}

TEST_F(TdNewTest, typing_one_two_x_describes_three_times_and_leaving_reverts_with_one_beep)
{
    TdNew dialog(m_candidates);
    show(dialog);
    m_log.reset();
    QLineEdit* editor = cellEditor();
    ASSERT_NE(editor, nullptr);

    QTest::keyClicks(editor, QStringLiteral("12x"));
    EXPECT_EQ(countLines(m_log, "aboutParam"), 3) << m_log.text();
    // Judged against the previous candidate, described with the new one.
    EXPECT_EQ(countLines(m_log, "validateParam 0 12 dnew 1 1 0.5"), 1) << m_log.text();
    // The refused 12x is described with the candidate 12 as well.
    EXPECT_EQ(countLines(m_log, "aboutParam 0 12 0.5 dnew 1 12 0.5"), 2) << m_log.text();
    EXPECT_EQ(m_candidates.candidateValue(0), 12.0);
    EXPECT_EQ(editor->text(), QStringLiteral("12x"));
    EXPECT_EQ(memo(dialog), QStringLiteral("about Count with Count 12 and Rate 0.5"));
    EXPECT_EQ(m_beeps, 0);

    QTest::keyClick(editor, Qt::Key_Tab); // leave the cell
    EXPECT_EQ(m_beeps, 1);
    EXPECT_EQ(grid(dialog)->item(0, 1)->text(), QStringLiteral("1"));
    EXPECT_EQ(grid(dialog)->currentRow(), 1);
    EXPECT_EQ(grid(dialog)->currentColumn(), 1);
    dialog.reject();
    EXPECT_EQ(m_beeps, 1);
}

TEST_F(TdNewTest, enter_with_an_acceptable_value_moves_the_focus_to_ok_without_closing)
{
    TdNew dialog(m_candidates);
    show(dialog);
    QLineEdit* editor = cellEditor();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("7"));
    QTest::keyClick(editor, Qt::Key_Return);

    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), button(dialog, "OKBtn"));
    EXPECT_EQ(grid(dialog)->item(0, 1)->text(), QStringLiteral("7"));
    EXPECT_EQ(m_beeps, 0);
    EXPECT_EQ(m_model.paramValue(0), 1.0) << "nothing is written before OK";
    // Leaving the grid empties the description; the label stays.
    EXPECT_EQ(memo(dialog), QString());
    EXPECT_EQ(aboutLabel(dialog), QStringLiteral("Count <b>n</b>"));

    QTest::keyClick(button(dialog, "OKBtn"), Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(m_model.paramValue(0), 7.0);
    EXPECT_EQ(m_model.paramValue(1), 0.5);
}

TEST_F(TdNewTest, enter_with_a_refused_value_beeps_reverts_and_keeps_the_focus)
{
    TdNew dialog(m_candidates);
    show(dialog);
    QLineEdit* editor = cellEditor();
    ASSERT_NE(editor, nullptr);
    QTest::keyClicks(editor, QStringLiteral("13"));
    QTest::keyClick(editor, Qt::Key_Enter);

    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(m_beeps, 1);
    EXPECT_EQ(QApplication::focusWidget(), editor);
    EXPECT_EQ(editor->text(), QStringLiteral("1"));
    EXPECT_EQ(grid(dialog)->item(0, 1)->text(), QStringLiteral("1"));
    dialog.reject();
}

TEST_F(TdNewTest, ok_writes_every_value_and_releases_the_candidates)
{
    TdNew dialog(m_candidates);
    show(dialog);
    QTest::keyClicks(cellEditor(), QStringLiteral("9"));
    QTest::keyClick(cellEditor(), Qt::Key_Tab);
    QTest::keyClicks(cellEditor(), QStringLiteral("0.25"));
    QTest::mouseClick(button(dialog, "OKBtn"), Qt::LeftButton);

    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(m_model.paramValue(0), 9.0);
    EXPECT_EQ(m_model.paramValue(1), 0.25);
    EXPECT_FALSE(m_candidates.isOpen());
    EXPECT_EQ(m_candidates.candidateValue(1), 0.25); // closed: the model's value
    EXPECT_EQ(memo(dialog), QString());
}

TEST_F(TdNewTest, cancel_after_edits_changes_nothing_and_the_next_showing_reads_the_model_again)
{
    TdNew dialog(m_candidates);
    show(dialog);
    QTest::keyClicks(cellEditor(), QStringLiteral("9"));
    QTest::keyClick(cellEditor(), Qt::Key_Tab);
    QTest::keyClicks(cellEditor(), QStringLiteral("0.25"));
    QTest::mouseClick(button(dialog, "CancelBtn"), Qt::LeftButton);

    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(m_model.paramValue(0), 1.0);
    EXPECT_EQ(m_model.paramValue(1), 0.5);
    EXPECT_FALSE(m_candidates.isOpen());

    show(dialog);
    EXPECT_EQ(grid(dialog)->item(0, 1)->text(), QStringLiteral("1"));
    EXPECT_EQ(grid(dialog)->item(1, 1)->text(), QStringLiteral("0.5"));
    EXPECT_EQ(m_candidates.candidateValue(0), 1.0);
    EXPECT_EQ(m_candidates.candidateValue(1), 0.5);
    // Esc in the editor cancels as well, without a beep for the text typed.
    QTest::keyClicks(cellEditor(), QStringLiteral("13"));
    QTest::keyClick(cellEditor(), Qt::Key_Escape);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(m_model.paramValue(0), 1.0);
    EXPECT_EQ(m_beeps, 0);
}

TEST_F(TdNewTest, execute_answers_true_only_for_ok)
{
    TdNew dialog(m_candidates);
    test::setDialogCandidates(&m_candidates);
    QTimer::singleShot(0, &dialog, [&dialog] { button(dialog, "OKBtn")->click(); });
    EXPECT_TRUE(dialog.execute());
    QTimer::singleShot(0, &dialog, [&dialog] { button(dialog, "CancelBtn")->click(); });
    EXPECT_FALSE(dialog.execute());
}

TEST_F(TdNewTest, the_name_column_is_never_current_and_tab_moves_between_values)
{
    TdNew dialog(m_candidates);
    show(dialog);
    QTableWidget* sgParams = grid(dialog);
    QTest::keyClick(cellEditor(), Qt::Key_Tab);
    EXPECT_EQ(sgParams->currentRow(), 1);
    EXPECT_EQ(sgParams->currentColumn(), 1);
    EXPECT_EQ(cellEditor()->text(), QStringLiteral("0.5"));
    EXPECT_EQ(aboutLabel(dialog), QStringLiteral("Rate"));
    EXPECT_FALSE(sgParams->item(0, 0)->flags() & Qt::ItemIsEditable);
    QTest::keyClick(cellEditor(), Qt::Key_Backtab);
    EXPECT_EQ(sgParams->currentRow(), 0);
    EXPECT_EQ(sgParams->currentColumn(), 1);
    dialog.reject();
}

TEST_F(TdNewTest, moving_to_another_cell_describes_only_the_cell_entered)
{
    TdNew dialog(m_candidates);
    show(dialog);
    QTableWidget* sgParams = grid(dialog);

    m_log.reset();
    QTest::keyClick(cellEditor(), Qt::Key_Down);
    QCoreApplication::processEvents();
    EXPECT_EQ(m_log.lines(),
        (std::vector<std::string> {
            "validateParam 1 0.5 dnew 1 1 0.5", "aboutParam 1 1 0.5 dnew 1 1 0.5" }));
    EXPECT_EQ(aboutLabel(dialog), QStringLiteral("Rate"));

    m_log.reset();
    const QPoint first = sgParams->visualItemRect(sgParams->item(0, 1)).center();
    QTest::mouseClick(sgParams->viewport(), Qt::LeftButton, {}, first);
    QCoreApplication::processEvents();
    EXPECT_EQ(sgParams->currentRow(), 0);
    EXPECT_EQ(countLines(m_log, "aboutParam"), 1) << m_log.text();
    EXPECT_EQ(countLines(m_log, "aboutParam 0 "), 1) << m_log.text();
    ASSERT_NE(cellEditor(), nullptr);
    EXPECT_EQ(cellEditor()->text(), QStringLiteral("1"));
    dialog.reject();
}

TEST_F(TdNewTest, a_model_without_parameters_gives_an_empty_grid_and_ok_still_succeeds)
{
    loadModel(test::fixtureModel("noparams"));
    TdNew dialog(m_candidates);
    show(dialog);
    EXPECT_EQ(grid(dialog)->rowCount(), 0);
    EXPECT_EQ(grid(dialog)->columnCount(), 2);
    EXPECT_TRUE(m_candidates.isOpen());
    EXPECT_EQ(m_candidates.candidateValue(0), 0.0);

    grid(dialog)->setFocus();
    QTest::keyClick(grid(dialog), Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible()) << "Enter in the grid never presses OK";
    EXPECT_EQ(QApplication::focusWidget(), button(dialog, "OKBtn"));
    QTest::keyClick(button(dialog, "OKBtn"), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(TdNewTest, a_text_the_conversion_cannot_read_reports_the_error)
{
    TdNew dialog(m_candidates);
    QStringList reported;
    dialog.setErrorReporter([&](const CommandError& error) { reported.append(error.message()); });
    show(dialog);
    QTest::keyClick(cellEditor(), Qt::Key_Tab);
    QTest::keyClicks(cellEditor(), QStringLiteral("1"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(reported.isEmpty());
    EXPECT_EQ(m_candidates.candidateValue(1), 1.0);
    const QString described = memo(dialog);
    // Both read by one rule: only a front end whose locale is not the model
    // library's can be given a text ("1." here) the library accepts and it
    // cannot read.
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    QTest::keyClicks(cellEditor(), QStringLiteral("."));
    QCoreApplication::processEvents();
    QLocale::setDefault(previous);
    ASSERT_EQ(reported.size(), 1);
    EXPECT_EQ(reported.last(), QStringLiteral("'1.' is not a valid floating point value"));
    EXPECT_EQ(memo(dialog), described);
    EXPECT_EQ(m_candidates.candidateValue(1), 1.0);
    dialog.reject();
}

TEST_F(TdNewTest, help_asks_for_the_dialogs_page_and_reports_its_failure)
{
    TdNew dialog(m_candidates);
    QStringList keys;
    QStringList reported;
    dialog.setHelpHandler([&](const QString& key) {
        keys.append(key);
        throw CommandError(QStringLiteral("Cannot open file\n/nowhere/help/new.html"));
    });
    dialog.setErrorReporter([&](const CommandError& error) { reported.append(error.message()); });
    show(dialog);
    QPushButton* help = button(dialog, "HelpBtn");
    EXPECT_EQ(help->text(), QStringLiteral("&Help"));
    help->click();
    EXPECT_EQ(keys, QStringList { QStringLiteral("dNew") });
    EXPECT_EQ(reported, QStringList { QStringLiteral("Cannot open file\n/nowhere/help/new.html") });
    EXPECT_TRUE(dialog.isVisible());
    dialog.reject();
}

TEST_F(TdNewTest, the_name_column_takes_two_thirds_of_the_grid)
{
    TdNew dialog(m_candidates);
    show(dialog);
    for (int width : { 600, 451 }) {
        dialog.resize(width, 400);
        QCoreApplication::processEvents();
        QTableWidget* sgParams = grid(dialog);
        EXPECT_EQ(sgParams->columnWidth(0), sgParams->viewport()->width() * 2 / 3) << width;
    }
    dialog.resize(10, 10);
    EXPECT_GE(dialog.width(), dialog.minimumWidth());
    EXPECT_GT(dialog.minimumWidth(), 0);
    dialog.reject();
}

TEST_F(TdNewTest, placement_and_page_height_are_kept_in_the_display_settings)
{
    int pageHeight = 0;
    {
        TdNew dialog(m_candidates);
        show(dialog);
        dialog.resize(520, 430);
        QCoreApplication::processEvents();
        auto* splitter = dialog.findChild<QSplitter*>(QStringLiteral("Splitter1"));
        const QList<int> sizes = splitter->sizes();
        splitter->setSizes({ sizes[0] - 30, sizes[1] + 30 });
        pageHeight = dialog.findChild<QTabWidget*>(QStringLiteral("PageControl1"))->height();
        dialog.reject();
    }
    QSettings settings(QStringLiteral("Tessra"), QStringLiteral("Tessra"));
    EXPECT_EQ(settings.value(QStringLiteral("dNew/PageControl1.Height")).toInt(), pageHeight);

    TdNew again(m_candidates);
    show(again);
    EXPECT_EQ(again.size(), QSize(520, 430));
    EXPECT_EQ(again.findChild<QTabWidget*>(QStringLiteral("PageControl1"))->height(), pageHeight);
    again.reject();
}

/// forestfire: labels with markup ("Growth <i>p</i>") and a check that
/// compares the dialog's values (Lightning may not exceed Growth).
class TdNewForestFireTest : public TdNewTest {
protected:
    void SetUp() override
    {
        TdNewTest::SetUp();
        loadModel(test::exampleModel("forestfire"));
        m_model.setParamValue(0, "0.01");
        m_model.setParamValue(1, "0.00001");
    }
};

TEST_F(TdNewForestFireTest, labels_with_markup_are_shown_formatted)
{
    const QString label = QString::fromStdString(m_model.paramLabel(0));
    ASSERT_EQ(label, QStringLiteral("Growth <i>p</i>"));
    QTextDocument document;
    ParamLabelDelegate::setUpDocument(document, label, QApplication::font());
    EXPECT_EQ(document.toPlainText(), QStringLiteral("Growth p"));
    QTextCursor cursor(&document);
    cursor.setPosition(QStringLiteral("Growth p").size());
    EXPECT_TRUE(cursor.charFormat().fontItalic());
    cursor.setPosition(3);
    EXPECT_FALSE(cursor.charFormat().fontItalic());

    // Text that only looks like a comparison is left as it is.
    ParamLabelDelegate::setUpDocument(
        document, QStringLiteral("x < 5 & y > 3"), QApplication::font());
    EXPECT_EQ(document.toPlainText(), QStringLiteral("x < 5 & y > 3"));

    TdNew dialog(m_candidates);
    show(dialog);
    EXPECT_EQ(grid(dialog)->item(1, 0)->text(), QStringLiteral("Lightning <i>f</i>"));
    EXPECT_FALSE(dialog.grab().isNull());
    EXPECT_EQ(dialog.findChild<QLabel*>(QStringLiteral("lAboutParam"))->textFormat(), Qt::AutoText);
    dialog.reject();
}

TEST_F(TdNewForestFireTest, the_models_check_sees_the_values_typed_in_the_dialog)
{
    TdNew dialog(m_candidates);
    show(dialog);
    EXPECT_EQ(grid(dialog)->item(1, 1)->text(), QStringLiteral("1E-5"));
    QTest::keyClicks(cellEditor(), QStringLiteral("0.5"));
    QTest::keyClick(cellEditor(), Qt::Key_Tab);
    // Lightning may not exceed the Growth typed above (not the model's 0.01).
    QTest::keyClicks(cellEditor(), QStringLiteral("0.6"));
    QTest::keyClick(cellEditor(), Qt::Key_Return);
    EXPECT_EQ(m_beeps, 1);
    QTest::keyClicks(cellEditor(), QStringLiteral("0.3"));
    QTest::keyClick(cellEditor(), Qt::Key_Return);
    EXPECT_EQ(m_beeps, 1);
    QTest::keyClick(button(dialog, "OKBtn"), Qt::Key_Return);
    EXPECT_EQ(m_model.paramValue(0), 0.5);
    EXPECT_EQ(m_model.paramValue(1), 0.3);
}

} // namespace
} // namespace tessra
