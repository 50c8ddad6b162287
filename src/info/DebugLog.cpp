#include "DebugLog.h"

#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace tessra {

namespace {
// A line is UTF-8 when it is valid UTF-8; otherwise it comes from a model that
// writes 8-bit text, read as Latin-1 so that every byte shows as its character.
QString decodedLine(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString line = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : line;
}

// Characters the document would take for a line or paragraph break, and
// other control characters, are shown as visible symbols instead.
QString displayedLine(QByteArrayView bytes)
{
    if (bytes.endsWith('\r'))
        bytes.chop(1);
    QString line = decodedLine(bytes);
    for (QChar& c : line) {
        const char16_t u = c.unicode();
        if (u < 0x20 && u != '\t')
            c = QChar(char16_t(0x2400 + u));
        else if (u == 0x7F)
            c = QChar(char16_t(0x2421));
        else if (u == 0x2028 || u == 0x2029)
            c = QChar(char16_t(0xFFFD));
    }
    return line;
}
} // namespace

DebugLog::DebugLog(QTextDocument* document, int lineLimit)
    : m_document(document)
    , m_lineLimit(lineLimit)
{
    m_document->setUndoRedoEnabled(false);
}

QStringList DebugLog::splitLines(QByteArrayView text)
{
    QStringList lines;
    while (!text.isEmpty()) {
        const qsizetype end = text.indexOf('\n');
        if (end < 0) {
            lines.append(displayedLine(text));
            break;
        }
        lines.append(displayedLine(text.first(end)));
        text = text.sliced(end + 1);
    }
    return lines;
}

int DebugLog::lineCount() const
{
    const int blocks = m_document->blockCount();
    return m_document->lastBlock().text().isEmpty() ? blocks - 1 : blocks;
}

QStringList DebugLog::lines() const
{
    QStringList result;
    const int count = lineCount();
    for (QTextBlock block = m_document->firstBlock(); block.isValid() && result.size() < count;
         block = block.next())
        result.append(block.text());
    return result;
}

bool DebugLog::append(QByteArrayView text)
{
    const QStringList added = splitLines(text);
    if (added.isEmpty())
        return false;
    QTextCursor cursor(m_document);
    cursor.beginEditBlock();
    cursor.movePosition(QTextCursor::End);
    // Text typed after the last line break is a line of its own.
    if (!cursor.block().text().isEmpty())
        cursor.insertBlock();
    cursor.insertText(added.join(QLatin1Char('\n')) + QLatin1Char('\n'));
    trim(); // inside the same change, so the text is laid out once
    cursor.endEditBlock();
    return true;
}

bool DebugLog::trim()
{
    const int excess = lineCount() - m_lineLimit;
    if (excess <= 0)
        return false;
    QTextCursor cursor(m_document);
    cursor.beginEditBlock();
    cursor.setPosition(m_document->findBlockByNumber(excess).position(), QTextCursor::KeepAnchor);
    cursor.removeSelectedText();
    cursor.endEditBlock();
    return true;
}

} // namespace tessra
