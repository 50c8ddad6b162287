#include "RunProcess.h"

#include "OutputFile.h"

#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <csignal>
#include <cstring>
#include <sys/prctl.h>

namespace tessra {

namespace {

constexpr qsizetype KeptError = 64 * 1024;

QString seconds(double value)
{
    return QString::number(value, 'g', 6);
}

} // namespace

RunProcess::RunProcess(qint64 run, const QString& program, const QStringList& arguments,
    const QString& expectedFile, std::optional<double> timeoutSeconds, QObject* parent)
    : QObject(parent)
    , m_run(run)
    , m_expectedFile(expectedFile)
    , m_timeout(timeoutSeconds)
{
    m_process.setProgram(program);
    m_process.setArguments(arguments);
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.setStandardInputFile(QProcess::nullDevice());
    // The run ends with the process that started it.
    m_process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    connect(&m_process, &QProcess::readyReadStandardError, this, &RunProcess::readError);
    connect(&m_process, &QProcess::finished, this, &RunProcess::ended);
    connect(&m_process, &QProcess::errorOccurred, this, &RunProcess::failedToStart);
    connect(&m_process, &QProcess::started, this, [this] { m_pid = m_process.processId(); });
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &RunProcess::timedOut);
}

void RunProcess::start()
{
    m_process.start();
    if (m_timeout)
        m_timer.start(static_cast<int>(std::min(*m_timeout * 1000.0, 2e9)));
}

void RunProcess::readError()
{
    m_errorTail += m_process.readAllStandardError();
    if (m_errorTail.size() > 2 * KeptError)
        m_errorTail = m_errorTail.right(KeptError);
}

QString RunProcess::lastMessage() const
{
    const QList<QByteArray> lines = m_errorTail.split('\n');
    for (auto line = lines.crbegin(); line != lines.crend(); ++line) {
        const QByteArray text = line->trimmed();
        if (!text.isEmpty())
            return QString::fromUtf8(text);
    }
    return QString();
}

void RunProcess::timedOut()
{
    m_timedOut = true;
    m_process.kill();
}

void RunProcess::ended(int exitCode, QProcess::ExitStatus exitStatus)
{
    if (m_done)
        return;
    m_done = true;
    m_timer.stop();
    readError();
    RunResult result { m_run, false, QString(), lastMessage() };
    if (m_timedOut) {
        result.status = QStringLiteral("timed out after %1 s").arg(seconds(*m_timeout));
    } else if (exitStatus == QProcess::CrashExit) {
        result.status = QStringLiteral("signal %1 (%2)")
                            .arg(exitCode)
                            .arg(QString::fromLocal8Bit(::strsignal(exitCode)));
    } else if (exitCode != 0) {
        result.status = QStringLiteral("exit status %1").arg(exitCode);
    } else if (!QFileInfo::exists(m_expectedFile)) {
        result.status = QStringLiteral("no run file written");
    } else {
        result.complete = true;
    }
    if (!result.complete && m_pid > 0)
        QFile::remove(OutputFile::temporaryNameFor(m_expectedFile, m_pid));
    emit finished(result);
}

void RunProcess::failedToStart(QProcess::ProcessError error)
{
    if (error != QProcess::FailedToStart || m_done)
        return;
    m_done = true;
    m_timer.stop();
    emit finished({ m_run, false, QStringLiteral("could not start"), m_process.errorString() });
}

} // namespace tessra
