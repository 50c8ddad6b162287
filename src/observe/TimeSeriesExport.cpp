#include "TimeSeriesExport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "CommandError.h"
#include "ExportNumber.h"
#include "ProjectInfo.h"
#include "SeriesTable.h"

namespace tessra {

namespace {

// Collects the text of a block and hands it to the file in large pieces.
class BlockWriter {
public:
    explicit BlockWriter(std::FILE* file)
        : m_file(file)
        , m_buffer(std::make_unique_for_overwrite<char[]>(BufferSize))
    {
    }

    void text(const char* s, std::size_t n)
    {
        if (n > BufferSize - m_used)
            flush();
        if (n > BufferSize) {
            write(s, n);
            return;
        }
        std::memcpy(m_buffer.get() + m_used, s, n);
        m_used += n;
    }
    void text(const std::string& s) { text(s.data(), s.size()); }
    void line(const std::string& s)
    {
        text(s);
        text("\n", 1);
    }

    /// Room for one data row is guaranteed after this.
    void reserveRow()
    {
        if (BufferSize - m_used < RowMaxLength)
            flush();
    }
    char* cursor() { return m_buffer.get() + m_used; }
    void advance(char* end) { m_used = static_cast<std::size_t>(end - m_buffer.get()); }

    void flush()
    {
        write(m_buffer.get(), m_used);
        m_used = 0;
    }
    bool failed() const { return m_failed; }
    /// The system's error number of the first failed write.
    int error() const { return m_error; }

    static constexpr std::size_t RowMaxLength
        = (SeriesTable::SlotCount + 1) * (GeneralNumberMaxLength + 1) + 1;

private:
    static constexpr std::size_t BufferSize = std::size_t(4) << 20;

    void write(const char* s, std::size_t n)
    {
        if (n > 0 && !m_failed && std::fwrite(s, 1, n, m_file) != n) {
            m_failed = true;
            m_error = errno;
        }
    }

