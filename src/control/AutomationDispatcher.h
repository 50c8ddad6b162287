#pragma once

#include <QList>
#include <QLocale>
#include <QMetaType>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <optional>
#include <vector>

namespace tessra {

class Core;

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

/// Declared types of automation arguments and results. Bool, TextList,
/// WorldSize and SeriesSamples are only results: a QVariant holding a bool, a
/// QStringList, an AutomationWorldSize or an AutomationSeriesSamples.
enum class AutomationType {
    None,
    Text,
    Int16,
    Int32,
    Double,
    Bool,
    TextList,
    WorldSize,
    SeriesSamples,
};

/// One argument of an automation method.
struct AutomationArgument {
    QString name;
    AutomationType type;
};

/// One entry of the fixed method table.
struct AutomationMethod {
    int id; ///< 1, 2, ... in table order
    QString name;
    std::vector<AutomationArgument> arguments;
    AutomationType result;
    /// Runs the method on the core with arguments already converted to their
    /// declared types. Errors that leave it are tessra::CommandError or
    /// std::exception.
    std::function<QVariant(Core&, const QVariantList&)> call;
};

/// Why a call was refused or failed; each kind is one error a client sees.
enum class AutomationErrorKind {
    UnknownName, ///< no method of that name
    MemberNotFound, ///< a result asked of a method that has none
    BadParamCount, ///< not exactly the declared number of arguments
    ParamNotOptional, ///< an argument was left out
    TypeMismatch, ///< an argument does not convert to its declared type
    Exception, ///< the method failed
};

struct AutomationError {
    AutomationErrorKind kind;
    QString message;
    /// 1-based position of the offending argument in call order; 0 when the
    /// error is not about one argument.
    int argument = 0;
};

/// True when `given` names `declared`: equal but for the case of ASCII letters.
bool automationNameMatches(const QString& declared, const QString& given);

/// The D-Bus error name of an error kind ("Tessra.Error.TypeMismatch" …).
QString automationErrorName(AutomationErrorKind kind);

/// The answer of one call: a value of the method's result type (invalid for a
/// method without result) or an error.
struct AutomationReply {
    QVariant value;
    std::optional<AutomationError> error;
    bool ok() const { return !error.has_value(); }
};

/// Converts `value` to `type` as arguments are converted: texts are read as
/// numbers in `locale`, numbers become texts in `locale`, doubles round to the
/// nearest whole number (ties to even) for integer types, true and false count
/// as 1 and 0. Nothing when the value does not fit.
std::optional<QVariant> convertArgument(
    const QVariant& value, AutomationType type, const QLocale& locale = QLocale());

/// The automation object: applies the call rules of the automation interface
/// to one call and runs the method on the program's core (its front end,
/// recorder, series choice, stop conditions and movie recorder). It keeps no
/// data of its own and is independent of any transport.
///
/// Rules, in order: the name is looked up without regard to the case of ASCII
/// letters; a result may only be asked of a method that has one; the number
/// of arguments must be exact; each argument, in order, must be present (an
/// invalid QVariant marks a left-out one) and convert to its declared type in
/// the user's locale (QLocale()). Errors leaving the method become Exception
/// errors whose message names "TFrontEnd".
///
/// GetParam and GetState answer "" and SetParam, SetState, StopIfAdd,
/// TimeSeriesAdd, TimeSeriesExport, SaveWorldPicture, MovieStart and
/// MovieStop answer 0 on any error of their own; the other methods let errors
/// pass. No method shows a dialog or asks the user anything. Every call
/// belongs on the GUI thread.
class AutomationDispatcher {
public:
    /// `core` must outlive the dispatcher.
    explicit AutomationDispatcher(Core& core);

    AutomationReply invoke(
        const QString& name, bool wantResult, const QVariantList& arguments) const;

    /// The methods in table order: the one list of automation methods, each
    /// entry calling the core.
    static const std::vector<AutomationMethod>& methods();
    /// The method of that name (ASCII letters in any case), or null.
    static const AutomationMethod* findMethod(const QString& name);

private:
    Core& m_core;
};

} // namespace tessra

Q_DECLARE_METATYPE(tessra::AutomationWorldSize)
Q_DECLARE_METATYPE(tessra::AutomationSeriesSamples)
