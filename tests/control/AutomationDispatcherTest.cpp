// The automation methods through their dispatcher, without a bus, against the
// program's real core with the Life example loaded: the call rules, the
// conversion of arguments, and each method's answer on success and failure.
#include <gtest/gtest.h>

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <stdexcept>

#include "AutomationDispatcher.h"
#include "Core.h"
#include "FrontEnd.h"
#include "SeriesChoice.h"
#include "SeriesTable.h"
#include "StopConditions.h"
#include "TestPaths.h"
#include "TimeSeriesRecorder.h"

/// Readable QStrings in test failures.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace tessra {
namespace {

using K = AutomationErrorKind;

template <typename Case> std::string caseLabel(const ::testing::TestParamInfo<Case>& c)
{
    return c.param.label;
}

class GermanLocale {
public:
    GermanLocale() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }
    ~GermanLocale() { QLocale::setDefault(QLocale::c()); }
};

const QVariant NoResult;
const QVariant Zero = QVariant::fromValue(qint16(0));
const QVariant One = QVariant::fromValue(qint16(1));

/// The core with Life loaded: a fresh 128 x 128 world at tick 0, Density 0.3.
class LifeCore {
public:
    LifeCore()
    {
        loaded = core.frontEnd().loadModelFile(lifePath());
        // Export never asks the user anything.
        core.recorder().setAppendQuestion([](const QString&) {
            ADD_FAILURE() << "automation asked the user";
            return AppendAnswer::Cancel;
        });
    }

    static QString lifePath() { return QString::fromStdString(test::exampleModel("life")); }

    /// The reply of a call that must succeed.
    QVariant call(const QString& name, const QVariantList& arguments = {}, bool wantResult = true)
    {
        const AutomationReply reply = dispatcher.invoke(name, wantResult, arguments);
        EXPECT_TRUE(reply.ok()) << name.toStdString() << ": " << reply.error->message.toStdString();
        return reply.value;
    }
    void run(const QString& name, const QVariantList& arguments = {})
    {
        EXPECT_EQ(call(name, arguments, false), NoResult) << name.toStdString();
    }
    QString text(const QString& name, const QVariantList& arguments = {})
    {
        return call(name, arguments).toString();
    }
    double tick() const { return core.model().simTime(); }
    StopConditions& stop() { return core.stopConditions(); }
    SeriesTable& table() { return core.recorder().table(); }

    Core core;
    AutomationDispatcher dispatcher { core };
    bool loaded = false;
};

class AutomationMethods : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(life.loaded) << life.text("GetLoadModelErr").toStdString();
    }
    LifeCore life;
};

TEST_F(AutomationMethods, answer_with_their_declared_types)
{
    const std::pair<QString, QVariant> answers[] = {
        { "AboutModel", QVariant(QString("Life")) },
        { "GetLoadModelErr", QVariant(QString("")) },
        { "GetParam", QVariant(QString("0.3")) },
        { "GetState", QVariant(QString("")) },
        { "GetTick", QVariant(0.0) },
        { "SetParam", One },
        { "IsRunning", QVariant(false) },
        { "GetStateNames", QVariant(QStringList { "Alive", "Age" }) },
        { "GetParamNames", QVariant(QStringList { "Width", "Height", "Density", "Seed" }) },
        { "TimeSeriesLabels", QVariant(QStringList()) },
    };
    const QVariantList arguments[]
        = { { "name" }, {}, { "Density" }, { 0, 0, "Nope" }, {}, { "Seed", "3" }, {}, {}, {}, {} };
    for (std::size_t i = 0; i < std::size(answers); ++i) {
        const auto& [name, expected] = answers[i];
        SCOPED_TRACE(name.toStdString());
        const QVariant value = life.call(name, arguments[i]);
        EXPECT_EQ(value, expected);
        EXPECT_EQ(value.metaType(), expected.metaType());
    }
    const QVariant size = life.call("GetWorldSize");
    ASSERT_EQ(size.metaType(), QMetaType::fromType<AutomationWorldSize>());
    EXPECT_EQ(size.value<AutomationWorldSize>().width, 128);
    EXPECT_EQ(size.value<AutomationWorldSize>().height, 128);
    // Methods without a result answer nothing; a result need not be asked for.
    life.run("SimStep");
    EXPECT_EQ(life.tick(), 1.0);
    EXPECT_EQ(life.call("SetParam", { "Seed", "4" }, false), One);
    EXPECT_EQ(life.text("GetParam", { "Seed" }), "4");
}

