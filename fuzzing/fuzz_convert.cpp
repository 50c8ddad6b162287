// The automation dispatcher's argument conversion (convertArgument): a value
// of any type a D-Bus client can send, converted to each declared argument
// type, in the C locale and a comma locale.
//
// Properties: a text converts to a double exactly as the front end reads
// typed text; integers take the nearest whole number (ties to even) or are
// refused when out of range, never wrapped; a value converted to text
// converts back to the same number (to 15 digits for a double, but for the
// largest doubles, which round up beyond the largest double); result-only
// types take no argument.

#include "AutomationDispatcher.h"
#include "FuzzSupport.h"
#include "NumberFormat.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

using namespace tessra;
using tessra::fuzz::check;
using tessra::fuzz::escaped;

namespace {

using T = AutomationType;

/// The number a value stands for, as the conversion rules define it.
std::optional<double> expectedNumber(const QVariant& value, const QLocale& locale)
{
    switch (value.metaType().id()) {
    case QMetaType::QString:
        return parseNumber(value.toString(), locale);
    case QMetaType::Bool:
        return value.toBool() ? 1.0 : 0.0;
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        return std::isfinite(d) ? std::optional<double>(d) : std::nullopt;
    }
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::UChar:
        return double(value.toULongLong());
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::Short:
        return double(value.toLongLong());
    default:
        return std::nullopt;
    }
}

QVariant makeValue(FuzzedDataProvider& input)
{
    switch (input.ConsumeIntegralInRange(0, 10)) {
    case 0:
        return QVariant(input.ConsumeBool());
    case 1:
        return QVariant(input.ConsumeIntegral<int>());
    case 2:
        return QVariant(input.ConsumeIntegral<qlonglong>());
    case 3:
        return QVariant(input.ConsumeIntegral<qulonglong>());
    case 4:
        return QVariant(input.ConsumeIntegral<unsigned>());
    case 5:
        return QVariant::fromValue(input.ConsumeIntegral<short>());
    case 6:
        return QVariant::fromValue(input.ConsumeIntegral<unsigned char>());
    case 7:
        return QVariant(input.ConsumeFloatingPoint<double>());
    case 8:
        return QVariant(input.ConsumeFloatingPoint<float>());
    case 9:
        return QVariant(QByteArray::fromStdString(input.ConsumeRandomLengthString(64)));
    default:
        return QVariant(QString::fromUtf8(input.ConsumeRemainingBytesAsString()));
    }
}

template <typename Int>
void checkInteger(const QVariant& value, const std::optional<QVariant>& result,
    const std::optional<double>& number, const char* typeName)
{
    const std::string what = escaped(value.toString().toStdString()) + " to " + typeName;
    if (!number) {
        check(!result, what + " converted although it is no number");
        return;
    }
    const double rounded = std::nearbyint(*number);
    const bool fits = rounded >= double(std::numeric_limits<Int>::min())
        && rounded <= double(std::numeric_limits<Int>::max());
    check(result.has_value() == fits, what + (fits ? " refused" : " converted out of range"));
    if (result) {
        check(result->metaType() == QMetaType::fromType<Int>(), what + " of another type");
        check(double(result->value<Int>()) == rounded, what + " not the nearest whole number");
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QLocale c = QLocale::c();
    static const QLocale german(QLocale::German, QLocale::Germany);

    FuzzedDataProvider input(data, size);
    const QLocale& locale = input.ConsumeBool() ? german : c;
    const QVariant value = makeValue(input);
    const std::optional<double> number = expectedNumber(value, locale);
    const std::string shown = escaped(value.toString().toStdString()) + " ("
        + value.metaType().name() + ", " + locale.name().toStdString() + ")";

    const std::optional<QVariant> asDouble = convertArgument(value, T::Double, locale);
    check(asDouble.has_value() == number.has_value(),
        shown + (number ? " refused as a double" : " taken as a double"));
    if (asDouble)
        check(asDouble->metaType().id() == QMetaType::Double && asDouble->toDouble() == *number,
            shown + " converts to the double " + asDouble->toString().toStdString());

    checkInteger<qint16>(value, convertArgument(value, T::Int16, locale), number, "int16");
    checkInteger<qint32>(value, convertArgument(value, T::Int32, locale), number, "int32");

    const std::optional<QVariant> asText = convertArgument(value, T::Text, locale);
    if (value.metaType().id() == QMetaType::QString)
        check(asText && *asText == value, shown + " changed as a text");
    if (asText && number && value.metaType().id() != QMetaType::QString) {
        const std::optional<QVariant> back = convertArgument(*asText, T::Double, locale);
        // Rounded to 15 digits, the largest doubles become a text beyond the
        // largest double ("1.79769313486232E308"), which reads as no number.
        if (!back && std::fabs(*number) > 1.79769313486231e308)
            return 0;
        check(back.has_value(),
            shown + " as a text " + escaped(asText->toString().toStdString())
                + " does not convert back to a number");
        const bool floating = value.metaType().id() == QMetaType::Double
            || value.metaType().id() == QMetaType::Float;
        const double tolerance = floating ? std::fabs(*number) * 1e-14 : 0;
        check(std::fabs(back->toDouble() - *number) <= tolerance,
            shown + " as a text " + asText->toString().toStdString() + " converts back to "
                + back->toString().toStdString());
    }

    for (T resultOnly : { T::Bool, T::TextList, T::WorldSize, T::SeriesSamples, T::None })
        check(!convertArgument(value, resultOnly, locale), shown + " taken for a result type");
    return 0;
}
