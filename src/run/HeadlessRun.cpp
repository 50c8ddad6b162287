#include "HeadlessRun.h"

#include "CommandError.h"
#include "Core.h"
#include "FrontEnd.h"
#include "HostFunctions.h"
#include "OutputFile.h"
#include "ProgressLine.h"
#include "RunError.h"
#include "RunMedia.h"
#include "RunSetup.h"
#include "SeriesTable.h"
#include "StopConditions.h"
#include "TextNumbers.h"
#include "TimeSeriesExport.h"
#include "TimeSeriesRecorder.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <memory>

namespace tessra {

namespace {

void requireFile(const QString& path, const char* what)
{
    const QFileInfo info(path);
    if (!info.exists())
        bad(QStringLiteral("no %1 \"%2\"").arg(QLatin1String(what), path));
    if (!info.isFile())
        bad(QStringLiteral("the %1 \"%2\" is not a file").arg(QLatin1String(what), path));
}

QString parameterList(const ModelApi& model)
{
    QStringList names;
    for (int i = 0; i < model.paramCount(); ++i)
        names.append(QString::fromStdString(model.paramName(i)));
    return names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", "));
}

void applySets(const ModelApi& model, const RunRequest& request)
{
    for (const auto& [name, text] : request.sets) {
        const std::optional<int> index = RunSetup::findParameter(model, name);
        if (!index)
            bad(QStringLiteral("the model has no parameter \"%1\" (it has: %2)")
                    .arg(name, parameterList(model)));
        const std::optional<double> value = readNumber(text);
        if (!value)
            bad(QStringLiteral("--set %1: \"%2\" is not a number").arg(name, text));
        RunSetup::setParameter(model, *index, *value);
    }
}

void chooseSeries(SeriesTable& table, const QStringList& labels)
{
    for (const QString& label : labels) {
        const auto series = RunSetup::findSeries(table, label);
        if (!series)
            bad(QStringLiteral("no series \"%1\": write an operation (%2) and a state, or a "
                               "parameter's name")
                    .arg(
                        label, SeriesTable::operationNames().mid(0, 6).join(QStringLiteral(", "))));
        if (table.findSeries(series->first, series->second) >= 0)
            continue; // the settings file chose it already
        if (table.isFull())
            bad(QStringLiteral("at most %1 series can be recorded").arg(SeriesTable::SlotCount));
        table.addSeries(series->first, series->second);
    }
}

void chooseStops(StopConditions& stops, const QStringList& texts)
{
    if (texts.isEmpty())
        return;
    stops.setEnabled(true);
    for (const QString& text : texts) {
        const auto condition = RunSetup::parseStopCondition(text);
        if (!condition)
            bad(QStringLiteral("--stop \"%1\" is no condition: write a name, =, >= or <= and "
                               "a number, as \"Tick >= 500\"")
                    .arg(text));
        if (!stops.addCondition(condition->name, condition->comparator, condition->value))
            bad(QStringLiteral("--stop \"%1\": the model has no parameter \"%2\"")
                    .arg(text, condition->name));
    }
}

} // namespace

HeadlessRun::HeadlessRun(RunRequest request)
    : m_request(std::move(request))
{
}

void HeadlessRun::execute()
{
    const RunRequest& request = m_request;
    requireFile(request.model, "model library");
    QString settings = request.settings;
    if (settings.isEmpty())
        settings = QFileInfo(request.model).absoluteDir().filePath(QStringLiteral("default.ini"));
    else
        requireFile(settings, "settings file");

    // Made before any work, so that an output that cannot be written costs no run.
    OutputFile output(request.output);
    RunMedia media(request);

    Core core;
    FrontEnd& frontEnd = core.frontEnd();
    const bool showLog = !request.quiet;
    ProgressLine progress(stderr, showLog && ProgressLine::isTerminal(stderr), showLog);
    HostFunctions host(core);
    host.install();
    // The model's debug log goes to the error output as it is written, from any thread.
    QObject::connect(
        &core.debugLog(), &DebugLog::textWritten, &core.debugLog(),
        [&progress](const QByteArray& text) { progress.log(text.constData()); },
        Qt::DirectConnection);

    // The settings file, or the model folder's default.ini even when it is missing
    // (then the model's own values), never one of the working folder.
    frontEnd.setStartupSettingsFile(QFileInfo(settings).absoluteFilePath());
    try {
        if (!frontEnd.loadModelFile(QFileInfo(request.model).absoluteFilePath()))
            throw RunError(ExitStatus::Refused,
                QStringLiteral("the model does not load: %1").arg(frontEnd.loadModelError()));
    } catch (const CommandError& error) {
        bad(QStringLiteral("%1: %2").arg(settings, error.message()));
    }

    const ModelApi model = core.model();
    SeriesTable& table = core.recorder().table();
    applySets(model, request);
    chooseSeries(table, request.series);
    chooseStops(core.stopConditions(), request.stops);
    if (!request.output.isEmpty() && table.count() == 0)
        bad(QStringLiteral(
            "no series to write: choose them with --series or in the settings file"));

    // A world the model cannot build, or a step that fails, ends the run with the
    // model's reason.
    try {
        frontEnd.newSimulation(QString());
        media.start(model);
        if (!request.ticks || model.simTime() < *request.ticks) {
            progress.start(model.simTime(), request.ticks);
            frontEnd.runWithoutScreen(
                request.ticks.value_or(-1.0), [&progress, &media, &frontEnd](double tick) {
                    // A failed movie ends the run: it is reported as the run's failure.
                    if (!media.stepped(tick))
                        frontEnd.requestPause();
                    progress.update(tick);
                });
            progress.finish();
        }
    } catch (const CommandError& error) {
        progress.finish();
        throw RunError(ExitStatus::Refused, error.message());
    }
    media.finish(frontEnd);

    if (table.count() == 0) {
        if (!request.quiet && !media.any())
            std::fputs("tessra-run: no series chosen, so nothing is written\n", stderr);
        return;
    }
    output.create();
    if (request.append)
        output.copyTarget();
    try {
        core.recorder().exportTimeSeries(output.temporaryName(),
            request.append ? TimeSeriesExport::Append : TimeSeriesExport::Overwrite);
    } catch (const CommandError& error) {
        bad(QStringLiteral("cannot write the series: %1").arg(error.message()));
    }
    output.commit();
}

} // namespace tessra