TEST_F(AutomationMethods, names_match_in_any_ascii_letter_case)
{
    EXPECT_EQ(life.call("SETPARAM", { "Density", 0.75 }), One);
    EXPECT_EQ(life.text("getparam", { "Density" }), "0.75");
    EXPECT_EQ(life.call("gettick"), QVariant(0.0));
    EXPECT_EQ(life.call("getstatenames"), QVariant(QStringList { "Alive", "Age" }));
    EXPECT_EQ(life.call("moviestop"), Zero); // nothing records
}

TEST_F(AutomationMethods, arguments_convert_to_their_declared_types)
{
    // Texts read as numbers; halves round to even; bool and int16 widen.
    EXPECT_EQ(life.call("SetState", { " 3 ", "1e1", "Age", "7" }), One);
    EXPECT_EQ(life.text("GetState", { 3, 10, "Age" }), "7");
    EXPECT_EQ(life.call("SetState", { 2.5, 3.5, "Age", "5" }), One);
    EXPECT_EQ(life.text("GetState", { "2", "4", "Age" }), "5");
    EXPECT_EQ(life.call("SetState", { true, QVariant::fromValue(qint16(7)), "Age", 9 }), One);
    EXPECT_EQ(life.text("GetState", { 1.0, 7, "Age" }), "9");
    // Numbers written as texts.
    EXPECT_EQ(life.call("SetParam", { "Density", 0.1 }), One);
    EXPECT_EQ(life.text("GetParam", { "Density" }), "0.1");
    EXPECT_EQ(life.call("SetParam", { "Seed", QVariant::fromValue(qint64(-12)) }), One);
    EXPECT_EQ(life.text("GetParam", { "Seed" }), "-12");
    EXPECT_EQ(life.call("SetParam", { "Seed", QVariant::fromValue(quint64(7)) }), One);
    EXPECT_EQ(life.text("GetParam", { "Seed" }), "7");
    EXPECT_EQ(life.call("SetParam", { "Density", false }), One);
    EXPECT_EQ(life.text("GetParam", { "Density" }), "0");
}

TEST_F(AutomationMethods, numbers_convert_in_the_users_locale)
{
    GermanLocale german;
    EXPECT_EQ(life.text("GetParam", { "Density" }), "0,3");
    EXPECT_EQ(life.call("SetParam", { "Density", "2.5" }), Zero);
    EXPECT_EQ(life.call("SetParam", { "Density", "2,5" }), One);
    EXPECT_EQ(life.text("GetParam", { "Density" }), "2,5");
    EXPECT_EQ(life.call("SetParam", { "Density", 0.25 }), One); // written "0,25", read back
    EXPECT_EQ(life.text("GetParam", { "Density" }), "0,25");
    EXPECT_EQ(life.call("SetState", { "3,0", "1,5", "Age", "4" }), One);
    EXPECT_EQ(life.text("GetState", { 3, 2, "Age" }), "4");
    const AutomationReply reply = life.dispatcher.invoke("GetState", true, { "3.5", 1, "Age" });
    ASSERT_FALSE(reply.ok());
    EXPECT_EQ(reply.error->kind, K::TypeMismatch);
    EXPECT_EQ(life.call("StopIfAdd", { "Density <= 0.5" }), Zero);
    EXPECT_EQ(life.call("StopIfAdd", { "Density <= 0,5" }), One);
    ASSERT_EQ(life.stop().conditions().size(), 1);
}

