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
///
/// A view of the core's DebugLog: the memo shows the log's text and follows
/// DebugLog::changed(); what the user types goes to the log (DebugLog::edit),
/// which keeps the one copy of the text.
class TfDebug : public QWidget {
    Q_OBJECT

public:
    /// `log` must outlive the window.
    explicit TfDebug(DebugLog& log, QWidget* parent = nullptr);
    ~TfDebug() override;

    /// The memo `mDebugLog` showing the log.
    QPlainTextEdit* memo() const { return m_memo; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void logChanged(int dropped, const QStringList& appended);
    void mDebugLogChange();
    void restorePlacement();
    void savePlacement();

    QPlainTextEdit* m_memo;
    DebugLog& m_log;
    bool m_showingLog = false;
    bool m_shown = false;
};

} // namespace tessra
