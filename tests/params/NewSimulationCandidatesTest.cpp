#include <gtest/gtest.h>

#include <algorithm>

#include <QLocale>
#include <QSignalSpy>

#include "CommandError.h"
#include "FixtureCallLog.h"
#include "HostShim.h"
#include "ModelApi.h"
#include "NewSimulationCandidates.h"
#include "TestPaths.h"

namespace tessra {
namespace {

using test::FixtureCallLog;

std::vector<std::string> linesStartingWith(const FixtureCallLog& log, const std::string& prefix)
{
    std::vector<std::string> found;
    for (const std::string& line : log.lines())
        if (line.rfind(prefix, 0) == 0)
            found.push_back(line);
    return found;
}

/// The calllog fixture: 0 Count (label "Count <b>n</b>", whole, 0..100,
/// 13 refused), 1 Rate (0..1); values reset to 1 and 0.5.
class CandidatesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_model.loadModel(test::fixtureModel("calllog"));
        ASSERT_TRUE(m_model.isLoaded()) << m_model.loadModelError().value_or("");
        m_model.setParamValue(0, "1");
        m_model.setParamValue(1, "0.5");
        m_log.reset();
        test::setDialogCandidates(&m_candidates);
    }
    void TearDown() override { test::setDialogCandidates(nullptr); }

    ModelApi m_model;
    NewSimulationCandidates m_candidates { m_model };
    FixtureCallLog m_log { test::fixtureModel("calllog") };
};

TEST_F(CandidatesTest, open_reads_every_parameter_and_fills_the_candidates)
{
    EXPECT_FALSE(m_candidates.isOpen());
    const QList<NewSimulationCandidates::Row> rows = m_candidates.open();
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].label, QStringLiteral("Count <b>n</b>"));
    EXPECT_EQ(rows[0].valueText, QStringLiteral("1"));
    EXPECT_EQ(rows[1].label, QStringLiteral("Rate"));
    EXPECT_EQ(rows[1].valueText, QStringLiteral("0.5"));
    EXPECT_TRUE(m_candidates.isOpen());
    EXPECT_EQ(m_candidates.candidateCount(), 2);
    EXPECT_EQ(m_candidates.candidateValue(0), 1.0);
    EXPECT_EQ(m_candidates.candidateValue(1), 0.5);
    EXPECT_EQ(m_candidates.aboutLabel(), QStringLiteral("Description"));
}

TEST_F(CandidatesTest, answers_safely_outside_the_parameters_and_while_closed)
{
    m_candidates.open();
    EXPECT_EQ(m_candidates.candidateValue(-1), 0.0);
    EXPECT_EQ(m_candidates.candidateValue(2), 0.0);
    EXPECT_TRUE(m_candidates.describe(0, QStringLiteral("7")));
    m_candidates.close();
    EXPECT_FALSE(m_candidates.isOpen());
    EXPECT_EQ(m_candidates.candidateCount(), 0);
    // Closed: the model's own values, not the released candidates.
    EXPECT_EQ(m_candidates.candidateValue(0), 1.0);
    EXPECT_EQ(m_candidates.candidateValue(1), 0.5);
    EXPECT_EQ(m_candidates.candidateValue(99), 0.0);

    m_log.reset();
    EXPECT_FALSE(m_candidates.describe(0, QStringLiteral("7")));
    EXPECT_EQ(m_log.text(), "") << "no describe step while closed";
    m_candidates.open();
    EXPECT_FALSE(m_candidates.describe(5, QStringLiteral("7")));
    EXPECT_EQ(m_log.text(), "");
}

TEST_F(CandidatesTest, typing_one_two_x_keeps_twelve_as_the_candidate)
{
    m_candidates.open();
    EXPECT_TRUE(m_candidates.describe(0, QStringLiteral("1")));
    EXPECT_TRUE(m_candidates.describe(0, QStringLiteral("12")));
    EXPECT_FALSE(m_candidates.describe(0, QStringLiteral("12x")));

    EXPECT_EQ(m_candidates.candidateValue(0), 12.0);
    EXPECT_EQ(linesStartingWith(m_log, "aboutParam").size(), 3u);
    EXPECT_EQ(m_candidates.aboutLabel(), QStringLiteral("Count <b>n</b>"));
    EXPECT_EQ(m_candidates.aboutText(), QStringLiteral("about Count with Count 12 and Rate 0.5"));
}

TEST_F(CandidatesTest, the_model_validates_against_the_previous_and_describes_the_new_candidate)
{
    m_candidates.open();
    m_candidates.describe(0, QStringLiteral("12"));
    EXPECT_EQ(m_log.lines(),
        (std::vector<std::string> {
            "validateParam 0 12 dnew 1 1 0.5", "aboutParam 0 12 0.5 dnew 1 12 0.5" }));
}

