// The call rules of the automation interface, without a bus.
#include <gtest/gtest.h>

#include <QLocale>
#include <stdexcept>

#include "AutomationDispatcher.h"
#include "RecordingTarget.h"

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

struct CallCase {
    const char* label;
    QString name;
    bool wantResult;
    QVariantList arguments;
    QString recorded; // the call the target saw; empty when it must not run
    QVariant result;
};

class DispatchCalls : public ::testing::TestWithParam<CallCase> { };

TEST_P(DispatchCalls, reaches_the_method_with_converted_arguments)
{
    const CallCase& c = GetParam();
    test::RecordingTarget target;
    const AutomationReply reply
        = AutomationDispatcher(target).invoke(c.name, c.wantResult, c.arguments);
    ASSERT_TRUE(reply.ok()) << reply.error->message.toStdString();
    EXPECT_EQ(target.calls, QStringList { c.recorded });
    EXPECT_EQ(reply.value, c.result);
    EXPECT_EQ(reply.value.metaType(), c.result.metaType());
}

const QVariant NoResult;
const QVariant One = QVariant::fromValue(qint16(1));

INSTANTIATE_TEST_SUITE_P(all_methods, DispatchCalls,
    ::testing::Values(CallCase { "AboutModel", "AboutModel", true, { "name" }, "AboutModel(name)",
                          QString("Life") },
        CallCase {
            "GetLoadModelErr", "GetLoadModelErr", true, {}, "GetLoadModelErr()", QString("") },
        CallCase { "GetParam", "GetParam", true, { "birth" }, "GetParam(birth)", QString("2,5") },
        CallCase {
            "GetState", "GetState", true, { 3, 2, "alive" }, "GetState(3,2,alive)", QString("1") },
        CallCase { "GetTick", "GetTick", true, {}, "GetTick()", 42.5 },
        CallCase { "LoadModel", "LoadModel", true, { "/m.so" }, "LoadModel(/m.so)", One },
        CallCase { "Refresh", "Refresh", false, {}, "Refresh()", NoResult },
        CallCase { "SetParam", "SetParam", true, { "a", "2.5" }, "SetParam(a,2.5)", One },
        CallCase { "SetState", "SetState", true, { 0, 1, "a", "1" }, "SetState(0,1,a,1)", One },
        CallCase { "SimNew", "SimNew", false, {}, "SimNew()", NoResult },
        CallCase { "SimPause", "SimPause", false, {}, "SimPause()", NoResult },
        CallCase { "SimRun", "SimRun", false, {}, "SimRun()", NoResult },
        CallCase { "SimStep", "SimStep", false, {}, "SimStep()", NoResult },
        CallCase { "SimWait", "SimWait", false, {}, "SimWait()", NoResult },
        CallCase { "StopIfAdd", "StopIfAdd", true, { "Tick>=5" }, "StopIfAdd(Tick>=5)", One },
        CallCase { "StopIfRemoveAll", "StopIfRemoveAll", false, {}, "StopIfRemoveAll()", NoResult },
        CallCase { "TimeSeriesAdd", "TimeSeriesAdd", true, { "Average x" },
            "TimeSeriesAdd(Average x)", One },
        CallCase { "TimeSeriesClear", "TimeSeriesClear", false, {}, "TimeSeriesClear()", NoResult },
        CallCase { "TimeSeriesExport", "TimeSeriesExport", true, { "f", "" },
            "TimeSeriesExport(f,)", One },
        CallCase { "TimeSeriesRemoveAll", "TimeSeriesRemoveAll", false, {}, "TimeSeriesRemoveAll()",
            NoResult },
        CallCase { "UiMinimal", "UiMinimal", false, {}, "UiMinimal()", NoResult },
        CallCase { "SaveWorldPicture", "SaveWorldPicture", true, { "w.png", "3" },
            "SaveWorldPicture(w.png,3)", One },
        CallCase {
            "MovieStart", "MovieStart", true, { "m.mp4", 5, 2 }, "MovieStart(m.mp4,5,2)", One },
        CallCase { "MovieStop", "moviestop", true, {}, "MovieStop()", One },
        CallCase { "GetParamNames", "GetParamNames", true, {}, "GetParamNames()",
            QStringList { "Width", "Density" } },
        CallCase { "GetStateNames", "getstatenames", true, {}, "GetStateNames()",
            QStringList { "Alive" } },
        CallCase { "IsRunning", "IsRunning", true, {}, "IsRunning()", true },
        CallCase { "TimeSeriesLabels", "TimeSeriesLabels", true, {}, "TimeSeriesLabels()",
            QStringList { "Average Alive" } },
        // Names in any ASCII letter case.
        CallCase { "lower_case", "gettick", true, {}, "GetTick()", 42.5 },
        CallCase { "upper_case", "SETPARAM", true, { "a", "1" }, "SetParam(a,1)", One },
        // A result need not be asked for.
        CallCase { "result_not_wanted", "LoadModel", false, { "m" }, "LoadModel(m)", One },
        // Conversions: texts read as numbers, numbers written as texts, halves round to even.
        CallCase { "text_to_int32", "GetState", true, { " 3 ", "1e1", "x" }, "GetState(3,10,x)",
            QString("1") },
        CallCase { "double_to_int32", "GetState", true, { 2.5, 3.5, "x" }, "GetState(2,4,x)",
            QString("1") },
        CallCase { "bool_and_int16", "GetState", true,
            { true, QVariant::fromValue(qint16(-7)), "x" }, "GetState(1,-7,x)", QString("1") },
        CallCase { "numbers_to_text", "SetParam", true, { QVariant::fromValue(qint64(-12)), 0.1 },
            "SetParam(-12,0.1)", One },
        CallCase { "unsigned_and_bool_to_text", "SetParam", true,
            { QVariant::fromValue(quint64(7)), false }, "SetParam(7,0)", One }),
    caseLabel<CallCase>);

