#include "TimeSeriesRecorder.h"

namespace tessra {

TimeSeriesRecorder::TimeSeriesRecorder(ModelApi model, QObject* parent)
    : QObject(parent), m_model(model)
{
}

void TimeSeriesRecorder::clearSamples() { emit samplesCleared(); }

void TimeSeriesRecorder::loadTimeSeries(const QString& settingsFile) { (void)settingsFile; }

void TimeSeriesRecorder::recordTimeSeries(double tick) { (void)tick; }

} // namespace tessra
