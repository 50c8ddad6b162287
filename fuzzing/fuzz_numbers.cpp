// Typed and stored numbers: the one reading rule (readNumberText), the front
// end's reading and formatting in the C locale and a comma locale, and the
// export formatting of ticks.
//
// Properties: the rule reads what the C library's strtod reads, to the same
// double, and refuses only what it documents; "." and "," texts read alike in
// their locales; the front end's reader is the rule; a number the front end
// formats reads back in the same locale and formats to the same text again
// (but for the largest doubles, which round up beyond the largest double);
// an exported tick reads back to the very same double.

#include "ExportNumber.h"
#include "FuzzSupport.h"
#include "NumberFormat.h"
#include "NumberRule.h"

#include <QLocale>
#include <QString>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace tessra;
using tessra::fuzz::check;
using tessra::fuzz::escaped;

namespace {

bool isCBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

std::string describe(double value)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

/// What a number the front end shows reads back as: nearly the same value
/// (15 digits), and the same text when shown again.
void checkFormatted(double value, const QLocale& locale)
{
    if (!std::isfinite(value))
        return;
    const QString shown = formatGeneral(value, locale);
    const std::optional<double> back = parseNumber(shown, locale);
    check(back.has_value(),
        describe(value) + " shows as " + escaped(shown.toStdString()) + " in "
            + locale.name().toStdString() + ", which does not read back");
    check(formatGeneral(*back, locale) == shown,
        describe(value) + " shows as " + shown.toStdString() + " but reads back as "
            + describe(*back) + ", shown " + formatGeneral(*back, locale).toStdString());
    check(std::fabs(*back - value) <= std::fabs(value) * 1e-14,
        describe(value) + " reads back as " + describe(*back) + " from " + shown.toStdString());
}

/// An exported tick reads back as exactly the same double.
void checkTick(double value)
{
    if (!std::isfinite(value))
        return;
    char out[GeneralNumberMaxLength];
    char* end = formatExportTick(out, value);
    const std::string text(out, end);
    const std::optional<double> back = readNumberText(text, ".");
    check(back && (*back == value || (value == 0 && *back == 0)),
        "tick " + describe(value) + " is written " + escaped(text) + ", which reads back as "
            + (back ? describe(*back) : std::string("nothing")));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const QLocale c = QLocale::c();
    static const QLocale german(QLocale::German, QLocale::Germany);

    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::optional<double> point = readNumberText(text, ".");
    const std::optional<double> comma = readNumberText(text, ",");

    // The C library reads an accepted text to the same double, and all of it.
    if (point && text.find('\0') == std::string::npos) {
        errno = 0;
        char* end = nullptr;
        const double strtodValue = std::strtod(text.c_str(), &end);
        while (*end && isCBlank(*end))
            ++end;
        check(*end == '\0' && strtodValue == *point,
            escaped(text) + " reads as " + describe(*point) + " but strtod reads "
                + describe(strtodValue) + " up to " + escaped(end));
    }

    // A text without "," reads in a comma locale, its "." written ",", as it
    // reads with "."; and a comma locale never takes a ".".
    if (text.find(',') == std::string::npos) {
        std::string swapped = text;
        for (char& ch : swapped)
            if (ch == '.')
                ch = ',';
        const std::optional<double> swappedValue = readNumberText(swapped, ",");
        check(swappedValue == point,
            escaped(text) + " and " + escaped(swapped) + " read differently in their locales");
        if (text.find('.') != std::string::npos)
            check(!comma, escaped(text) + " reads with \",\" although it holds \".\"");
    }

    // The front end's reader is the rule, in either locale.
    const QString typed = QString::fromUtf8(text);
    if (typed.toStdString() == text) {
        check(parseNumber(typed, c) == point, escaped(text) + ": front end and rule differ (C)");
        check(parseNumber(typed, german) == comma,
            escaped(text) + ": front end and rule differ (de_DE)");
    }

    for (const std::optional<double>& read : { point, comma })
        if (read) {
            checkFormatted(*read, c);
            checkFormatted(*read, german);
            checkTick(*read);
        }

    // The bytes as a double: every finite value formats and reads back.
    if (size >= sizeof(double)) {
        double raw;
        std::memcpy(&raw, data, sizeof raw);
        checkFormatted(raw, c);
        checkFormatted(raw, german);
        checkTick(raw);
    }
    return 0;
}
