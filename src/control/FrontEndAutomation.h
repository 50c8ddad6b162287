#pragma once

#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace tessra {

/// The world's size in sites, as GetWorldSize answers it.
struct AutomationWorldSize {
    int width = 0;
    int height = 0;
};

/// The samples of one time series, as TimeSeriesGet answers them: the ticks
/// and the values, one pair per sample, oldest first.
struct AutomationSeriesSamples {
    QList<double> ticks;
    QList<double> values;
};

/// The methods of the automation object, as scripts see them: the 22 of the
/// front end, three that make pictures and movies of the world and six that
/// read what a script cannot learn otherwise. Errors that
/// leave a method are tessra::CommandError or std::exception; the dispatcher
/// turns them into an exception reply.
class FrontEndAutomation {
public:
    virtual ~FrontEndAutomation() = default;

    virtual QString AboutModel(const QString& key) = 0;
    virtual QString GetLoadModelErr() = 0;
    virtual QString GetParam(const QString& name) = 0;
    virtual QString GetState(int column, int row, const QString& name) = 0;
    virtual double GetTick() = 0;
    virtual qint16 LoadModel(const QString& path) = 0;
    virtual void Refresh() = 0;
    virtual qint16 SetParam(const QString& name, const QString& value) = 0;
    virtual qint16 SetState(int column, int row, const QString& name, const QString& value) = 0;
    virtual void SimNew() = 0;
    virtual void SimPause() = 0;
    virtual void SimRun() = 0;
    virtual void SimRunWait() = 0;
    virtual void SimStep() = 0;
    virtual void SimWait() = 0;
    virtual qint16 StopIfAdd(const QString& condition) = 0;
    virtual void StopIfRemoveAll() = 0;
    virtual qint16 TimeSeriesAdd(const QString& series) = 0;
    virtual void TimeSeriesClear() = 0;
    virtual qint16 TimeSeriesExport(const QString& file, const QString& mode) = 0;
    virtual void TimeSeriesRemoveAll() = 0;
    virtual void UiMinimal() = 0;
    /// The world as a PNG or BMP picture, every site scale x scale pixels; 1 written, 0 failed.
    virtual qint16 SaveWorldPicture(const QString& file, int scale) = 0;
    /// Starts recording a movie (a frame every `everyTicks` ticks); 1 started, 0 failed.
    virtual qint16 MovieStart(const QString& file, int everyTicks, int scale) = 0;
    /// Finishes the movie; 1 when one was recorded and is complete, else 0.
    virtual qint16 MovieStop() = 0;
    /// The model's parameter names in the model's order (empty without a model).
    virtual QStringList GetParamNames() = 0;
    /// The model's state names in the model's order (empty without a model).
    virtual QStringList GetStateNames() = 0;
    /// The world's width and height in sites (0 and 0 without a model).
    virtual AutomationWorldSize GetWorldSize() = 0;
    /// True while a run is going (or a single step is under way).
    virtual bool IsRunning() = 0;
    /// The labels of the selected time series, in slot order.
    virtual QStringList TimeSeriesLabels() = 0;
    /// The samples recorded so far of the series of that label (any letter
    /// case); an error when no selected series has that label.
    virtual AutomationSeriesSamples TimeSeriesGet(const QString& label) = 0;
};

} // namespace tessra

Q_DECLARE_METATYPE(tessra::AutomationWorldSize)
Q_DECLARE_METATYPE(tessra::AutomationSeriesSamples)
