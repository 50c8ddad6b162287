#include "FailureLog.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <fcntl.h>
#include <unistd.h>

namespace tessra {

namespace {

// Holds an exclusive lock on a file for the lifetime of the object.
class FileLock {
public:
    explicit FileLock(const QString& path)
        : m_fd(::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666))
    {
        struct flock lock { };
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        while (m_fd >= 0 && ::fcntl(m_fd, F_SETLKW, &lock) != 0 && errno == EINTR) { }
    }
    ~FileLock()
    {
        if (m_fd >= 0)
            ::close(m_fd); // releases the lock
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool held() const { return m_fd >= 0; }

private:
    int m_fd;
};

QString field(QString text)
{
    for (QChar& c : text) {
        if (c == u'\t' || c == u'\n' || c == u'\r')
            c = u' ';
    }
    return text.trimmed();
}

} // namespace

FailureLog::FailureLog(const QString& folder, const QStringList& columns)
    : m_folder(folder)
    , m_file(folder + QStringLiteral("/failed.tsv"))
    , m_columns(columns)
{
}

bool FailureLog::record(
    qint64 run, const QStringList& values, const QString& status, const QString& message)
{
    QStringList fields { QString::number(run) };
    fields << values << field(status) << field(message);
    return update(run, fields.join(u'\t'));
}

bool FailureLog::forget(qint64 run)
{
    if (!QFileInfo::exists(m_file))
        return true;
    return update(run, QString());
}

bool FailureLog::update(qint64 run, const QString& line)
{
    const FileLock lock(m_folder + QStringLiteral("/.failed.lock"));
    if (!lock.held())
        return false;
    QStringList lines;
    QFile old(m_file);
    const QString prefix = QString::number(run) + u'\t';
    if (old.open(QIODevice::ReadOnly)) {
        lines = QString::fromUtf8(old.readAll()).split(u'\n', Qt::SkipEmptyParts);
        if (!lines.isEmpty())
            lines.removeFirst(); // the header
        lines.removeIf([&prefix](const QString& l) { return l.startsWith(prefix); });
        old.close();
    }
    if (!line.isEmpty())
        lines.append(line);
    if (lines.isEmpty())
        return QFile::remove(m_file) || !QFileInfo::exists(m_file);
    std::sort(lines.begin(), lines.end(), [](const QString& a, const QString& b) {
        return a.section(u'\t', 0, 0).toLongLong() < b.section(u'\t', 0, 0).toLongLong();
    });
    QStringList header { QStringLiteral("run") };
    header << m_columns << QStringLiteral("status") << QStringLiteral("message");
    QSaveFile file(m_file);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write((header.join(u'\t') + u'\n' + lines.join(u'\n') + u'\n').toUtf8());
    return file.commit();
}

} // namespace tessra