TEST_F(AutomationMethods, model_information_and_values)
{
    EXPECT_EQ(life.text("AboutModel", { "Version" }), "1.0");
    EXPECT_EQ(life.text("AboutModel", { "NAME" }), "Life");
    EXPECT_TRUE(life.text("AboutModel", { "url" }).startsWith("https://"));
    EXPECT_FALSE(life.text("AboutModel", { "Copyright" }).isEmpty());
    EXPECT_FALSE(life.text("AboutModel", { "comments" }).isEmpty());
    for (const char* key : { " name", "", "web" }) {
        EXPECT_EQ(life.text("AboutModel", { key }), "") << key;
    }

    EXPECT_EQ(life.text("GetParam", { "Width" }), "128");
    EXPECT_EQ(life.text("GetParam", { "Nope" }), "");
    EXPECT_EQ(life.text("GetParam", { "" }), "");
    for (const char* refused : { "no number", "", "nan", "2,5" })
        EXPECT_EQ(life.call("SetParam", { "Density", refused }), Zero) << refused;
    EXPECT_EQ(life.call("SetParam", { "Nope", "1" }), Zero);
    EXPECT_EQ(life.text("GetParam", { "Density" }), "0.3");
    // Stored as given: not judged against the parameter's range.
    EXPECT_EQ(life.call("SetParam", { "Density", " 2.5 " }), One);
    EXPECT_EQ(life.text("GetParam", { "Density" }), "2.5");
    EXPECT_EQ(life.call("SetParam", { "Seed", "1e-5" }), One);
    EXPECT_EQ(life.text("GetParam", { "Seed" }), "1E-5");

    // States inside the world only.
    EXPECT_EQ(life.text("GetState", { 0, 0, "Nope" }), "");
    EXPECT_EQ(life.call("SetState", { 3, 4, "Alive", "1" }), One);
    EXPECT_EQ(life.text("GetState", { 3, 4, "Alive" }), "1");
    EXPECT_EQ(life.call("SetState", { 127, 127, "Age", "0.1" }), One);
    EXPECT_EQ(life.text("GetState", { 127, 127, "Age" }), "0.100000001490116");
    for (const auto& [column, row] :
        { std::pair { -1, 0 }, { 0, -1 }, { 128, 0 }, { 0, 128 }, { 1 << 30, 1 } }) {
        SCOPED_TRACE(testing::Message() << column << "," << row);
        EXPECT_EQ(life.text("GetState", { column, row, "Alive" }), "");
        EXPECT_EQ(life.call("SetState", { column, row, "Alive", "1" }), Zero);
    }
    EXPECT_EQ(life.call("SetState", { 3, 4, "Alive", "x" }), Zero);
    EXPECT_EQ(life.call("SetState", { 3, 4, "Alive", "1e39" }), Zero); // no float holds it
    EXPECT_EQ(life.call("SetState", { 3, 4, "Nope", "0" }), Zero);
    EXPECT_EQ(life.text("GetState", { 3, 4, "Alive" }), "1");
}

TEST_F(AutomationMethods, simulation_commands_drive_the_front_end)
{
    life.run("SimStep");
    life.run("SimStep");
    EXPECT_EQ(life.tick(), 2.0);
    life.run("Refresh");
    life.run("SimNew");
    EXPECT_EQ(life.tick(), 0.0);

    // A run to a stop condition, waited for; SimWait and SimPause return at once.
    EXPECT_EQ(life.call("StopIfAdd", { "Tick >= 5" }), One);
    life.run("SimRunWait");
    EXPECT_EQ(life.tick(), 5.0);
    EXPECT_EQ(life.call("IsRunning"), QVariant(false));
    life.run("SimWait");
    life.run("SimPause");
    life.run("StopIfRemoveAll");
    life.run("SimRun");
    EXPECT_EQ(life.call("IsRunning"), QVariant(true));
    life.run("SimPause");
    EXPECT_EQ(life.call("IsRunning"), QVariant(false));
    EXPECT_GE(life.tick(), 5.0);

    // LoadModel with no path starts the held model afresh from its default.ini.
    EXPECT_EQ(life.call("SetParam", { "Width", "12" }), One);
    EXPECT_EQ(life.call("LoadModel", { "" }), One);
    EXPECT_EQ(life.tick(), 0.0);
    EXPECT_EQ(life.text("GetParam", { "Width" }), "128");
    EXPECT_EQ(life.text("GetLoadModelErr"), "");

    // A failed load leaves no model: its reason, and empty answers.
    EXPECT_EQ(life.call("LoadModel", { "/nowhere/model.so" }), Zero);
    EXPECT_FALSE(life.text("GetLoadModelErr").isEmpty());
    EXPECT_EQ(life.text("GetParam", { "Density" }), "");
    EXPECT_EQ(life.call("GetParamNames"), QVariant(QStringList()));
    EXPECT_EQ(life.call("GetStateNames"), QVariant(QStringList()));
    EXPECT_EQ(life.call("GetWorldSize").value<AutomationWorldSize>().width, 0);
    EXPECT_EQ(life.call("SaveWorldPicture", { "/tmp/none.png", 1 }), Zero);
    EXPECT_EQ(life.call("MovieStart", { "/tmp/none.gif", 1, 1 }), Zero);
}