    std::FILE* m_file;
    // Not zeroed: a small export touches only the first pages of it.
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_used = 0;
    bool m_failed = false;
    int m_error = 0;
};

// A parameter's display label may carry HTML markup ("Growth <i>p</i>"); the
// file gets its text ("Growth p").
std::string plainText(const std::string& label)
{
    static const QRegularExpression Tag(QStringLiteral("<[^>]*>"));
    static const QRegularExpression Entity(
        QStringLiteral("&(#[0-9]+|#[xX][0-9a-fA-F]+|[a-zA-Z]+);"));
    static const QHash<QString, QString> Named { { QStringLiteral("lt"), QStringLiteral("<") },
        { QStringLiteral("gt"), QStringLiteral(">") },
        { QStringLiteral("amp"), QStringLiteral("&") },
        { QStringLiteral("quot"), QStringLiteral("\"") },
        { QStringLiteral("apos"), QStringLiteral("'") },
        { QStringLiteral("nbsp"), QStringLiteral(" ") } };
    QString text = QString::fromStdString(label).remove(Tag);
    QString result;
    qsizetype from = 0;
    for (const QRegularExpressionMatch& m : Entity.globalMatch(text)) {
        result += QStringView(text).mid(from, m.capturedStart() - from);
        const QString name = m.captured(1);
        bool ok = false;
        const uint code = name.startsWith(QLatin1String("#x"), Qt::CaseInsensitive)
            ? name.mid(2).toUInt(&ok, 16)
            : name.startsWith(QLatin1Char('#')) ? name.mid(1).toUInt(&ok, 10)
                                                : 0;
        if (ok && code > 0 && code <= 0x10FFFF && (code < 0xD800 || code > 0xDFFF))
            result += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
        else if (Named.contains(name))
            result += Named.value(name);
        else
            result += m.captured(0);
        from = m.capturedEnd();
    }
    result += QStringView(text).mid(from);
    return result.toStdString();
}

std::string number(double value)
{
    char text[GeneralNumberMaxLength];
    return std::string(text, formatExportNumber(text, value));
}

void writeHeader(BlockWriter& out, const SeriesTable& table)
{
    const ModelApi& model = table.model();
    out.line(std::string());
    out.line(
        std::string("#\t") + project::ProductName + " v" + project::VersionText + " - Time Series");
    out.line("#\t" + model.aboutModel(0) + " " + model.aboutModel(1));
    const QLocale locale;
    const QDateTime now = QDateTime::currentDateTime();
    const QString when = locale.toString(now.date(), QLocale::ShortFormat) + QLatin1Char(' ')
        + locale.toString(now.time(), QLocale::LongFormat);
    out.line("#\t" + when.toStdString());
    out.line("#\tParameters:");
    const int params = model.paramCount();
    for (int i = 0; i < params; ++i)
        out.line("#\t\t" + plainText(model.paramLabel(i)) + " = " + number(model.paramValue(i)));
    out.line("#\tColumns:");
    out.line("#\t\t1 = Tick (Time)");
    int column = 2;
    for (int slot = 0; slot < SeriesTable::SlotCount; ++slot) {
        if (table.isUsed(slot))
            out.line("#\t\t" + std::to_string(column++) + " = " + table.label(slot).toStdString());
    }
}

struct Cursor {
    const Sample* at;
    const Sample* end;
};

// Merges the sample lists row by row: the row tick is the smallest tick any
// series still has; a series has a value in the row when its next sample is
// exactly at that tick.
void writeRows(BlockWriter& out, const SeriesTable& table, double fromTick, double toTick)
{
    std::vector<Cursor> cursors;
    for (int slot = 0; slot < SeriesTable::SlotCount; ++slot) {
        if (table.isUsed(slot)) {
            const std::vector<Sample>& samples = table.samples(slot).samples();
            cursors.push_back({ samples.data(), samples.data() + samples.size() });
        }
    }
    for (;;) {
        const Sample* first = nullptr;
        for (const Cursor& c : cursors) {
            if (c.at != c.end && (!first || c.at->tick < first->tick))
                first = c.at;
        }
        if (!first)
            return;
        const double tick = first->tick;
        const bool wanted = !(tick < fromTick) && (toTick < 0 || !(tick > toTick));
        out.reserveRow();
        char* p = out.cursor();
        if (wanted) {
            p = formatExportTick(p, tick);
            *p++ = '\t';
        }
        for (Cursor& c : cursors) {
            const bool has = c.at != c.end && c.at->tick == tick;
            if (wanted) {
                if (has)
                    p = formatExportNumber(p, c.at->value);
                else
                    *p++ = '-';
                *p++ = '\t';
            }
            if (has)
                ++c.at;
        }
        if (wanted) {
            *p++ = '\n';
            out.advance(p);
        }
    }
}

} // namespace

std::FILE* TimeSeriesExport::openExportFile(
    const QString& fileName, int appendMode, const AppendQuestion& ask, QString* failure)
{
    bool append = false;
    if (QFileInfo::exists(fileName)) {
        if (appendMode == AskToAppend) {
            const AppendAnswer answer = ask ? ask(fileName) : AppendAnswer::Yes;
            if (answer == AppendAnswer::Cancel)
                return nullptr;
            append = answer == AppendAnswer::Yes;
        } else {
            append = appendMode == Append;
        }
    }
    if (fileName.isEmpty())
        return nullptr;
    errno = 0;
    std::FILE* file = std::fopen(QFile::encodeName(fileName).constData(), append ? "a" : "w");
    if (!file && failure)
        *failure = QString::fromLocal8Bit(std::strerror(errno != 0 ? errno : EIO));
    return file;
}

void TimeSeriesExport::exportTimeSeries(const SeriesTable& table, const QString& fileName,
    int appendMode, double fromTick, double toTick, const AppendQuestion& ask)
{
    if (table.count() == 0)
        throw CommandError(QStringLiteral("No data series to export!"));
    QString failure;
    std::FILE* file = openExportFile(fileName, appendMode, ask, &failure);
    if (!file && !failure.isEmpty())
        throw CommandError(QStringLiteral("Cannot write the file %1: %2")
                               .arg(QDir::toNativeSeparators(fileName), failure));
    if (!file)
        throw CommandError(QStringLiteral("No data recorded."));
    bool failed = true;
    int error = 0;
    try {
        BlockWriter out(file);
        writeHeader(out, table);
        writeRows(out, table, fromTick, toTick);
        out.flush();
        failed = out.failed();
        error = out.error();
    } catch (...) {
        std::fclose(file);
        throw;
    }
    // A write that failed in the buffer's hand-over shows here at the latest.
    if (std::fflush(file) != 0 && error == 0)
        error = errno;
    if (std::fclose(file) != 0 && error == 0)
        error = errno;
    if (failed || error != 0)
        throw CommandError(
            QStringLiteral("Error closing file %1: %2")
                .arg(QDir::toNativeSeparators(fileName),
                    QString::fromLocal8Bit(std::strerror(error != 0 ? error : EIO))));
}

} // namespace tessra
