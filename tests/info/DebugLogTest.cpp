// The debug log window: how texts become lines, the 100-line limit after
// every kind of change, showing itself, and its kept placement.
#include "DebugLog.h"
#include "TfDebug.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QSettings>
#include <QTest>
#include <gtest/gtest.h>
#include <thread>

namespace tessra {
namespace {

QStringList numbered(int from, int to)
{
    QStringList lines;
    for (int i = from; i <= to; ++i)
        lines.append(QStringLiteral("line %1").arg(i));
    return lines;
}

struct SplitCase {
    const char* text;
    QStringList lines;
};

TEST(DebugLogSplit, only_line_feeds_separate_lines)
{
    const SplitCase cases[] = {
        { "one\ntwo", { "one", "two" } },
        { "one\n", { "one" } },
        { "\n", { "" } },
        { "one\n\ntwo", { "one", "", "two" } },
        { "", {} },
        { "a\tb", { "a\tb" } },
        { "dos\r\n", { "dos" } },
        { "a\rb\x01", { QStringLiteral("a\u240Db\u2401") } },
        { "gr\xC3\xBC\xC3\x9F", { QStringLiteral("gr\u00FC\u00DF") } },
        // 8-bit text that is no UTF-8 is Latin-1, line by line.
        { "gr\xFC\xDF", { QStringLiteral("gr\u00FC\u00DF") } },
        { "20\xB0"
          "C\nK\xC3\xB6nig",
            { QStringLiteral("20\u00B0C"), QStringLiteral("K\u00F6nig") } },
        { "\xC3", { QStringLiteral("\u00C3") } },
    };
    for (const SplitCase& c : cases)
        EXPECT_EQ(DebugLog::splitLines(c.text), c.lines) << '"' << c.text << '"';
}

TEST(DebugLogText, text_typed_after_the_last_line_stays_a_line_of_its_own)
{
    DebugLog log;
    log.append("first");
    log.edit({ "first", "typed" });
    EXPECT_EQ(log.lineCount(), 2);
    EXPECT_EQ(log.openLine(), QStringLiteral("typed"));
    log.append("second\n");
    EXPECT_EQ(log.lines(), (QStringList { "first", "typed", "second" }));
    EXPECT_TRUE(log.openLine().isEmpty());
}

/// The window over the log, as the program has them: the core's log and its view.
class DebugWindowTest : public ::testing::Test {
protected:
    /// The memo's text, which must be the log's.
    QString shown() const { return m_window.memo()->toPlainText(); }
    QString logged() const { return m_log.text(); }

