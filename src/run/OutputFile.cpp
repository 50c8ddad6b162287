#include "OutputFile.h"

#include "RunError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tessra {

namespace {

// The temporary file to remove when a signal ends the process. Signal handlers
// receive nothing to find an object by, so this is the one process-wide place
// the live OutputFile registers its name in (an async-signal-safe copy).
char interruptPath[4096];
volatile std::sig_atomic_t interruptPathSet = 0;
// A child process writing a file of its own (a movie's encoder): it is ended
// first, so that it cannot make the file again, then the file is removed.
char childPath[4096];
volatile pid_t childProcess = 0;
volatile std::sig_atomic_t childPathSet = 0;

extern "C" void removeAndEnd(int signal)
{
    if (interruptPathSet)
        ::unlink(interruptPath);
    if (childPathSet) {
        if (childProcess > 0) {
            ::kill(childProcess, SIGKILL);
            ::waitpid(childProcess, nullptr, 0);
        }
        ::unlink(childPath);
    }
    ::_exit(128 + signal);
}

void registerForInterrupt(const QByteArray& path)
{
    interruptPathSet = 0;
    if (path.size() < static_cast<qsizetype>(sizeof interruptPath)) {
        std::memcpy(interruptPath, path.constData(), static_cast<std::size_t>(path.size()) + 1);
        interruptPathSet = 1;
    }
}

[[noreturn]] void fail(const QString& what, const QString& file)
{
    throw RunError(ExitStatus::BadArguments,
        QStringLiteral("%1 \"%2\": %3")
            .arg(what, file, QString::fromLocal8Bit(std::strerror(errno))));
}

bool copyDescriptor(int from, int to)
{
    char buffer[1 << 16];
    for (;;) {
        const ssize_t got = ::read(from, buffer, sizeof buffer);
        if (got == 0)
            return true;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t put = ::write(to, buffer + done, static_cast<std::size_t>(got - done));
            if (put < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            done += put;
        }
    }
}

} // namespace

OutputFile::OutputFile(const QString& target)
    : m_target(target)
{
    const QString folder = target.isEmpty() ? QDir::tempPath() : QFileInfo(target).absolutePath();
    const QString name
        = target.isEmpty() ? QStringLiteral("tessra-run") : QFileInfo(target).fileName();
    if (!target.isEmpty() && QFileInfo(target).isDir()) {
        errno = EISDIR;
        fail(QStringLiteral("Cannot write"), target);
    }
    m_temporary = target.isEmpty()
        ? QStringLiteral("%1/.%2.%3.tmp").arg(folder, name).arg(::getpid())
        : temporaryNameFor(target, ::getpid());
    create();
    ::unlink(QFile::encodeName(m_temporary).constData());
    interruptPathSet = 0;
    m_created = false;
}

QString OutputFile::temporaryNameFor(const QString& target, qint64 pid)
{
    const QFileInfo info(target);
    return QStringLiteral("%1/.%2.%3.tmp").arg(info.absolutePath(), info.fileName()).arg(pid);
}

void OutputFile::create()
{
    const QByteArray path = QFile::encodeName(m_temporary);
    registerForInterrupt(path);
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0)
        fail(QStringLiteral("Cannot write into the folder of"),
            m_target.isEmpty() ? QDir::tempPath() : m_target);
    ::close(fd);
    m_created = true;
}

OutputFile::~OutputFile()
{
    interruptPathSet = 0;
    if (m_created && !m_done)
        ::unlink(QFile::encodeName(m_temporary).constData());
}

void OutputFile::copyTarget()
{
    if (m_target.isEmpty() || !QFileInfo::exists(m_target))
        return;
    const int from = ::open(QFile::encodeName(m_target).constData(), O_RDONLY | O_CLOEXEC);
    if (from < 0)
        fail(QStringLiteral("Cannot read"), m_target);
    const int to
        = ::open(QFile::encodeName(m_temporary).constData(), O_WRONLY | O_TRUNC | O_CLOEXEC);
    struct stat status { };
    const bool copied = to >= 0 && copyDescriptor(from, to);
    if (copied && ::fstat(from, &status) == 0)
        ::fchmod(to, status.st_mode & 07777);
    ::close(from);
    if (to >= 0)
        ::close(to);
    if (!copied)
        fail(QStringLiteral("Cannot copy"), m_target);
}

void OutputFile::commit()
{
    const QByteArray temporary = QFile::encodeName(m_temporary);
    if (m_target.isEmpty()) {
        const int from = ::open(temporary.constData(), O_RDONLY | O_CLOEXEC);
        std::fflush(stdout);
        const bool copied = from >= 0 && copyDescriptor(from, STDOUT_FILENO);
        if (from >= 0)
            ::close(from);
        if (!copied)
            fail(QStringLiteral("Cannot write the series to"),
                QStringLiteral("the standard output"));
        return;
    }
    if (::rename(temporary.constData(), QFile::encodeName(m_target).constData()) != 0)
        fail(QStringLiteral("Cannot write"), m_target);
    interruptPathSet = 0;
    m_done = true;
}

void OutputFile::removeOnInterrupt(qint64 processId, const QString& file)
{
    childPathSet = 0;
    childProcess = 0;
    const QByteArray path = QFile::encodeName(file);
    if (file.isEmpty() || path.size() >= static_cast<qsizetype>(sizeof childPath))
        return;
    std::memcpy(childPath, path.constData(), static_cast<std::size_t>(path.size()) + 1);
    childProcess = static_cast<pid_t>(processId);
    childPathSet = 1;
}

void OutputFile::installInterruptHandlers()
{
    struct sigaction action { };
    action.sa_handler = removeAndEnd;
    sigemptyset(&action.sa_mask);
    for (int signal : { SIGINT, SIGTERM, SIGHUP })
        ::sigaction(signal, &action, nullptr);
}

} // namespace tessra
