#pragma once

#include "DebugLog.h"

#include <QWidget>

class QPlainTextEdit;

namespace tessra {

/// The debug log window (caption "Debug"): a plain text a model writes to
/// while it runs. It shows the newest 100 lines and makes itself visible
/// whenever its text changes, whoever changed it, so a model's message never
/// goes unseen; the user may type into it or clear it. Closing only hides it.
/// Its position and size are kept in the display settings.
///
/// Created hidden at start-up and kept for the whole run. The text is never
/// saved, and neither a new simulation nor loading another model clears it.
class TfDebug : public QWidget {
    Q_OBJECT

public:
    explicit TfDebug(QWidget* parent = nullptr);
    ~TfDebug() override;

    /// Writes `text` to the log: what the program's exported `_debugLog` does.
    /// The text is UTF-8 and taken literally; every line feed ends a line, a
    /// final one adds no empty line, a null or empty text adds nothing. Never
    /// throws. Called from another thread, the text is copied and written
    /// later on the window's thread.
    void debugLog(const char* text) noexcept;

    /// The memo `mDebugLog` holding the log.
    QPlainTextEdit* memo() const { return m_memo; }
    /// The lines the log holds now, oldest first.
    QStringList lines() const { return m_log.lines(); }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void write(QByteArrayView text);
    void mDebugLogChange();
    void restorePlacement();
    void savePlacement();

    QPlainTextEdit* m_memo;
    DebugLog m_log;
    bool m_handlingChange = false;
    bool m_shown = false;
};

} // namespace tessra
