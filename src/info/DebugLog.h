#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QStringList>

namespace tessra {

/// The debug log: the lines a model writes (the exported `_debugLog`) and the
/// program's own start-up messages, at most `lineLimit` of them, the oldest
/// dropped first. The front end's core owns the one log of the program; the
/// debug log window is a view of it that follows changed() and hands the
/// user's own edits back through edit().
///
/// The text is kept as blocks, as a text control holds it: every line, then
/// the text after the last line break, which is empty unless the user typed
/// there. Text typed after the last line break counts as one more line.
///
/// write() may be called from any thread; everything else belongs to the
/// thread the log lives on.
class DebugLog : public QObject {
    Q_OBJECT
public:
    static constexpr int DefaultLineLimit = 100;

    explicit DebugLog(int lineLimit = DefaultLineLimit, QObject* parent = nullptr);

    /// The lines a text adds: it is split at every line feed (LF) and nowhere
    /// else; a final LF ends the last line and adds no empty line after it, so
    /// "\n" is one empty line and "" nothing. A line that is valid UTF-8 is
    /// read as UTF-8, any other as Latin-1 (8-bit text). A carriage return
    /// just before a line's end is dropped; any other control character except
    /// the tab shows as its Unicode control picture.
    static QStringList splitLines(QByteArrayView text);

    /// Writes `text` (UTF-8, taken literally) to the log: what `_debugLog`
    /// does. Emits textWritten() at once on the calling thread; the lines are
    /// appended at once on the log's own thread, and from any other thread
    /// with a copy of the text, later on the log's thread. A null or empty
    /// text does nothing. Never throws.
    void write(const char* text) noexcept;

    /// Appends the lines of `text` at the end, then drops the oldest lines
    /// beyond the limit; emits changed() once. Returns whether anything was
    /// added; a null or empty text adds nothing and emits nothing.
    bool append(QByteArrayView text);

    /// The user edited the text in a view: `blocks` is the whole text as the
    /// view holds it now, split at its line breaks (the last block is the text
    /// after the final line break, empty when the text ends with one; an empty
    /// text is one empty block). The log takes it over and drops the oldest
    /// lines beyond the limit; only that drop is announced by changed(), since
    /// the view already shows the rest.
    void edit(const QStringList& blocks);

    int lineLimit() const { return m_lineLimit; }
    int lineCount() const;
    /// The lines the log holds now, oldest first.
    QStringList lines() const;
    /// The text after the last line break: what the user typed there, or empty.
    QString openLine() const { return m_blocks.constLast(); }
    /// The whole text: every line ended by a line feed, then the open line.
    QString text() const { return m_blocks.join(QLatin1Char('\n')); }

signals:
    /// A text was written, exactly as given (emitted on the writer's thread).
    void textWritten(const QByteArray& text);
    /// The oldest `dropped` lines went and `appended` lines were added at the
    /// end; added lines start on a line of their own (after the open line,
    /// when there is one) and end with a line break.
    void changed(int dropped, const QStringList& appended);

private:
    int trim();

    int m_lineLimit;
    QStringList m_blocks { QString() };
};

} // namespace tessra