TEST_F(CandidatesTest, a_refused_text_leaves_the_candidate_and_is_still_described)
{
    m_candidates.open();
    EXPECT_FALSE(m_candidates.describe(0, QStringLiteral("13")));
    EXPECT_EQ(m_candidates.candidateValue(0), 1.0);
    EXPECT_EQ(m_candidates.aboutText(), QStringLiteral("about Count with Count 1 and Rate 0.5"));
    EXPECT_FALSE(m_candidates.describe(1, QStringLiteral("1.5")));
    EXPECT_EQ(m_candidates.candidateValue(1), 0.5);
    EXPECT_EQ(m_candidates.aboutLabel(), QStringLiteral("Rate"));
}

TEST_F(CandidatesTest, an_accepted_text_the_conversion_cannot_read_is_an_error)
{
    m_candidates.open();
    m_candidates.describe(1, QStringLiteral("0.25"));
    // Both read by one rule, so only a front end whose locale is not the model
    // library's can be given a text the library accepts and it cannot read.
    const QLocale previous;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    ASSERT_TRUE(m_candidates.accepts(1, QStringLiteral("0.125")));
    try {
        m_candidates.describe(1, QStringLiteral("0.125"));
        ADD_FAILURE() << "no error";
    } catch (const CommandError& error) {
        EXPECT_EQ(error.message(), QStringLiteral("'0.125' is not a valid floating point value"));
    }
    QLocale::setDefault(previous);
    EXPECT_EQ(m_candidates.candidateValue(1), 0.25);
    EXPECT_EQ(m_candidates.aboutText(), QStringLiteral("about Rate with Count 1 and Rate 0.25"));
}

TEST_F(CandidatesTest, a_commit_the_model_accepts_becomes_the_value_text_and_touches_no_candidate)
{
    QSignalSpy changed(&m_candidates, &NewSimulationCandidates::valueTextChanged);
    EXPECT_FALSE(m_candidates.commit(0, QStringLiteral("12"))) << "closed";
    m_candidates.open();
    EXPECT_TRUE(m_candidates.accepts(0, QStringLiteral("12")));
    EXPECT_TRUE(m_candidates.commit(0, QStringLiteral("12")));
    EXPECT_FALSE(m_candidates.commit(0, QStringLiteral("13")));
    EXPECT_FALSE(m_candidates.commit(0, QString()));
    EXPECT_FALSE(m_candidates.commit(2, QStringLiteral("1")));
    EXPECT_EQ(m_candidates.rows()[0].valueText, QStringLiteral("12"));
    ASSERT_EQ(changed.size(), 1);
    EXPECT_EQ(changed[0][0].toInt(), 0);
    EXPECT_EQ(m_candidates.candidateValue(0), 1.0);
    EXPECT_TRUE(linesStartingWith(m_log, "aboutParam").empty());
}

TEST_F(CandidatesTest, write_back_hands_every_value_text_to_the_model)
{
    m_candidates.open();
    m_candidates.commit(0, QStringLiteral("7"));
    m_candidates.commit(1, QStringLiteral("0.25"));
    m_candidates.writeBack();
    EXPECT_EQ(m_model.paramValue(0), 7.0);
    EXPECT_EQ(m_model.paramValue(1), 0.25);
    m_candidates.close();
    m_candidates.writeBack(); // closed: nothing to hand back
    EXPECT_EQ(m_model.paramValue(0), 7.0);
}

TEST_F(CandidatesTest, description_line_breaks_become_new_lines)
{
    m_model.loadModel(test::exampleModel("forestfire"));
    ASSERT_TRUE(m_model.isLoaded());
    NewSimulationCandidates editor(m_model);
    editor.open();
    editor.describe(0, QStringLiteral("0.02"));
    EXPECT_EQ(editor.aboutText().split(QLatin1Char('\n')).size(), 2)
        << editor.aboutText().toStdString();
    EXPECT_TRUE(editor.aboutText().contains(QStringLiteral("\np = 0.02")));
    EXPECT_FALSE(editor.aboutText().contains(QLatin1Char('\r')));
}

TEST_F(CandidatesTest, a_model_without_parameters_gives_no_rows)
{
    m_model.loadModel(test::fixtureModel("noparams"));
    ASSERT_TRUE(m_model.isLoaded());
    NewSimulationCandidates editor(m_model);
    EXPECT_TRUE(editor.open().isEmpty());
    EXPECT_TRUE(editor.isOpen());
    EXPECT_EQ(editor.candidateValue(0), 0.0);
    editor.writeBack();
    editor.close();
}

} // namespace
} // namespace tessra
