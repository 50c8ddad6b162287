#pragma once

#include <QString>
#include <QtGlobal>

namespace tessra {

/// The methods of the automation object, as scripts see them: the 22 of the
/// front end and three that make pictures and movies of the world. Errors that
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
};

} // namespace tessra
