#pragma once

#include <QLocale>
#include <QString>

namespace tessra {

/// Text of the frame-rate panel for a frame time of `seconds`: whole frames per
/// second ("fps"), else per minute ("fpm"), else per hour ("fph"); "0 fps" for a
/// time below a microsecond. Halves round up.
QString frameRateText(double seconds);

/// Text of the tick-rate panel for `ticks` made in `seconds`: "tps", "tpm" or "tph"
/// as frameRateText chooses its unit; "0 tps" for a time below a microsecond.
QString tickRateText(double ticks, double seconds);

/// The tick panel's text: "Tick " and the time with up to six decimals, no trailing
/// zeros, in `locale` (no group separators).
QString tickText(double time, const QLocale& locale);

/// The refresh interval (ms) after a refresh that took `seconds`, from the current
/// interval `intervalMs` and the refresh share (1 Medium, 50 Slow): share times the
/// refresh's duration, changing at most by a factor of two, never below 33 ms nor
/// below the share, never above 65535 ms.
int nextRefreshInterval(double seconds, int intervalMs, int share);

} // namespace tessra
