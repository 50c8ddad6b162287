#pragma once

#include <QObject>
#include <QString>

#include "ModelApi.h"

namespace tessra {

/// Records samples of the selected time series. The run step and new
/// simulations call it; the time-series window and the export read from it.
class TimeSeriesRecorder : public QObject {
    Q_OBJECT
public:
    explicit TimeSeriesRecorder(ModelApi model, QObject* parent = nullptr);

    /// Empties every sample list; the selected series stay.
    void clearSamples();
    /// Replaces the selected series by those stored in the settings file's
    /// "Time Series" section. Throws CommandError when the file cannot be read.
    void loadTimeSeries(const QString& settingsFile);
    /// Adds one sample at `tick` to every selected series.
    void recordTimeSeries(double tick);

signals:
    /// The sample lists were emptied (views reset their axes).
    void samplesCleared();

private:
    ModelApi m_model;
};

} // namespace tessra