TEST(automation_dispatcher, structured_results_keep_their_parts)
{
    test::RecordingTarget target;
    const AutomationDispatcher dispatcher(target);
    const AutomationReply size = dispatcher.invoke("GetWorldSize", true, {});
    ASSERT_TRUE(size.ok());
    ASSERT_EQ(size.value.metaType(), QMetaType::fromType<AutomationWorldSize>());
    EXPECT_EQ(size.value.value<AutomationWorldSize>().width, 128);
    EXPECT_EQ(size.value.value<AutomationWorldSize>().height, 64);
    const AutomationReply series = dispatcher.invoke("TimeSeriesGet", true, { 7 });
    ASSERT_TRUE(series.ok());
    const auto samples = series.value.value<AutomationSeriesSamples>();
    EXPECT_EQ(samples.ticks, (QList<double> { 1.0, 2.0 }));
    EXPECT_EQ(samples.values, (QList<double> { 0.5, 0.25 }));
    EXPECT_EQ(target.calls, (QStringList { "GetWorldSize()", "TimeSeriesGet(7)" }));
}

TEST(automation_dispatcher, SimRunWait_runs_until_paused)
{
    test::RecordingTarget target;
    target.paused = true; // nothing else will pause it: the target then waits once
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&] { target.SimPause(); }, Qt::QueuedConnection);
    EXPECT_TRUE(AutomationDispatcher(target).invoke("SimRunWait", false, {}).ok());
    EXPECT_EQ(target.calls, (QStringList { "SimRunWait()", "SimPause()", "SimRunWait done" }));
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
    test::RecordingTarget target;
    const AutomationReply reply
        = AutomationDispatcher(target).invoke(c.name, c.wantResult, c.arguments);
    ASSERT_FALSE(reply.ok());
    EXPECT_EQ(reply.error->kind, c.kind);
    EXPECT_EQ(reply.error->argument, c.argument);
    EXPECT_TRUE(reply.error->message.contains(QLatin1String(c.inMessage)))
        << reply.error->message.toStdString();
    EXPECT_TRUE(target.calls.isEmpty());
    EXPECT_FALSE(reply.value.isValid());
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
        ErrorCase { "omitted_second", "SetParam", true, { "a", QVariant() }, K::ParamNotOptional, 2,
            "value" },
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
        ErrorCase { "list_for_text", "SetState", true, { 1, 1, "a", QVariantList { 1 } },
            K::TypeMismatch, 4, "value" },
        ErrorCase { "strings_for_text", "GetParam", true, { QStringList { "a" } }, K::TypeMismatch,
            1, "text" }),
    caseLabel<ErrorCase>);

TEST(automation_dispatcher, errors_leaving_a_method_name_TFrontEnd)
{
    test::RecordingTarget target;
    target.failingMethod = "LoadModel";
    AutomationReply reply = AutomationDispatcher(target).invoke("LoadModel", true, { "x.so" });
    ASSERT_FALSE(reply.ok());
    EXPECT_EQ(reply.error->kind, K::Exception);
    EXPECT_EQ(reply.error->message, "TFrontEnd: Model file not found");

    target.failingMethod = "SimStep";
    target.failure = QString::fromUtf8("Kein Modell geladen \u00e4");
    reply = AutomationDispatcher(target).invoke("simstep", false, {});
    ASSERT_FALSE(reply.ok());
    EXPECT_EQ(reply.error->message, QString::fromUtf8("TFrontEnd: Kein Modell geladen \u00e4"));
}

TEST(automation_dispatcher, numbers_convert_in_the_users_locale)
{
    GermanLocale german;
    test::RecordingTarget target;
    const AutomationDispatcher dispatcher(target);
    EXPECT_TRUE(dispatcher.invoke("GetState", true, { "3,0", "1,5", 2.5 }).ok());
    EXPECT_TRUE(dispatcher.invoke("SetParam", true, { "a", 0.25 }).ok());
    EXPECT_EQ(target.calls, (QStringList { "GetState(3,2,2,5)", "SetParam(a,0,25)" }));
    const AutomationReply reply = dispatcher.invoke("GetState", true, { "3.5", 1, "a" });
    ASSERT_FALSE(reply.ok());
    EXPECT_EQ(reply.error->kind, K::TypeMismatch);
}

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