TEST_F(AutomationMethods, StopIfAdd_writes_the_rows_of_the_stop_conditions)
{
    struct StopCase {
        const char* condition;
        QVariant result;
        const char* row; // "name comparator value" of the row added, or nothing
    };
    const StopCase cases[] = {
        { "Tick >= 100", One, "Tick >= 100.000000" },
        { "tick=5", One, "Tick = 5.000000" },
        { " density<= 0.25 ", One, "Density <= 0.250000" },
        // a blank inside the comparator leaves "Tick >" as the name: refused
        { "Tick > = 5", Zero, nullptr },
        { "=5", Zero, nullptr },
        { "Tick >=", Zero, nullptr },
        { "Tick >= ten", Zero, nullptr },
        { "Tick 5", Zero, nullptr },
        { "", Zero, nullptr },
        // the comparator must end at the first "="
        { "a=b>=5", Zero, nullptr },
        { "Nope >= 1", Zero, nullptr },
    };
    for (const StopCase& c : cases) {
        SCOPED_TRACE(c.condition);
        life.run("StopIfRemoveAll");
        EXPECT_FALSE(life.stop().isEnabled());
        EXPECT_EQ(life.call("StopIfAdd", { c.condition }), c.result);
        // The switch goes on, even when the text is refused.
        EXPECT_TRUE(life.stop().isEnabled());
        const auto& rows = life.stop().conditions();
        ASSERT_EQ(rows.size(), c.row ? 1 : 0);
        if (c.row) {
            EXPECT_EQ(rows[0].name + " " + rows[0].comparator + " " + rows[0].value, c.row);
        }
    }
}

TEST_F(AutomationMethods, TimeSeriesAdd_chooses_in_the_series_choice_and_adds)
{
    SeriesChoice& choice = life.core.seriesChoice();
    struct SeriesCase {
        const char* text;
        QVariant result;
        int operation; // chosen afterwards
    };
    const SeriesCase cases[] = {
        { "average alive", One, SeriesTable::Average },
        { "  KURTOSIS   Age ", One, SeriesTable::Kurtosis },
        { "Parameter density", One, SeriesTable::Parameter },
        { "Average", Zero, SeriesTable::Parameter },
        { "", Zero, SeriesTable::Parameter },
        { "Median Alive", Zero, SeriesTable::Parameter },
        // the operation stays chosen when the subject is unknown
        { "Average Nope", Zero, SeriesTable::Average },
        { "Parameter Alive", Zero, SeriesTable::Parameter },
        // a pair already plotted is refused
        { "Average Alive", Zero, SeriesTable::Average },
    };
    for (const SeriesCase& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(life.call("TimeSeriesAdd", { c.text }), c.result);
        EXPECT_EQ(choice.operation(), c.operation);
    }
    const QStringList labels { "Average Alive", "Kurtosis Age", "Density" };
    EXPECT_EQ(life.call("TimeSeriesLabels"), QVariant(labels));

    // The choice follows a new model load: the subject stays when it has that name.
    ASSERT_EQ(life.call("TimeSeriesAdd", { "Parameter Seed" }), One);
    ASSERT_EQ(life.call("LoadModel", { "" }), One);
    EXPECT_EQ(choice.operation(), SeriesTable::Parameter);
    EXPECT_EQ(choice.subjects().value(choice.subject()), "Seed");
    // Another model: its names are offered; a subject it lacks is no longer chosen.
    ASSERT_EQ(life.call("TimeSeriesAdd", { "Parameter Width" }), One);
    const QString stats = QString::fromStdString(test::fixtureModel("stats"));
    ASSERT_EQ(life.call("LoadModel", { stats }), One);
    EXPECT_EQ(choice.subjects().value(choice.subject()), "Width");
    EXPECT_EQ(choice.subjects(), (QStringList { "v0", "v1", "v2", "v3", "Width" }));
    ASSERT_EQ(life.call("LoadModel", { life.lifePath() }), One);
    ASSERT_TRUE(choice.chooseText("Kurtosis Age"));
    ASSERT_EQ(life.call("LoadModel", { stats }), One);
    EXPECT_EQ(choice.operation(), SeriesTable::Kurtosis);
    EXPECT_EQ(choice.subjects(), (QStringList { "x", "Average x" }));
    EXPECT_EQ(choice.subject(), -1);

    life.run("TimeSeriesRemoveAll");
    EXPECT_EQ(life.table().count(), 0);
    EXPECT_EQ(life.call("TimeSeriesLabels"), QVariant(QStringList()));
    life.run("TimeSeriesRemoveAll");
}

