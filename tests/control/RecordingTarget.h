#pragma once

#include <QCoreApplication>
#include <QEventLoop>
#include <QStringList>
#include <functional>

#include "CommandError.h"
#include "FrontEndAutomation.h"

namespace tessra::test {

/// An automation object that records each call with its arguments as one
/// line ("GetState(3,2,alive)") and answers fixed values. `failingMethod`
/// makes the named method throw; SimRunWait serves events until SimPause is
/// called, unless `waitForPause` is off.
class RecordingTarget : public FrontEndAutomation {
public:
    QStringList calls;
    QString failingMethod;
    QString failure = QStringLiteral("Model file not found");
    bool paused = false;
    bool waitForPause = true;

    QString AboutModel(const QString& key) override
    {
        return record("AboutModel", { key }, "Life");
    }
    QString GetLoadModelErr() override { return record("GetLoadModelErr", {}, ""); }
    QString GetParam(const QString& name) override { return record("GetParam", { name }, "2,5"); }
    QString GetState(int column, int row, const QString& name) override
    {
        return record("GetState", { QString::number(column), QString::number(row), name }, "1");
    }
    double GetTick() override
    {
        record("GetTick", {}, "");
        return 42.5;
    }
    qint16 LoadModel(const QString& path) override { return code("LoadModel", { path }); }
    void Refresh() override { record("Refresh", {}, ""); }
    qint16 SetParam(const QString& name, const QString& value) override
    {
        return code("SetParam", { name, value });
    }
    qint16 SetState(int column, int row, const QString& name, const QString& value) override
    {
        return code("SetState", { QString::number(column), QString::number(row), name, value });
    }
    void SimNew() override { record("SimNew", {}, ""); }
    void SimPause() override
    {
        record("SimPause", {}, "");
        paused = true;
    }
    void SimRun() override { record("SimRun", {}, ""); }
    void SimRunWait() override
    {
        record("SimRunWait", {}, "");
        paused = !waitForPause;
        while (!paused)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        if (waitForPause)
            calls.append(QStringLiteral("SimRunWait done"));
    }
    void SimStep() override { record("SimStep", {}, ""); }
    void SimWait() override { record("SimWait", {}, ""); }
    qint16 StopIfAdd(const QString& condition) override { return code("StopIfAdd", { condition }); }
    void StopIfRemoveAll() override { record("StopIfRemoveAll", {}, ""); }
    qint16 TimeSeriesAdd(const QString& series) override
    {
        return code("TimeSeriesAdd", { series });
    }
    void TimeSeriesClear() override { record("TimeSeriesClear", {}, ""); }
    qint16 TimeSeriesExport(const QString& file, const QString& mode) override
    {
        return code("TimeSeriesExport", { file, mode });
    }
    void TimeSeriesRemoveAll() override { record("TimeSeriesRemoveAll", {}, ""); }
    void UiMinimal() override { record("UiMinimal", {}, ""); }
    qint16 SaveWorldPicture(const QString& file, int scale) override
    {
        return code("SaveWorldPicture", { file, QString::number(scale) });
    }
    qint16 MovieStart(const QString& file, int everyTicks, int scale) override
    {
        return code("MovieStart", { file, QString::number(everyTicks), QString::number(scale) });
    }
    qint16 MovieStop() override { return code("MovieStop", {}); }
    QStringList GetParamNames() override
    {
        record("GetParamNames", {}, "");
        return { "Width", "Density" };
    }
    QStringList GetStateNames() override
    {
        record("GetStateNames", {}, "");
        return { "Alive" };
    }
    AutomationWorldSize GetWorldSize() override
    {
        record("GetWorldSize", {}, "");
        return { 128, 64 };
    }
    bool IsRunning() override
    {
        record("IsRunning", {}, "");
        return true;
    }
    QStringList TimeSeriesLabels() override
    {
        record("TimeSeriesLabels", {}, "");
        return { "Average Alive" };
    }
    AutomationSeriesSamples TimeSeriesGet(const QString& label) override
    {
        record("TimeSeriesGet", { label }, "");
        return { { 1.0, 2.0 }, { 0.5, 0.25 } };
    }

private:
    QString record(const char* method, const QStringList& arguments, const char* answer)
    {
        calls.append(QStringLiteral("%1(%2)").arg(QLatin1String(method), arguments.join(u',')));
        if (failingMethod == QLatin1String(method))
            throw CommandError(failure);
        return QString::fromUtf8(answer);
    }
    qint16 code(const char* method, const QStringList& arguments)
    {
        record(method, arguments, "");
        return 1;
    }
};

} // namespace tessra::test
