// Runs with LC_ALL=de_DE.UTF-8: numbers are shown and typed with a comma, by
// the dialog and by the model library alike.
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

#include "Beep.h"
#include "HostShim.h"
#include "ModelApi.h"
#include "NumberFormat.h"
#include "TdNew.h"
#include "TestPaths.h"

namespace tessra {
namespace {

TEST(CommaLocale, the_environment_gives_a_comma_locale)
{
    ASSERT_EQ(QLocale().decimalPoint(), QStringLiteral(","))
        << "LC_ALL=" << qgetenv("LC_ALL").constData()
        << " LOCPATH=" << qgetenv("LOCPATH").constData();
    EXPECT_EQ(formatGeneral(0.5), QStringLiteral("0,5"));
    EXPECT_EQ(formatGeneral(1.5e-7), QStringLiteral("1,5E-7"));
    EXPECT_EQ(parseNumber(QStringLiteral("0,25")), 0.25);
    EXPECT_EQ(parseNumber(formatGeneral(-1.5e20)), -1.5e20);
}

TEST(CommaLocale, values_are_shown_typed_and_written_with_a_comma)
{
    ASSERT_EQ(QLocale().decimalPoint(), QStringLiteral(","));
    ModelApi model;
    model.loadModel(test::fixtureModel("calllog"));
    ASSERT_TRUE(model.isLoaded());
    model.setParamValue(1, "0,5");
    ASSERT_EQ(model.paramValue(1), 0.5);

    int beeps = 0;
    const auto previous = setBeepHandler([&beeps] { ++beeps; });
    NewSimulationCandidates candidates(model);
    TdNew dialog(candidates);
    test::setDialogCandidates(&candidates);
    dialog.open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    auto* sgParams = dialog.findChild<QTableWidget*>(QStringLiteral("sgParams"));
    EXPECT_EQ(sgParams->item(1, 1)->text(), QStringLiteral("0,5"));

    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), QStringLiteral("0,5"));
    // A point is no separator here: of "0", "0.", "0.2" and "0.25" only the
    // first is a number.
    QTest::keyClicks(editor, QStringLiteral("0.25"));
    EXPECT_EQ(candidates.candidateValue(1), 0.0);
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(editor->text(), QStringLiteral("0,5"));

    QTest::keyClicks(editor, QStringLiteral("0,25"));
    EXPECT_EQ(candidates.candidateValue(1), 0.25);
    QTest::keyClick(editor, Qt::Key_Return);
    EXPECT_EQ(beeps, 1);
    QTest::keyClick(dialog.findChild<QPushButton*>(QStringLiteral("OKBtn")), Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(model.paramValue(1), 0.25);

    test::setDialogCandidates(nullptr);
    setBeepHandler(previous);
}

} // namespace
} // namespace tessra
