#pragma once

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <optional>

namespace tessra {

/// How one run of a sweep ended.
struct RunResult {
    qint64 run = -1;
    bool complete = false;
    /// "exit status 1", "signal 11 (Segmentation fault)", "timed out after 60 s".
    QString status;
    /// The last line the run wrote to its standard error.
    QString message;
};

/// One run of a sweep in a process of its own (tessra-run with the run's
/// arguments), so that a model that crashes, hangs or ends the process takes
/// only its own run along. The process is killed when it takes longer than the
/// timeout, and ends with this one's process (it gets SIGTERM then, and removes
/// its temporary file). Its standard error is kept for the last message. When it
/// fails, a temporary run file it may have left is removed.
class RunProcess : public QObject {
    Q_OBJECT
public:
    /// `program` runs with `arguments`; `expectedFile` must exist afterwards for
    /// the run to count as complete.
    RunProcess(qint64 run, const QString& program, const QStringList& arguments,
        const QString& expectedFile, std::optional<double> timeoutSeconds,
        QObject* parent = nullptr);

    void start();
    qint64 run() const { return m_run; }

signals:
    void finished(const tessra::RunResult& result);

private:
    void readError();
    void ended(int exitCode, QProcess::ExitStatus exitStatus);
    void failedToStart(QProcess::ProcessError error);
    void timedOut();
    QString lastMessage() const;

    qint64 m_run;
    QString m_expectedFile;
    std::optional<double> m_timeout;
    QProcess m_process;
    QTimer m_timer;
    QByteArray m_errorTail;
    qint64 m_pid = 0;
    bool m_timedOut = false;
    bool m_done = false;
};

} // namespace tessra
