#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace tessra {

/// The front-end operations the automation object drives, beyond the direct
/// model reads and writes it makes through ModelApi. The application implements
/// it with the real front end, recorder, time-series window and stop
/// conditions. Every call arrives on the GUI thread. None of them may show a
/// dialog or message box: failures are answers or exceptions
/// (tessra::CommandError or std::exception).
class AutomationHost {
public:
    virtual ~AutomationHost() = default;

    /// loadModelFile: pauses and waits first; on success creates the first
    /// simulation. An empty path loads nothing and runs the same steps against
    /// the model the library holds. True when a model is loaded. Shows nothing
    /// on failure (the script reads the reason from the load error).
    virtual bool loadModelFile(const QString& path) = 0;
    /// One display refresh now, as the refresh timer gives it (atRefreshTimer).
    virtual void refresh() = 0;
    /// pauseAndWait, then newSimulation with no settings file.
    virtual void simNew() = 0;
    /// Requests a pause and serves events until no step is under way.
    virtual void pauseAndWait() = 0;
    /// The Run command (Run1Click); returns at once.
    virtual void run() = 0;
    /// Serves events until no run is going; returns at once when none is.
    virtual void waitWhileRunning() = 0;
    /// The Step command (sbStepClick): one tick and a refresh before returning.
    virtual void step() = 0;
    /// showMinimalUi.
    virtual void showMinimalUi() = 0;

    /// The enable switch of the stop conditions.
    virtual void setStopEnabled(bool enabled) = 0;
    /// Adds the condition name (Tick or a parameter, any letter case),
    /// comparator (+1 ">=", -1 "<=", 0 "="), value. False when refused.
    virtual bool addStopCondition(const QString& name, int comparator, double value) = 0;
    /// Removes every stop condition (the switch is left alone).
    virtual void removeAllStopConditions() = 0;

    /// The operations of the time-series window, in list order.
    virtual QStringList operationNames() const = 0;
    /// Selects operation `operation` (index into operationNames) in the
    /// time-series window and answers its subjects in list order: the state
    /// names for a statistic, the parameter names for "Parameter".
    virtual QStringList selectOperation(int operation) = 0;
    /// The window's Add command for the selected operation and subject row
    /// `subject`. Throws CommandError when it refuses (pair already plotted,
    /// every slot in use).
    virtual void addSeries(int operation, int subject) = 0;
    /// The window's Clear command: the samples go, the series stay.
    virtual void clearSamples() = 0;
    /// Rows in the window's series list.
    virtual int seriesCount() const = 0;
    /// Selects row `row` of the series list and gives the Remove command.
    virtual void removeSeriesAtRow(int row) = 0;
    /// Writes every recorded row to `file` (appending or overwriting), never
    /// asking. Throws CommandError when nothing can be written or writing fails.
    virtual void exportTimeSeries(const QString& file, bool append) = 0;

    /// Draws the world and writes it to `file` (PNG, or BMP by suffix), every
    /// site `scale` x `scale` pixels. Throws CommandError naming the file and
    /// the reason when it cannot.
    virtual void saveWorldPicture(const QString& file, int scale) = 0;
    /// Starts recording a movie of the run to `file` (.mp4, .webm, .gif or a
    /// folder for PNG frames), a frame every `everyTicks` ticks. Throws
    /// CommandError naming the file and the reason when it cannot start.
    virtual void movieStart(const QString& file, int everyTicks, int scale) = 0;
    /// Finishes the movie; true when one was recorded and its file is complete.
    virtual bool movieStop() = 0;

    /// Whether a run is going or a single step is under way.
    virtual bool isRunning() const = 0;
    /// The labels of the used series slots, in slot order.
    virtual QStringList seriesLabels() const = 0;
    /// The samples of the series at `index` in seriesLabels(), oldest first.
    virtual void seriesSamples(int index, QList<double>& ticks, QList<double>& values) const = 0;
};

} // namespace tessra
