#pragma once

#include <QLocale>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <functional>
#include <optional>
#include <vector>

#include "FrontEndAutomation.h"

namespace tessra {

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
    /// Calls the method with arguments already converted to their declared types.
    std::function<QVariant(FrontEndAutomation&, const QVariantList&)> call;
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

/// Applies the call rules of the automation interface to one call and runs
/// the method on the target. Independent of any transport.
///
/// Rules, in order: the name is looked up without regard to the case of ASCII
/// letters; a result may only be asked of a method that has one; the number
/// of arguments must be exact; each argument, in order, must be present (an
/// invalid QVariant marks a left-out one) and convert to its declared type in
/// the user's locale (QLocale()). Errors leaving the method become Exception
/// errors whose message names "TFrontEnd".
class AutomationDispatcher {
public:
    /// `target` must outlive the dispatcher.
    explicit AutomationDispatcher(FrontEndAutomation& target);

    AutomationReply invoke(
        const QString& name, bool wantResult, const QVariantList& arguments) const;

    /// The methods in table order.
    static const std::vector<AutomationMethod>& methods();
    /// The method of that name (ASCII letters in any case), or null.
    static const AutomationMethod* findMethod(const QString& name);

private:
    FrontEndAutomation& m_target;
};

} // namespace tessra
