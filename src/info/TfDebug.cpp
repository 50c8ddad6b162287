#include "TfDebug.h"

#include <QByteArray>
#include <QFont>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSettings>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QVBoxLayout>

namespace tessra {

namespace {
constexpr char SettingsKey[] = "fDebug/geometry";

QSettings displaySettings()
{
    return QSettings(QStringLiteral("Tessra"), QStringLiteral("Tessra"));
}

QFont logFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    font.setPixelSize(15);
    return font;
}

QPlainTextEdit* createMemo(QWidget* parent)
{
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(QStringLiteral("mDebugLog"));
    memo->setFont(logFont());
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return memo;
}
} // namespace

TfDebug::TfDebug(DebugLog& log, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_memo(createMemo(this))
    , m_log(log)
{
    setObjectName(QStringLiteral("fDebug"));
    setWindowTitle(QStringLiteral("Debug"));
    setMinimumSize(100, 100);
    // A model's message must not take the keyboard from the main window.
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_memo);
    // A long run must not collect an unbounded undo history.
    m_memo->document()->setUndoRedoEnabled(false);
    m_memo->setPlainText(m_log.text());
    connect(m_memo, &QPlainTextEdit::textChanged, this, &TfDebug::mDebugLogChange);
    connect(&m_log, &DebugLog::changed, this, &TfDebug::logChanged);
    restorePlacement();
}

TfDebug::~TfDebug()
{
    if (isVisible())
        savePlacement();
}

// The log changed: the memo follows as one change, appending before dropping
// (a long text may drop more lines than the memo held before), then shows the
// window.
void TfDebug::logChanged(int dropped, const QStringList& appended)
{
    m_showingLog = true;
    try {
        QTextDocument* document = m_memo->document();
        QTextCursor cursor(document);
        cursor.beginEditBlock();
        if (!appended.isEmpty()) {
            cursor.movePosition(QTextCursor::End);
            // Text typed after the last line break is a line of its own.
            if (!cursor.block().text().isEmpty())
                cursor.insertBlock();
            cursor.insertText(appended.join(QLatin1Char('\n')) + QLatin1Char('\n'));
        }
        if (dropped > 0) {
            cursor.setPosition(0);
            cursor.setPosition(
                document->findBlockByNumber(dropped).position(), QTextCursor::KeepAnchor);
            cursor.removeSelectedText();
        }
        cursor.endEditBlock();
        if (!appended.isEmpty()) {
            m_memo->moveCursor(QTextCursor::End);
            m_memo->ensureCursorVisible();
        }
        show();
    } catch (...) {
    }
    m_showingLog = false;
}

// Every change of the memo's text shows the window; what the user typed goes
// to the log, which drops the oldest lines beyond its limit (coming back
// through logChanged).
void TfDebug::mDebugLogChange()
{
    if (m_showingLog)
        return;
    try {
        show();
        QStringList blocks;
        for (QTextBlock block = m_memo->document()->firstBlock(); block.isValid();
             block = block.next())
            blocks.append(block.text());
        m_log.edit(blocks);
    } catch (...) {
    }
}

void TfDebug::showEvent(QShowEvent* event)
{
    m_shown = true;
    QWidget::showEvent(event);
}

void TfDebug::hideEvent(QHideEvent* event)
{
    if (m_shown)
        savePlacement();
    QWidget::hideEvent(event);
}

void TfDebug::restorePlacement()
{
    const QByteArray geometry = displaySettings().value(QLatin1String(SettingsKey)).toByteArray();
    if (geometry.isEmpty() || !restoreGeometry(geometry)) {
        resize(435, 300);
        move(299, 311);
    }
}

void TfDebug::savePlacement()
{
    displaySettings().setValue(QLatin1String(SettingsKey), saveGeometry());
}

} // namespace tessra
