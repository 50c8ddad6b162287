#pragma once

#include <QStringList>

#include "AutomationHost.h"
#include "CommandError.h"

namespace tessra::test {

/// Front-end operations that record each call as one line
/// ("addStopCondition(Tick,1,100)") and behave like a small front end: stop
/// conditions accept Tick and the given parameters in any letter case, the
/// time-series window lists the seven operations, refuses a pair twice, and
/// keeps a series list that Remove shortens.
class RecordingHost : public AutomationHost {
public:
    QStringList calls;
    QStringList states { "Alive", "Age" };
    QStringList parameters { "Width", "Height", "Density", "Seed" };
    QStringList series;
    bool loadSucceeds = true;
    bool removeWorks = true;
    QString exportFailure; // non-empty: the export throws it
    bool running = false;

    bool loadModelFile(const QString& path) override
    {
        record(QStringLiteral("loadModelFile(%1)").arg(path));
        return loadSucceeds;
    }
    void refresh() override { record("refresh()"); }
    void simNew() override { record("simNew()"); }
    void pauseAndWait() override { record("pauseAndWait()"); }
    void run() override { record("run()"); }
    void waitWhileRunning() override { record("waitWhileRunning()"); }
    void step() override { record("step()"); }
    void showMinimalUi() override { record("showMinimalUi()"); }

    void setStopEnabled(bool enabled) override
    {
        record(QStringLiteral("setStopEnabled(%1)").arg(int(enabled)));
    }
    bool addStopCondition(const QString& name, int comparator, double value) override
    {
        record(QStringLiteral("addStopCondition(%1,%2,%3)").arg(name).arg(comparator).arg(value));
        return name.compare("Tick", Qt::CaseInsensitive) == 0
            || parameters.contains(name, Qt::CaseInsensitive);
    }
    void removeAllStopConditions() override { record("removeAllStopConditions()"); }

    QStringList operationNames() const override
    {
        return { "Minimum", "Maximum", "Average", "Variance", "Skewness", "Kurtosis", "Parameter" };
    }
    QStringList selectOperation(int operation) override
    {
        record(QStringLiteral("selectOperation(%1)").arg(operation));
        return operation == 6 ? parameters : states;
    }
    void addSeries(int operation, int subject) override
    {
        record(QStringLiteral("addSeries(%1,%2)").arg(operation).arg(subject));
        const QString label = operationNames().at(operation) + ' '
            + (operation == 6 ? parameters : states).at(subject);
        if (series.contains(label))
            throw CommandError("Operation/state pair already being plotted");
        series.append(label);
    }
    void clearSamples() override { record("clearSamples()"); }
    int seriesCount() const override { return int(series.size()); }
    void removeSeriesAtRow(int row) override
    {
        record(QStringLiteral("removeSeriesAtRow(%1)").arg(row));
        if (removeWorks)
            series.removeAt(row);
    }
    void exportTimeSeries(const QString& file, bool append) override
    {
        record(QStringLiteral("exportTimeSeries(%1,%2)").arg(file).arg(int(append)));
        if (!exportFailure.isEmpty())
            throw CommandError(exportFailure);
    }
    void saveWorldPicture(const QString& file, int scale) override
    {
        record(QStringLiteral("saveWorldPicture(%1,%2)").arg(file).arg(scale));
    }
    void movieStart(const QString& file, int everyTicks, int scale) override
    {
        record(QStringLiteral("movieStart(%1,%2,%3)").arg(file).arg(everyTicks).arg(scale));
    }
    bool movieStop() override
    {
        record(QStringLiteral("movieStop()"));
        return true;
    }
    bool isRunning() const override { return running; }
    QStringList seriesLabels() const override { return series; }
    void seriesSamples(int index, QList<double>& ticks, QList<double>& values) const override
    {
        // Series n has the samples (1, n) and (2, n + 0.5).
        ticks = { 1.0, 2.0 };
        values = { double(index), index + 0.5 };
    }

private:
    void record(const QString& call) { calls.append(call); }
};

} // namespace tessra::test
