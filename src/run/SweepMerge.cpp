#include "SweepMerge.h"

#include "OutputFile.h"
#include "RunError.h"
#include "SweepPlan.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <string_view>
#include <unistd.h>

namespace tessra {

namespace {

// Collects the table and hands it to the file in large pieces.
class TableWriter {
public:
    explicit TableWriter(const QString& path)
        : m_path(path)
        , m_fd(::open(QFile::encodeName(path).constData(), O_WRONLY | O_TRUNC | O_CLOEXEC))
    {
        if (m_fd < 0)
            bad(QStringLiteral("cannot write %1: %2")
                    .arg(path, QString::fromLocal8Bit(std::strerror(errno))));
        m_buffer.reserve(Flush + (1 << 16));
    }
    ~TableWriter()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    TableWriter(const TableWriter&) = delete;
    TableWriter& operator=(const TableWriter&) = delete;

    std::string& buffer() { return m_buffer; }
    void maybeFlush()
    {
        if (m_buffer.size() >= Flush)
            flush();
    }
    void flush()
    {
        for (std::size_t done = 0; done < m_buffer.size();) {
            const ssize_t put = ::write(m_fd, m_buffer.data() + done, m_buffer.size() - done);
            if (put < 0 && errno == EINTR)
                continue;
            if (put <= 0)
                bad(QStringLiteral("cannot write %1: %2")
                        .arg(m_path, QString::fromLocal8Bit(std::strerror(errno))));
            done += static_cast<std::size_t>(put);
        }
        m_buffer.clear();
    }
    void close()
    {
        flush();
        const int fd = m_fd;
        m_fd = -1;
        if (::close(fd) != 0)
            bad(QStringLiteral("cannot write %1").arg(m_path));
    }

private:
    static constexpr std::size_t Flush = std::size_t(4) << 20;
    QString m_path;
    int m_fd;
    std::string m_buffer;
};

// One value of a run file as the table writes it.
void appendValue(std::string& out, std::string_view field)
{
    if (field.size() <= 4) {
        if (field == "-")
            return;
        if (field == "nan") {
            out += "NaN";
            return;
        }
        if (field == "inf") {
            out += "Inf";
            return;
        }
        if (field == "-inf") {
            out += "-Inf";
            return;
        }
    }
    out += field;
}

// The series labels of a run file's column list ("#\t\t2 = Average Alive").
std::vector<std::string> seriesLabels(std::string_view text)
{
    std::vector<std::string> labels;
    bool inColumns = false;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(at, end - at);
        at = end + 1;
        if (line.empty())
            continue;
        if (line.front() != '#')
            break;
        if (line == "#\tColumns:") {
            inColumns = true;
        } else if (inColumns && line.starts_with("#\t\t")) {
            const std::size_t equals = line.find(" = ");
            if (equals != std::string_view::npos && line.substr(3, equals - 3) != "1")
                labels.emplace_back(line.substr(equals + 3));
        }
    }
    return labels;
}

bool readWhole(const QString& path, std::string& into)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    into.clear();
    char chunk[1 << 16];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            ::close(fd);
            return got == 0;
        }
        into.append(chunk, static_cast<std::size_t>(got));
    }
}

// The data lines of a run file, each prefixed and written as the table's.
void appendRows(TableWriter& out, std::string_view text, const std::string& prefix)
{
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        if (line.empty() || line.front() == '#')
            continue;
        if (line.back() == '\t')
            line.remove_suffix(1);
        std::string& buffer = out.buffer();
        buffer += prefix;
        for (std::size_t field = 0;;) {
            const std::size_t tab = line.find('\t', field);
            appendValue(
                buffer, line.substr(field, tab == std::string_view::npos ? tab : tab - field));
            if (tab == std::string_view::npos)
                break;
            buffer += '\t';
            field = tab + 1;
        }
        buffer += '\n';
        out.maybeFlush();
    }
}

} // namespace

SweepMerge::SweepMerge(const SweepPlan& plan, QStringList columns)
    : m_plan(plan)
    , m_columns(std::move(columns))
{
}

QString SweepMerge::fileName() const
{
    return m_plan.outputFolder() + QStringLiteral("/runs.tsv");
}

std::vector<qint64> SweepMerge::merge(const std::function<QStringList(qint64 run)>& values)
{
    std::vector<qint64> missing;
    OutputFile output(fileName());
    output.create();
    TableWriter out(output.temporaryName());
    std::vector<std::string> labels;
    QString firstFile;
    std::string text;
    for (qint64 run = 0; run < m_plan.runCount(); ++run) {
        const QString path = m_plan.runFile(run);
        if (!readWhole(path, text)) {
            if (QFile::exists(path))
                bad(QStringLiteral("cannot read %1").arg(path));
            missing.push_back(run);
            continue;
        }
        const std::vector<std::string> series = seriesLabels(text);
        if (firstFile.isEmpty()) {
            firstFile = path;
            labels = series;
            QStringList header { QStringLiteral("run") };
            header << m_columns << QStringLiteral("tick");
            for (const std::string& label : labels)
                header << QString::fromStdString(label);
            out.buffer() += header.join(u'\t').toStdString() + '\n';
        } else if (series != labels) {
            bad(QStringLiteral("%1 records other series than %2").arg(path, firstFile));
        }
        QStringList prefix { QString::number(run) };
        prefix << values(run);
        appendRows(out, text, prefix.join(u'\t').toStdString() + '\t');
    }
    if (firstFile.isEmpty())
        bad(QStringLiteral("no run of the sweep is complete yet: nothing to merge"));
    out.close();
    output.commit();
    return missing;
}

} // namespace tessra