TEST_F(AutomationMethods, recorded_samples_read_clear_and_export)
{
    ASSERT_EQ(life.call("TimeSeriesAdd", { "Average Alive" }), One);
    ASSERT_EQ(life.call("TimeSeriesAdd", { "Parameter Density" }), One);
    life.run("SimStep");
    life.run("SimStep");
    const auto samples
        = life.call("TimeSeriesGet", { " DENSITY" }).value<AutomationSeriesSamples>();
    EXPECT_EQ(samples.ticks, (QList<double> { 1.0, 2.0 }));
    EXPECT_EQ(samples.values, (QList<double> { 0.3, 0.3 }));
    EXPECT_EQ(
        life.call("TimeSeriesGet", { "Average Alive" }).value<AutomationSeriesSamples>().ticks,
        (QList<double> { 1.0, 2.0 }));

    QTemporaryDir folder;
    const QString file = folder.filePath("out.txt");
    const auto size = [&] { return QFile(file).size(); };
    EXPECT_EQ(life.call("TimeSeriesExport", { file, "" }), One);
    const qint64 once = size();
    EXPECT_GT(once, 0);
    EXPECT_EQ(life.call("TimeSeriesExport", { file, "appendix" }), One); // overwrites
    EXPECT_EQ(size(), once);
    EXPECT_EQ(life.call("TimeSeriesExport", { file, "  APPEND " }), One);
    EXPECT_GT(size(), once);
    EXPECT_EQ(life.call("TimeSeriesExport", { folder.filePath("no/such/folder.txt"), "" }), Zero);

    life.run("TimeSeriesClear");
    EXPECT_TRUE(life.call("TimeSeriesGet", { "Average Alive" })
                    .value<AutomationSeriesSamples>()
                    .ticks.isEmpty());
    EXPECT_EQ(life.table().count(), 2);
    life.run("TimeSeriesRemoveAll");
    EXPECT_EQ(life.call("TimeSeriesExport", { file, "" }), Zero); // nothing to export
}

TEST_F(AutomationMethods, errors_leaving_a_method_name_TFrontEnd)
{
    AutomationReply reply = life.dispatcher.invoke("TimeSeriesGet", true, { "Average Age" });
    ASSERT_FALSE(reply.ok());
    EXPECT_EQ(reply.error->kind, K::Exception);
    EXPECT_EQ(reply.error->message, "TFrontEnd: No time series \"Average Age\" is selected");
    EXPECT_FALSE(reply.value.isValid());
    reply = life.dispatcher.invoke("timeseriesget", true, { QString::fromUtf8("M\u00e4use") });
    ASSERT_FALSE(reply.ok());
    EXPECT_EQ(reply.error->message,
        QString::fromUtf8("TFrontEnd: No time series \"M\u00e4use\" is selected"));
}

struct ErrorCase {
    const char* label;
    QString name;
    bool wantResult;
    QVariantList arguments;
    AutomationErrorKind kind;
    int argument;
    const char* inMessage;
};

