#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace tessra {

/// A sweep file: a settings file (its [Parameters] and [Time Series] give the
/// base values and the series) with a [Sweep] section that says what to vary:
///
///     [Sweep]
///     Model=../models/life/model.so   ; relative to the sweep file
///     Ticks=500                       ; the ticks of each run
///     Stop=Alive <= 0.01              ; optional: one stop condition
///     Output=results                  ; the results folder (default "results")
///     Replications=3                  ; runs per combination (default 1)
///     SeedParameter=Seed              ; what the replications vary: base, +1, +2 ...
///     Timeout=60                      ; optional: seconds a run may take
///     Density=0.1, 0.2, 0.35          ; a list ...
///     Width=32:128:32                 ; ... or an inclusive range first:last:step
///
/// Every other key of the section names a parameter to vary. Runs are numbered
/// from 0: the combinations in the order of the varied keys, the last key
/// varying fastest, and the replications of a combination innermost.
class SweepPlan {
public:
    /// One varied parameter and its values in order.
    struct Key {
        QString name;
        std::vector<double> values;
    };

    /// Reads `file`. Throws RunError (BadArguments) naming the file and what is
    /// wrong with it. Names of parameters are not checked here (see SweepModel).
    static SweepPlan read(const QString& file);

    /// The values a key's text stands for: "0.1, 0.2" or "first:last:step".
    /// Throws RunError (BadArguments) naming the key.
    static std::vector<double> readValues(const QString& key, const QString& text);

    QString file() const { return m_file; }
    QString model() const { return m_model; }
    std::optional<double> ticks() const { return m_ticks; }
    QString stop() const { return m_stop; }
    QString outputFolder() const { return m_output; }
    int replications() const { return m_replications; }
    QString seedParameter() const { return m_seedParameter; }
    std::optional<double> timeoutSeconds() const { return m_timeout; }
    const std::vector<Key>& keys() const { return m_keys; }

    qint64 runCount() const;
    /// The replication of `run` (0 for the first).
    int replication(qint64 run) const { return static_cast<int>(run % m_replications); }
    /// The value of every varied key in `run`, in key order.
    std::vector<double> keyValues(qint64 run) const;
    /// The run file of `run`: OUTPUT/run-00042.tsv (five digits or more).
    QString runFile(qint64 run) const;
    /// The name of the run file alone: "run-00042.tsv".
    static QString runFileName(qint64 run);

    /// At most this many runs in one sweep.
    static constexpr qint64 MaxRuns = 10'000'000;

private:
    QString m_file;
    QString m_model;
    std::optional<double> m_ticks;
    QString m_stop;
    QString m_output;
    int m_replications = 1;
    QString m_seedParameter;
    std::optional<double> m_timeout;
    std::vector<Key> m_keys;
};

} // namespace tessra
