#pragma once

#include <QByteArrayView>
#include <QStringList>

class QTextDocument;

namespace tessra {

/// The text of the debug log: the lines a model writes, at most `lineLimit`
/// of them, the oldest dropped first. Works on the document of the log
/// window's text control, which the user may also edit.
///
/// A line is a block of the document ended by a line break; the document ends
/// with an empty block where the next line goes, as a text control does after
/// a line has been added. Text the user typed after the last line break counts
/// as one more line. Undo is switched off in the document, so that a long run
/// does not collect an unbounded undo history.
class DebugLog {
public:
    static constexpr int DefaultLineLimit = 100;

    /// `document` must outlive this object.
    explicit DebugLog(QTextDocument* document, int lineLimit = DefaultLineLimit);

    /// The lines a text adds: it is split at every line feed (LF) and nowhere
    /// else; a final LF ends the last line and adds no empty line after it, so
    /// "\n" is one empty line and "" nothing. A line that is valid UTF-8 is
    /// read as UTF-8, any other as Latin-1 (8-bit text). A carriage return
    /// just before a line's end is dropped; any other control character except
    /// the tab shows as its Unicode control picture.
    static QStringList splitLines(QByteArrayView text);

    /// Appends the lines of `text` at the end as one change, then trims.
    /// Returns whether anything was added; a null or empty text adds nothing
    /// and leaves the document untouched.
    bool append(QByteArrayView text);

    /// Removes the oldest lines, as one change, until no more than the line
    /// limit remain. Returns whether anything was removed.
    bool trim();

    int lineLimit() const { return m_lineLimit; }
    int lineCount() const;
    QStringList lines() const;

private:
    QTextDocument* m_document;
    int m_lineLimit;
};

} // namespace tessra
