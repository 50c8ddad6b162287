#include "TfDebug.h"

#include <QByteArray>
#include <QFont>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSettings>
#include <QThread>
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

TfDebug::TfDebug(QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_memo(createMemo(this))
    , m_log(m_memo->document())
{
    setObjectName(QStringLiteral("fDebug"));
    setWindowTitle(QStringLiteral("Debug"));
    setMinimumSize(100, 100);
    // A model's message must not take the keyboard from the main window.
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_memo);
    connect(m_memo, &QPlainTextEdit::textChanged, this, &TfDebug::mDebugLogChange);
    restorePlacement();
}

TfDebug::~TfDebug()
{
    if (isVisible())
        savePlacement();
}

void TfDebug::debugLog(const char* text) noexcept
{
    try {
        if (!text || !*text)
            return;
        if (QThread::currentThread() != thread()) {
            QMetaObject::invokeMethod(
                this, [this, copy = QByteArray(text)] { write(copy); }, Qt::QueuedConnection);
            return;
        }
        write(text);
    } catch (...) {
        // The caller is a model; a failure to log is never reported to it.
    }
}

void TfDebug::write(QByteArrayView text)
{
    if (m_log.append(text)) {
        m_memo->moveCursor(QTextCursor::End);
        m_memo->ensureCursorVisible();
    }
}

void TfDebug::mDebugLogChange()
{
    // The trim below is itself a change and comes back here.
    if (m_handlingChange)
        return;
    m_handlingChange = true;
    try {
        show();
        m_log.trim();
    } catch (...) {
    }
    m_handlingChange = false;
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