    DebugLog m_log;
    TfDebug m_window { m_log };
};

TEST_F(DebugWindowTest, newest_hundred_lines_stay_of_many_one_line_texts)
{
    for (const QString& line : numbered(1, 150))
        m_log.write(line.toUtf8().constData());
    EXPECT_EQ(m_log.lines(), numbered(51, 150));
    EXPECT_EQ(shown().toStdString(), logged().toStdString());
}

TEST_F(DebugWindowTest, one_long_text_keeps_its_last_hundred_lines)
{
    const QByteArray text = numbered(1, 250).join(QLatin1Char('\n')).toUtf8();
    m_log.write(text.constData());
    EXPECT_EQ(m_log.lines(), numbered(151, 250));
    EXPECT_EQ(shown().toStdString(), logged().toStdString());
}

TEST_F(DebugWindowTest, lone_line_feed_adds_one_empty_line_and_null_adds_nothing)
{
    m_log.write(nullptr);
    m_log.write("");
    EXPECT_TRUE(m_log.lines().isEmpty());
    EXPECT_FALSE(m_window.isVisible()) << "nothing changed, so nothing is shown";

    m_log.write("\n");
    EXPECT_EQ(m_log.lines(), QStringList { QString() });
    m_log.write("after");
    EXPECT_EQ(m_log.lines(), (QStringList { QString(), "after" }));
}

TEST_F(DebugWindowTest, text_of_a_model_written_for_8_bit_text_shows_its_characters)
{
    m_log.write("Temperatur 20\xB0"
                "C, K\xF6nig \xE0 la carte");
    EXPECT_EQ(m_log.lines(),
        QStringList { QStringLiteral("Temperatur 20\u00B0C, K\u00F6nig \u00E0 la carte") });
    EXPECT_FALSE(m_log.lines().constFirst().contains(QChar(0xFFFD)));
}

TEST_F(DebugWindowTest, every_change_shows_the_window_again)
{
    m_log.write("hello");
    EXPECT_TRUE(m_window.isVisible());
    m_window.close();
    EXPECT_FALSE(m_window.isVisible());
    m_log.write("again");
    EXPECT_TRUE(m_window.isVisible());
    m_window.hide();
    m_window.memo()->clear();
    EXPECT_TRUE(m_window.isVisible()) << "the user's edits are changes too";
}

TEST_F(DebugWindowTest, typing_past_the_limit_drops_the_oldest_lines)
{
    for (const QString& line : numbered(1, 100))
        m_log.write(line.toUtf8().constData());
    QPlainTextEdit* memo = m_window.memo();
    memo->moveCursor(QTextCursor::End);
    QTest::keyClicks(memo, QStringLiteral("typed"));
    EXPECT_EQ(m_log.lines(), numbered(2, 100) << QStringLiteral("typed"));
    QTest::keyClick(memo, Qt::Key_Return);
    QTest::keyClicks(memo, QStringLiteral("more"));
    EXPECT_EQ(m_log.lines().size(), 100);
    EXPECT_EQ(m_log.lines().front(), QStringLiteral("line 3"));
    EXPECT_EQ(m_log.openLine(), QStringLiteral("more"));
    EXPECT_EQ(shown().toStdString(), logged().toStdString());

    // Written after the typing, a line starts after what was typed.
    m_log.write("written");
    EXPECT_EQ(m_log.lines().back(), QStringLiteral("written"));
    EXPECT_EQ(m_log.lines()[98], QStringLiteral("more"));
    EXPECT_EQ(shown().toStdString(), logged().toStdString());
}

TEST_F(DebugWindowTest, a_window_made_later_shows_what_the_log_holds)
{
    m_log.write("one\ntwo");
    TfDebug later(m_log);
    EXPECT_EQ(later.memo()->toPlainText(), QStringLiteral("one\ntwo\n"));
    EXPECT_FALSE(later.isVisible()) << "only a change shows the window";
    m_log.write("three");
    EXPECT_TRUE(later.isVisible());
    EXPECT_EQ(later.memo()->toPlainText(), shown());
}

TEST_F(DebugWindowTest, texts_from_another_thread_arrive_on_the_window_thread)
{
    QByteArray written;
    QObject::connect(
        &m_log, &DebugLog::textWritten, &m_log,
        [&written](const QByteArray& text) { written = text; }, Qt::DirectConnection);
    std::thread writer([this] { m_log.write("from a worker"); });
    writer.join();
    EXPECT_EQ(written, QByteArray("from a worker")) << "told at once, on the writer's thread";
    EXPECT_TRUE(m_log.lines().isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(m_log.lines(), QStringList { "from a worker" });
}

TEST_F(DebugWindowTest, memo_is_an_editable_monospaced_log_with_both_scroll_bars)
{
    QPlainTextEdit* memo = m_window.findChild<QPlainTextEdit*>(QStringLiteral("mDebugLog"));
    ASSERT_EQ(memo, m_window.memo());
    EXPECT_EQ(m_window.windowTitle(), QStringLiteral("Debug"));
    EXPECT_FALSE(memo->isReadOnly());
    EXPECT_EQ(memo->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(memo->font().styleHint(), QFont::Monospace);
}

TEST(DebugWindowPlacement, position_and_size_come_back_in_the_next_run)
{
    QSettings(QStringLiteral("Tessra"), QStringLiteral("Tessra")).clear();
    QRect placed;
    {
        DebugLog log;
        TfDebug first(log);
        EXPECT_EQ(first.size(), QSize(435, 300)) << "design size without stored placement";
        first.show();
        first.setGeometry(140, 120, 500, 320);
        placed = first.geometry();
        first.close();
    }
    DebugLog log;
    TfDebug second(log);
    EXPECT_EQ(second.geometry(), placed);
}

} // namespace
} // namespace tessra