class DispatchErrors : public ::testing::TestWithParam<ErrorCase> { };

TEST_P(DispatchErrors, refuses_the_call_without_running_it)
{
    const ErrorCase& c = GetParam();
    LifeCore life;
    ASSERT_TRUE(life.loaded);
    const QString age = life.text("GetState", { 1, 1, "Age" });
    const AutomationReply reply = life.dispatcher.invoke(c.name, c.wantResult, c.arguments);
    ASSERT_FALSE(reply.ok());
    EXPECT_EQ(reply.error->kind, c.kind);
    EXPECT_EQ(reply.error->argument, c.argument);
    EXPECT_TRUE(reply.error->message.contains(QLatin1String(c.inMessage)))
        << reply.error->message.toStdString();
    EXPECT_FALSE(reply.value.isValid());
    // Nothing ran: no run, no step, no value written.
    EXPECT_FALSE(life.core.frontEnd().isRunning());
    EXPECT_EQ(life.tick(), 0.0);
    EXPECT_EQ(life.text("GetParam", { "Density" }), "0.3");
    EXPECT_EQ(life.text("GetState", { 1, 1, "Age" }), age);
}

INSTANTIATE_TEST_SUITE_P(rules, DispatchErrors,
    ::testing::Values(ErrorCase { "unknown", "Nothing", true, {}, K::UnknownName, 0, "Nothing" },
        ErrorCase { "empty_name", "", false, {}, K::UnknownName, 0, "Unknown method" },
        ErrorCase { "trailing_blank", "GetTick ", true, {}, K::UnknownName, 0, "GetTick" },
        // Only ASCII letters fold: dotless i and long s are other letters.
        ErrorCase {
            "dotless_i", QString::fromUtf8("GetT\u0131ck"), true, {}, K::UnknownName, 0, "" },
        ErrorCase { "long_s", QString::fromUtf8("\u017FimRun"), false, {}, K::UnknownName, 0, "" },
        ErrorCase { "result_of_SimRun", "SimRun", true, {}, K::MemberNotFound, 0, "SimRun" },
        ErrorCase {
            "result_of_UiMinimal", "uiminimal", true, {}, K::MemberNotFound, 0, "UiMinimal" },
        ErrorCase {
            "too_few", "GetParam", true, {}, K::BadParamCount, 0, "takes 1 argument(s), 0 given" },
        ErrorCase { "too_many", "GetParam", true, { "a", "b" }, K::BadParamCount, 0, "2 given" },
        ErrorCase { "argument_to_SimRun", "SimRun", false, { 1 }, K::BadParamCount, 0, "SimRun" },
        // Result check comes before the count check.
        ErrorCase { "result_and_count", "SimRun", true, { 1 }, K::MemberNotFound, 0, "SimRun" },
        ErrorCase { "omitted_second", "SetParam", true, { "Density", QVariant() },
            K::ParamNotOptional, 2, "value" },
        ErrorCase { "omitted_first", "GetState", true, { QVariant(), 1, "a" }, K::ParamNotOptional,
            1, "column" },
        // Arguments are checked in order: the first bad one is reported.
        ErrorCase { "omitted_after_mismatch", "GetState", true, { "x", QVariant(), "a" },
            K::TypeMismatch, 1, "Argument 1" },
        ErrorCase { "text_for_int32", "GetState", true, { "three", 1, "a" }, K::TypeMismatch, 1,
            "\"three\"" },
        ErrorCase {
            "overflow_int32", "GetState", true, { 1, 3e10, "a" }, K::TypeMismatch, 2, "row" },
        ErrorCase { "nan_for_int32", "GetState", true, { 1, std::nan(""), "a" }, K::TypeMismatch, 2,
            "int32" },
        ErrorCase {
            "comma_in_C_locale", "GetState", true, { "2,5", 1, "a" }, K::TypeMismatch, 1, "2,5" },
        ErrorCase { "list_for_text", "SetState", true, { 1, 1, "Age", QVariantList { 1 } },
            K::TypeMismatch, 4, "value" },
        ErrorCase { "strings_for_text", "GetParam", true, { QStringList { "a" } }, K::TypeMismatch,
            1, "text" }),
    caseLabel<ErrorCase>);

