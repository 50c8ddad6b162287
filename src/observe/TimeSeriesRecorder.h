#pragma once

#include <QObject>
#include <QString>

#include "ModelApi.h"
#include "SeriesTable.h"
#include "TimeSeriesExport.h"

namespace tessra {

/// Records samples of the selected time series and is the one door to them:
/// the run step and new simulations record and clear through it, the
/// time-series window, the settings files and automation reach the series
/// table, the export and the settings section through it. Lives on the GUI
/// thread as long as the program.
class TimeSeriesRecorder : public QObject {
    Q_OBJECT
public:
    explicit TimeSeriesRecorder(ModelApi model, QObject* parent = nullptr);

    /// The series slots and their samples (add, remove, read samples).
    SeriesTable& table() { return m_table; }
    const SeriesTable& table() const { return m_table; }

    /// Empties every sample list; the selected series stay. Emits
    /// samplesCleared.
    void clearSamples();
    /// Adds one sample at `tick` to every selected series, in slot order:
    /// statistics are computed by passes over the world (two for Variance,
    /// Skewness and Kurtosis), a Parameter series takes the parameter's
    /// value now. Does not redraw anything; emits samplesRecorded once.
    void recordTimeSeries(double tick);

    /// Replaces the selected series by those stored in the settings file's
    /// "Time Series" section. Throws CommandError when the file cannot be
    /// read or when an entry is refused (see TimeSeriesSettings).
    void loadTimeSeries(const QString& settingsFile);
    /// Stores the selected series in the settings file's "Time Series"
    /// section. Throws CommandError when the file cannot be written.
    void saveTimeSeries(const QString& settingsFile) const;
    /// Stores the model's parameters and the selected series in the settings
    /// file in one atomic replacement (see TimeSeriesSettings::saveSettingsFile).
    void saveSettingsFile(const QString& settingsFile) const;

    /// The question an export with TimeSeriesExport::AskToAppend asks when
    /// the file exists; the window installs its message box here.
    void setAppendQuestion(AppendQuestion question) { m_appendQuestion = std::move(question); }
    /// Writes the recorded series to `fileName` (see TimeSeriesExport).
    /// `appendMode`: TimeSeriesExport::AskToAppend, Append or Overwrite.
    /// Throws CommandError with the export's messages.
    void exportTimeSeries(const QString& fileName, int appendMode, double fromTick = -1.0,
        double toTick = -1.0) const;

signals:
    /// The sample lists were emptied (views reset their axes).
    void samplesCleared();

private:
    ModelApi m_model;
    SeriesTable m_table;
    AppendQuestion m_appendQuestion;
};

} // namespace tessra
