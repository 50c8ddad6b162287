#pragma once

#include <QString>
#include <QStringList>

namespace tessra {

/// OUTPUT/failed.tsv: one line per run whose last attempt failed, after a header:
///
///     run <TAB> <column names...> <TAB> status <TAB> message
///
/// with the run's number, its parameter values, how it ended ("exit status 1",
/// "signal 11 (Segmentation fault)", "timed out after 60 s") and the last line it
/// wrote to its standard error. A run that completes later is taken out again.
///
/// Several processes may share the folder (a cluster's jobs): every change holds
/// a lock on OUTPUT/.failed.lock and replaces the file through a temporary file,
/// so no reader ever sees half a file.
class FailureLog {
public:
    FailureLog(const QString& folder, const QStringList& columns);

    /// Writes the failure of `run` (replacing an earlier line of it).
    /// Returns false when the file could not be written.
    bool record(
        qint64 run, const QStringList& values, const QString& status, const QString& message);
    /// Takes `run` out, if it is listed. Returns false when the file could not
    /// be written.
    bool forget(qint64 run);

    QString fileName() const { return m_file; }

private:
    bool update(qint64 run, const QString& line);

    QString m_folder;
    QString m_file;
    QStringList m_columns;
};

} // namespace tessra
