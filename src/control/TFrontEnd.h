#pragma once

#include "AutomationHost.h"
#include "FrontEndAutomation.h"
#include "ModelApi.h"

namespace tessra {

/// The automation object: turns each method's text arguments into calls of
/// the front-end operations (through AutomationHost) and direct reads and
/// writes of the model (through ModelApi). It keeps no data of its own.
///
/// GetParam and GetState answer "" and SetParam, SetState, StopIfAdd,
/// TimeSeriesAdd, TimeSeriesExport, SaveWorldPicture, MovieStart and
/// MovieStop answer 0 on any error; the other methods let errors pass to the
/// caller.
class TFrontEnd : public FrontEndAutomation {
public:
    /// `host` must outlive this object.
    TFrontEnd(ModelApi model, AutomationHost& host);

    QString AboutModel(const QString& key) override;
    QString GetLoadModelErr() override;
    QString GetParam(const QString& name) override;
    QString GetState(int column, int row, const QString& name) override;
    double GetTick() override;
    qint16 LoadModel(const QString& path) override;
    void Refresh() override;
    qint16 SetParam(const QString& name, const QString& value) override;
    qint16 SetState(int column, int row, const QString& name, const QString& value) override;
    void SimNew() override;
    void SimPause() override;
    void SimRun() override;
    void SimRunWait() override;
    void SimStep() override;
    void SimWait() override;
    qint16 StopIfAdd(const QString& condition) override;
    void StopIfRemoveAll() override;
    qint16 TimeSeriesAdd(const QString& series) override;
    void TimeSeriesClear() override;
    qint16 TimeSeriesExport(const QString& file, const QString& mode) override;
    void TimeSeriesRemoveAll() override;
    void UiMinimal() override;
    qint16 SaveWorldPicture(const QString& file, int scale) override;
    qint16 MovieStart(const QString& file, int everyTicks, int scale) override;
    qint16 MovieStop() override;
    QStringList GetParamNames() override;
    QStringList GetStateNames() override;
    AutomationWorldSize GetWorldSize() override;
    bool IsRunning() override;
    QStringList TimeSeriesLabels() override;
    AutomationSeriesSamples TimeSeriesGet(const QString& label) override;

private:
    /// The state's storage at a site inside the world, or null.
    float* stateAt(int column, int row, const QString& name) const;
    qint16 addStopCondition(const QString& condition);
    qint16 addSeries(const QString& series);

    ModelApi m_model;
    AutomationHost& m_host;
};

} // namespace tessra