TEST(automation_dispatcher, error_names)
{
    EXPECT_EQ(automationErrorName(K::UnknownName), "Tessra.Error.UnknownName");
    EXPECT_EQ(automationErrorName(K::MemberNotFound), "Tessra.Error.MemberNotFound");
    EXPECT_EQ(automationErrorName(K::BadParamCount), "Tessra.Error.BadParamCount");
    EXPECT_EQ(automationErrorName(K::ParamNotOptional), "Tessra.Error.ParamNotOptional");
    EXPECT_EQ(automationErrorName(K::TypeMismatch), "Tessra.Error.TypeMismatch");
    EXPECT_EQ(automationErrorName(K::Exception), "Tessra.Error.Exception");
}

TEST(automation_dispatcher, table_has_the_methods_in_order)
{
    const auto& methods = AutomationDispatcher::methods();
    ASSERT_EQ(methods.size(), 31u);
    for (std::size_t i = 0; i < methods.size(); ++i)
        EXPECT_EQ(methods[i].id, int(i) + 1);
    EXPECT_EQ(methods.front().name, "AboutModel");
    EXPECT_EQ(methods[21].name, "UiMinimal");
    EXPECT_EQ(methods[24].name, "MovieStop");
    EXPECT_EQ(methods.back().name, "TimeSeriesGet");
    EXPECT_EQ(AutomationDispatcher::findMethod("timeseriesexport"), &methods[19]);
}

struct ConversionCase {
    const char* label;
    QVariant value;
    AutomationType type;
    QVariant expected; // invalid: the conversion fails
};

class ConvertArgument : public ::testing::TestWithParam<ConversionCase> { };

TEST_P(ConvertArgument, converts_or_refuses)
{
    const ConversionCase& c = GetParam();
    const std::optional<QVariant> converted = convertArgument(c.value, c.type, QLocale::c());
    if (!c.expected.isValid()) {
        EXPECT_FALSE(converted.has_value()) << converted->toString().toStdString();
        return;
    }
    ASSERT_TRUE(converted.has_value());
    EXPECT_EQ(*converted, c.expected);
    EXPECT_EQ(converted->metaType(), c.expected.metaType());
}

using AT = AutomationType;
INSTANTIATE_TEST_SUITE_P(table, ConvertArgument,
    ::testing::Values(
        ConversionCase { "int16_max", "32767", AT::Int16, QVariant::fromValue(qint16(32767)) },
        ConversionCase { "int16_over", 32768, AT::Int16, QVariant() },
        ConversionCase { "int16_under", -32768.6, AT::Int16, QVariant() },
        ConversionCase {
            "int32_max", "2147483647", AT::Int32, QVariant::fromValue(qint32(2147483647)) },
        ConversionCase { "int32_over", 2147483648.0, AT::Int32, QVariant() },
        ConversionCase {
            "int32_from_uint64", QVariant::fromValue(quint64(1) << 40), AT::Int32, QVariant() },
        ConversionCase { "int32_half_down", -2.5, AT::Int32, QVariant::fromValue(qint32(-2)) },
        ConversionCase { "int32_empty_text", "", AT::Int32, QVariant() },
        ConversionCase { "double_text", " 1e3 ", AT::Double, QVariant(1000.0) },
        ConversionCase { "double_inf_text", "inf", AT::Double, QVariant() },
        ConversionCase { "double_group_separator", "1,000", AT::Double, QVariant() },
        ConversionCase { "double_from_int", 7, AT::Double, QVariant(7.0) },
        ConversionCase { "double_from_bytes", QByteArray("1"), AT::Double, QVariant() },
        ConversionCase { "text_from_double", 1e20, AT::Text, QVariant(QString("1E20")) },
        ConversionCase {
            "text_from_float", QVariant::fromValue(0.5f), AT::Text, QVariant(QString("0.5")) },
        ConversionCase { "text_from_uchar", QVariant::fromValue(uchar(200)), AT::Text,
            QVariant(QString("200")) },
        ConversionCase { "text_from_bytes", QByteArray("ab"), AT::Text, QVariant() }),
    caseLabel<ConversionCase>);

} // namespace
} // namespace tessra
