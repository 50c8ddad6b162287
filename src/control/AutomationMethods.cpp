// The automation methods: the one table of them, each entry calling the core
// (the front end, the recorder and its series table, the series choice, the
// stop conditions, the movie recorder) or the model binding directly.
#include <QLocale>
#include <cmath>
#include <limits>

#include "AutomationDispatcher.h"
#include "CommandError.h"
#include "Core.h"
#include "FrontEnd.h"
#include "MovieRecorder.h"
#include "NumberFormat.h"
#include "SeriesChoice.h"
#include "SeriesTable.h"
#include "StopConditions.h"
#include "TimeSeriesExport.h"
#include "TimeSeriesRecorder.h"
#include "WorldPicture.h"

namespace tessra {

namespace {

using T = AutomationType;
using A = const QVariantList&;

QString text(A a, int i)
{
    return a.at(i).toString();
}
int int32(A a, int i)
{
    return a.at(i).toInt();
}

QVariant int16(bool ok)
{
    return QVariant::fromValue(qint16(ok ? 1 : 0));
}

/// Runs `body`; any error of it answers 0, success 1.
template <class Body> QVariant zeroOnError(Body body)
{
    try {
        return int16(body());
    } catch (...) {
        return int16(false);
    }
}

/// A method without a result.
template <class Body> auto none(Body body)
{
    return [body](Core& core, A a) {
        body(core, a);
        return QVariant();
    };
}

QString aboutModel(const ModelApi& model, const QString& key)
{
    static const char* const Keys[] = { "name", "version", "copyright", "comments", "url" };
    const QString lower = QLocale().toLower(key);
    for (int field = 0; field < 5; ++field)
        if (lower == QLatin1String(Keys[field]))
            return QString::fromStdString(model.aboutModel(field));
    return {};
}

QString getParam(const ModelApi& model, const QString& name)
{
    try {
        const double* value = model.paramRef(name.toStdString());
        return value ? formatGeneral(*value) : QString();
    } catch (...) {
        return {};
    }
}

bool setParam(const ModelApi& model, const QString& name, const QString& value)
{
    double* target = model.paramRef(name.toStdString());
    if (!target)
        return false;
    const std::optional<double> number = parseNumber(value);
    if (!number)
        return false;
    *target = *number;
    return true;
}

/// The state's storage at a site inside the world, or null: the model library
/// is never handed a site outside its world.
float* stateAt(const ModelApi& model, int column, int row, const QString& name)
{
    if (column < 0 || row < 0 || column >= model.worldWidth() || row >= model.worldHeight())
        return nullptr;
    return model.stateRef(column, row, name.toStdString());
}

QString getState(const ModelApi& model, int column, int row, const QString& name)
{
    try {
        const float* value = stateAt(model, column, row, name);
        return value ? formatGeneral(double(*value)) : QString();
    } catch (...) {
        return {};
    }
}

bool setState(const ModelApi& model, int column, int row, const QString& name, const QString& value)
{
    float* target = stateAt(model, column, row, name);
    if (!target)
        return false;
    const std::optional<double> number = parseNumber(value);
    // A finite value beyond the float range would be stored as infinity.
    if (!number || std::fabs(*number) > double(std::numeric_limits<float>::max()))
        return false;
    *target = static_cast<float>(*number);
    return true;
}

QStringList names(const ModelApi& model, bool params)
{
    QStringList result;
    if (!model.isLoaded())
        return result;
    const int count = params ? model.paramCount() : model.stateCount();
    for (int i = 0; i < count; ++i)
        result.append(QString::fromStdString(params ? model.paramName(i) : model.stateName(i)));
    return result;
}

void simNew(FrontEnd& frontEnd)
{
    // Refused before the pause, which would end the run a waiting model serves.
    frontEnd.refuseWhileModelWaits("A new simulation cannot be created");
    frontEnd.pauseAndWait();
    frontEnd.newSimulation(QString());
}

/// "NAME >= VALUE", "NAME <= VALUE" or "NAME = VALUE", the value in the user's
/// locale. The switch of the stop conditions goes on first, even when the
/// text is refused.
bool addStopCondition(StopConditions& stop, const QString& condition)
{
    stop.setEnabled(true);
    const qsizetype equals = condition.indexOf(u'=');
    if (equals <= 0)
        return false;
    const std::optional<double> value = parseNumber(condition.mid(equals + 1));
    if (!value)
        return false;
    int comparator = 0;
    qsizetype nameEnd = equals;
    if (condition.indexOf(QLatin1String(">=")) == equals - 1) {
        comparator = 1;
        nameEnd = equals - 1;
    } else if (condition.indexOf(QLatin1String("<=")) == equals - 1) {
        comparator = -1;
        nameEnd = equals - 1;
    }
    return stop.addCondition(condition.left(nameEnd).trimmed(), comparator, *value);
}

/// "OPERATION SUBJECT": chosen in the series choice (the time-series window
/// shows it) and added.
bool addSeries(SeriesChoice& choice, const QString& series)
{
    if (!choice.chooseText(series))
        return false;
    choice.add();
    return true;
}

void removeAllSeries(SeriesTable& table)
{
    for (int count = table.count(); count > 0;) {
        table.removeSeriesAtRow(0);
        const int left = table.count();
        if (left >= count)
            throw CommandError(QStringLiteral("Could not remove the time series"));
        count = left;
    }
}

bool exportSeries(Core& core, const QString& file, const QString& mode)
{
    core.frontEnd().pauseAndWait();
    const bool append = QLocale().toLower(mode).trimmed() == QLatin1String("append");
    core.recorder().exportTimeSeries(
        file, append ? TimeSeriesExport::Append : TimeSeriesExport::Overwrite);
    return true;
}

bool saveWorldPicture(FrontEnd& frontEnd, const QString& file, int scale)
{
    if (!frontEnd.isModelLoaded())
        throw CommandError(QStringLiteral("No model loaded"));
    if (frontEnd.isInsideModelCall())
        throw CommandError(QStringLiteral("The world cannot be drawn while the model is at work"));
    frontEnd.drawWorld();
    WorldPicture::save(frontEnd.worldImage(), file, scale);
    return true;
}

bool movieStart(Core& core, const QString& file, int everyTicks, int scale)
{
    if (!core.frontEnd().isModelLoaded())
        throw CommandError(QStringLiteral("No model loaded"));
    MovieOptions options;
    options.file = file;
    options.everyTicks = everyTicks;
    options.scale = scale;
    core.movieRecorder().start(options);
    return true;
}

/// The labels of the used series slots, in slot order.
QStringList seriesLabels(const SeriesTable& table)
{
    QStringList labels;
    for (int slot = 0; slot < SeriesTable::SlotCount; ++slot)
        if (table.isUsed(slot))
            labels.append(table.label(slot));
    return labels;
}

/// The samples of the series of that label: as TimeSeriesLabels gives it
/// first, then in any letter case.
AutomationSeriesSamples seriesSamples(const SeriesTable& table, const QString& label)
{
    const QStringList labels = seriesLabels(table);
    int index = int(labels.indexOf(label));
    if (index < 0)
        index = findIgnoringCase(labels, label.trimmed());
    if (index < 0)
        throw CommandError(QStringLiteral("No time series \"%1\" is selected").arg(label));
    AutomationSeriesSamples result;
    int seen = 0;
    for (int slot = 0; slot < SeriesTable::SlotCount; ++slot) {
        if (!table.isUsed(slot) || seen++ != index)
            continue;
        const SampleList& list = table.samples(slot);
        result.ticks.reserve(qsizetype(list.size()));
        result.values.reserve(qsizetype(list.size()));
        for (const Sample& sample : list.samples()) {
            result.ticks.append(sample.tick);
            result.values.append(sample.value);
        }
    }
    return result;
}

std::vector<AutomationMethod> buildMethods()
{
    using C = Core&;
    std::vector<AutomationMethod> m = {
        { 1, "AboutModel", { { "key", T::Text } }, T::Text,
            [](C c, A a) { return QVariant(aboutModel(c.model(), text(a, 0))); } },
        { 2, "GetLoadModelErr", {}, T::Text,
            [](C c, A) {
                return QVariant(
                    QString::fromStdString(c.model().loadModelError().value_or(std::string())));
            } },
        { 3, "GetParam", { { "name", T::Text } }, T::Text,
            [](C c, A a) { return QVariant(getParam(c.model(), text(a, 0))); } },
        { 4, "GetState", { { "column", T::Int32 }, { "row", T::Int32 }, { "name", T::Text } },
            T::Text,
            [](C c, A a) {
                return QVariant(getState(c.model(), int32(a, 0), int32(a, 1), text(a, 2)));
            } },
        { 5, "GetTick", {}, T::Double, [](C c, A) { return QVariant(c.model().simTime()); } },
        // An empty path runs the load's steps against the model the library
        // holds: a new simulation from its default.ini.
        { 6, "LoadModel", { { "path", T::Text } }, T::Int16,
            [](C c, A a) { return int16(c.frontEnd().loadModelFile(text(a, 0))); } },
        { 7, "Refresh", {}, T::None, none([](C c, A) { c.frontEnd().atRefreshTimer(); }) },
        { 8, "SetParam", { { "name", T::Text }, { "value", T::Text } }, T::Int16,
            [](C c, A a) {
                return zeroOnError([&] { return setParam(c.model(), text(a, 0), text(a, 1)); });
            } },
        { 9, "SetState",
            { { "column", T::Int32 }, { "row", T::Int32 }, { "name", T::Text },
                { "value", T::Text } },
            T::Int16,
            [](C c, A a) {
                return zeroOnError([&] {
                    return setState(c.model(), int32(a, 0), int32(a, 1), text(a, 2), text(a, 3));
                });
            } },
        { 10, "SimNew", {}, T::None, none([](C c, A) { simNew(c.frontEnd()); }) },
        { 11, "SimPause", {}, T::None, none([](C c, A) { c.frontEnd().pauseAndWait(); }) },
        { 12, "SimRun", {}, T::None, none([](C c, A) { c.frontEnd().Run1Click(); }) },
        { 13, "SimRunWait", {}, T::None, none([](C c, A) {
             c.frontEnd().Run1Click();
             c.frontEnd().waitWhileRunning();
         }) },
        { 14, "SimStep", {}, T::None, none([](C c, A) { c.frontEnd().sbStepClick(); }) },
        { 15, "SimWait", {}, T::None, none([](C c, A) { c.frontEnd().waitWhileRunning(); }) },
        { 16, "StopIfAdd", { { "condition", T::Text } }, T::Int16,
            [](C c, A a) {
                return zeroOnError(
                    [&] { return addStopCondition(c.stopConditions(), text(a, 0)); });
            } },
        { 17, "StopIfRemoveAll", {}, T::None, none([](C c, A) {
             c.stopConditions().removeAllConditions();
             c.stopConditions().setEnabled(false);
         }) },
        { 18, "TimeSeriesAdd", { { "series", T::Text } }, T::Int16,
            [](C c, A a) {
                return zeroOnError([&] { return addSeries(c.seriesChoice(), text(a, 0)); });
            } },
        { 19, "TimeSeriesClear", {}, T::None, none([](C c, A) { c.recorder().clearSamples(); }) },
        { 20, "TimeSeriesExport", { { "file", T::Text }, { "mode", T::Text } }, T::Int16,
            [](C c, A a) {
                return zeroOnError([&] { return exportSeries(c, text(a, 0), text(a, 1)); });
            } },
        { 21, "TimeSeriesRemoveAll", {}, T::None,
            none([](C c, A) { removeAllSeries(c.recorder().table()); }) },
        { 22, "UiMinimal", {}, T::None, none([](C c, A) { c.frontEnd().showMinimalUi(); }) },
        { 23, "SaveWorldPicture", { { "file", T::Text }, { "scale", T::Int32 } }, T::Int16,
            [](C c, A a) {
                return zeroOnError(
                    [&] { return saveWorldPicture(c.frontEnd(), text(a, 0), int32(a, 1)); });
            } },
        { 24, "MovieStart",
            { { "file", T::Text }, { "everyTicks", T::Int32 }, { "scale", T::Int32 } }, T::Int16,
            [](C c, A a) {
                return zeroOnError(
                    [&] { return movieStart(c, text(a, 0), int32(a, 1), int32(a, 2)); });
            } },
        { 25, "MovieStop", {}, T::Int16,
            [](C c, A) { return zeroOnError([&] { return c.movieRecorder().stop(); }); } },
        { 26, "GetParamNames", {}, T::TextList,
            [](C c, A) { return QVariant(names(c.model(), true)); } },
        { 27, "GetStateNames", {}, T::TextList,
            [](C c, A) { return QVariant(names(c.model(), false)); } },
        { 28, "GetWorldSize", {}, T::WorldSize,
            [](C c, A) {
                const ModelApi model = c.model();
                const AutomationWorldSize size = model.isLoaded()
                    ? AutomationWorldSize { model.worldWidth(), model.worldHeight() }
                    : AutomationWorldSize {};
                return QVariant::fromValue(size);
            } },
        { 29, "IsRunning", {}, T::Bool, [](C c, A) { return QVariant(c.frontEnd().isRunning()); } },
        { 30, "TimeSeriesLabels", {}, T::TextList,
            [](C c, A) { return QVariant(seriesLabels(c.recorder().table())); } },
        { 31, "TimeSeriesGet", { { "label", T::Text } }, T::SeriesSamples,
            [](C c, A a) {
                return QVariant::fromValue(seriesSamples(c.recorder().table(), text(a, 0)));
            } },
    };
    return m;
}

} // namespace

const std::vector<AutomationMethod>& AutomationDispatcher::methods()
{
    static const std::vector<AutomationMethod> table = buildMethods();
    return table;
}

} // namespace tessra
