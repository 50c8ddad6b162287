#include "AutomationDispatcher.h"

#include <cmath>
#include <exception>
#include <limits>

#include "CommandError.h"
#include "NumberFormat.h"

namespace tessra {

namespace {

using T = AutomationType;

QString typeName(AutomationType type)
{
    switch (type) {
    case T::Text:
        return QStringLiteral("text");
    case T::Int16:
        return QStringLiteral("int16");
    case T::Int32:
        return QStringLiteral("int32");
    case T::Double:
        return QStringLiteral("double");
    case T::Bool:
        return QStringLiteral("boolean");
    case T::TextList:
        return QStringLiteral("text list");
    case T::WorldSize:
        return QStringLiteral("world size");
    case T::SeriesSamples:
        return QStringLiteral("series samples");
    case T::None:
        break;
    }
    return QStringLiteral("nothing");
}

/// The value as a number, if it is one or a text that reads as one.
std::optional<double> asNumber(const QVariant& value, const QLocale& locale)
{
    switch (value.metaType().id()) {
    case QMetaType::QString:
        return parseNumber(value.toString(), locale);
    case QMetaType::Bool:
        return value.toBool() ? 1.0 : 0.0;
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return double(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return double(value.toULongLong());
    case QMetaType::Float:
    case QMetaType::Double: {
        const double d = value.toDouble();
        return std::isfinite(d) ? std::optional<double>(d) : std::nullopt;
    }
    default:
        return std::nullopt;
    }
}

std::optional<QVariant> toText(const QVariant& value, const QLocale& locale)
{
    switch (value.metaType().id()) {
    case QMetaType::QString:
        return value;
    case QMetaType::Bool:
        return QVariant(value.toBool() ? QStringLiteral("1") : QStringLiteral("0"));
    case QMetaType::Float:
    case QMetaType::Double:
        return QVariant(formatGeneral(value.toDouble(), locale));
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return QVariant(QString::number(value.toLongLong()));
    case QMetaType::UChar:
    case QMetaType::UShort:
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return QVariant(QString::number(value.toULongLong()));
    default:
        return std::nullopt;
    }
}

template <typename Int>
std::optional<QVariant> toInteger(const QVariant& value, const QLocale& locale)
{
    const std::optional<double> number = asNumber(value, locale);
    if (!number)
        return std::nullopt;
    const double rounded = std::nearbyint(*number);
    if (rounded < double(std::numeric_limits<Int>::min())
        || rounded > double(std::numeric_limits<Int>::max()))
        return std::nullopt;
    return QVariant::fromValue(static_cast<Int>(rounded));
}

AutomationReply failure(AutomationErrorKind kind, const QString& message, int argument = 0)
{
    return { QVariant(), AutomationError { kind, message, argument } };
}

QString shown(const QVariant& value)
{
    const QString textValue = value.toString();
    if (value.metaType().id() == QMetaType::QString)
        return QLatin1Char('"') + textValue + QLatin1Char('"');
    return textValue.isEmpty() ? QString::fromLatin1(value.typeName()) : textValue;
}

} // namespace

bool automationNameMatches(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return false;
    const auto lower = [](char16_t c) -> char16_t {
        return (c >= u'A' && c <= u'Z') ? char16_t(c - u'A' + u'a') : c;
    };
    for (qsizetype i = 0; i < a.size(); ++i)
        if (lower(a[i].unicode()) != lower(b[i].unicode()))
            return false;
    return true;
}

QString automationErrorName(AutomationErrorKind kind)
{
    switch (kind) {
    case AutomationErrorKind::UnknownName:
        return QStringLiteral("Tessra.Error.UnknownName");
    case AutomationErrorKind::MemberNotFound:
        return QStringLiteral("Tessra.Error.MemberNotFound");
    case AutomationErrorKind::BadParamCount:
        return QStringLiteral("Tessra.Error.BadParamCount");
    case AutomationErrorKind::ParamNotOptional:
        return QStringLiteral("Tessra.Error.ParamNotOptional");
    case AutomationErrorKind::TypeMismatch:
        return QStringLiteral("Tessra.Error.TypeMismatch");
    case AutomationErrorKind::Exception:
        break;
    }
    return QStringLiteral("Tessra.Error.Exception");
}

std::optional<QVariant> convertArgument(
    const QVariant& value, AutomationType type, const QLocale& locale)
{
    switch (type) {
    case T::Text:
        return toText(value, locale);
    case T::Int16:
        return toInteger<qint16>(value, locale);
    case T::Int32:
        return toInteger<qint32>(value, locale);
    case T::Double:
        if (const std::optional<double> number = asNumber(value, locale))
            return QVariant(*number);
        return std::nullopt;
    case T::Bool: // result types only
    case T::TextList:
    case T::WorldSize:
    case T::SeriesSamples:
    case T::None:
        break;
    }
    return std::nullopt;
}

AutomationDispatcher::AutomationDispatcher(Core& core)
    : m_core(core)
{
}

const AutomationMethod* AutomationDispatcher::findMethod(const QString& name)
{
    for (const AutomationMethod& method : methods())
        if (automationNameMatches(method.name, name))
            return &method;
    return nullptr;
}

AutomationReply AutomationDispatcher::invoke(
    const QString& name, bool wantResult, const QVariantList& arguments) const
{
    using K = AutomationErrorKind;
    const AutomationMethod* method = findMethod(name);
    if (!method)
        return failure(K::UnknownName, QStringLiteral("Unknown method \"%1\"").arg(name));
    if (wantResult && method->result == T::None)
        return failure(K::MemberNotFound, QStringLiteral("%1 has no result").arg(method->name));
    const auto declared = static_cast<qsizetype>(method->arguments.size());
    if (arguments.size() != declared)
        return failure(K::BadParamCount,
            QStringLiteral("%1 takes %2 argument(s), %3 given")
                .arg(method->name)
                .arg(declared)
                .arg(arguments.size()));
    const QLocale locale;
    QVariantList converted;
    for (qsizetype i = 0; i < declared; ++i) {
        const AutomationArgument& argument = method->arguments[std::size_t(i)];
        const int position = int(i) + 1;
        const QVariant& given = arguments.at(i);
        if (!given.isValid())
            return failure(K::ParamNotOptional,
                QStringLiteral("Argument %1 (%2) of %3 is missing")
                    .arg(position)
                    .arg(argument.name, method->name),
                position);
        const std::optional<QVariant> value = convertArgument(given, argument.type, locale);
        if (!value)
            return failure(K::TypeMismatch,
                QStringLiteral("Argument %1 (%2) of %3: %4 is no %5")
                    .arg(position)
                    .arg(argument.name, method->name, shown(given), typeName(argument.type)),
                position);
        converted.append(*value);
    }
    try {
        return { method->call(m_core, converted), std::nullopt };
    } catch (const CommandError& error) {
        return failure(K::Exception, QStringLiteral("TFrontEnd: %1").arg(error.message()));
    } catch (const std::exception& error) {
        return failure(K::Exception,
            QStringLiteral("TFrontEnd: %1").arg(QString::fromLocal8Bit(error.what())));
    } catch (...) {
        return failure(K::Exception, QStringLiteral("TFrontEnd: unknown error"));
    }
}

} // namespace tessra
