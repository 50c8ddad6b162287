#include "RateText.h"

#include <cmath>

namespace tessra {

namespace {

QString roundedText(double value)
{
    return QString::number(static_cast<qlonglong>(std::floor(value + 0.5)));
}

// Per second when at least one, else per minute, else per hour.
QString rateText(double perSecond, const char* second, const char* minute, const char* hour)
{
    if (perSecond >= 1)
        return roundedText(perSecond) + QLatin1String(second);
    if (perSecond * 60 >= 1)
        return roundedText(perSecond * 60) + QLatin1String(minute);
    return roundedText(perSecond * 3600) + QLatin1String(hour);
}

} // namespace

QString frameRateText(double seconds)
{
    if (seconds < 0.000001)
        return QStringLiteral("0 fps");
    return rateText(1 / seconds, " fps", " fpm", " fph");
}

QString tickRateText(double ticks, double seconds)
{
    if (seconds < 0.000001)
        return QStringLiteral("0 tps");
    return rateText(ticks / seconds, " tps", " tpm", " tph");
}

QString tickText(double time, const QLocale& locale)
{
    QLocale plain = locale;
    plain.setNumberOptions(plain.numberOptions() | QLocale::OmitGroupSeparator);
    QString text = plain.toString(time, 'f', 6);
    const QString point = plain.decimalPoint();
    if (text.contains(point)) {
        while (text.endsWith(u'0'))
            text.chop(1);
        if (text.endsWith(point))
            text.chop(point.size());
    }
    if (text == u'-' + plain.zeroDigit())
        text = plain.zeroDigit();
    return "Tick " + text;
}

int nextRefreshInterval(double seconds, int intervalMs, int share)
{
    const double interval = intervalMs;
    double x = std::floor(seconds * 1000) * share;
    if (x > 2 * interval)
        x = 2 * interval;
    if (x < 0.5 * interval)
        x = 0.5 * interval;
    if (x < 33)
        x = 33;
    if (x < share)
        x = share;
    if (x > 65535)
        x = 65535;
    return static_cast<int>(x);
}

} // namespace tessra
