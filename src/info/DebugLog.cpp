#include "DebugLog.h"

#include <QStringDecoder>
#include <QThread>

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

DebugLog::DebugLog(int lineLimit, QObject* parent)
    : QObject(parent)
    , m_lineLimit(lineLimit)
{
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

void DebugLog::write(const char* text) noexcept
{
    try {
        if (!text || !*text)
            return;
        const QByteArray copy(text);
        emit textWritten(copy);
        if (QThread::currentThread() != thread()) {
            QMetaObject::invokeMethod(
                this, [this, copy] { append(copy); }, Qt::QueuedConnection);
            return;
        }
        append(copy);
    } catch (...) {
        // The writer is a model; a failure to log is never reported to it.
    }
}

int DebugLog::lineCount() const
{
    const auto blocks = static_cast<int>(m_blocks.size());
    return m_blocks.constLast().isEmpty() ? blocks - 1 : blocks;
}

QStringList DebugLog::lines() const
{
    return m_blocks.mid(0, lineCount());
}

bool DebugLog::append(QByteArrayView text)
{
    const QStringList added = splitLines(text);
    if (added.isEmpty())
        return false;
    // Text typed after the last line break is a line of its own.
    if (m_blocks.constLast().isEmpty())
        m_blocks.removeLast();
    m_blocks.append(added);
    m_blocks.append(QString());
    emit changed(trim(), added);
    return true;
}

void DebugLog::edit(const QStringList& blocks)
{
    m_blocks = blocks.isEmpty() ? QStringList { QString() } : blocks;
    if (const int dropped = trim())
        emit changed(dropped, {});
}

int DebugLog::trim()
{
    const int excess = lineCount() - m_lineLimit;
    if (excess <= 0)
        return 0;
    m_blocks.remove(0, excess);
    return excess;
}

} // namespace tessra
