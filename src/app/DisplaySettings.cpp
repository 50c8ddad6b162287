#include "DisplaySettings.h"

#include "PortalGeometry.h"

#include <QSettings>

#include <algorithm>

namespace tessra {

namespace {

QSettings store()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Tessra"),
        QStringLiteral("Tessra"));
}

int readInt(const QSettings& settings, const char* key, int fallback)
{
    bool ok = false;
    const int value = settings.value(QLatin1String(key)).toInt(&ok);
    return ok ? value : fallback;
}

bool readBool(const QSettings& settings, const char* key, bool fallback)
{
    const QVariant value = settings.value(QLatin1String(key));
    return value.isValid() ? value.toBool() : fallback;
}

} // namespace

DisplaySettings DisplaySettings::load()
{
    const QSettings settings = store();
    DisplaySettings s;
    s.frameRatePosition = readInt(settings, "Display/tbFrameRate.Position", s.frameRatePosition);
    if (s.frameRatePosition < 0 || s.frameRatePosition > 2)
        s.frameRatePosition = DisplaySettings().frameRatePosition;
    s.collapseHeight = std::max(0, readInt(settings, "Display/sbStatus.Tag", s.collapseHeight));
    s.inspectorShown = readBool(settings, "Display/Inspect1.Checked", s.inspectorShown);
    s.zoomCode = readInt(settings, "Display/iPortal.Tag", s.zoomCode);
    if (!isZoomCode(s.zoomCode))
        s.zoomCode = DisplaySettings().zoomCode;
    s.timeSeriesShown = readBool(settings, "Display/mTimeSeries.Checked", s.timeSeriesShown);
    s.placement = settings.value(QStringLiteral("Display/Placement")).toByteArray();
    return s;
}

void DisplaySettings::save() const
{
    QSettings settings = store();
    settings.setValue(QStringLiteral("Display/tbFrameRate.Position"), frameRatePosition);
    settings.setValue(QStringLiteral("Display/sbStatus.Tag"), collapseHeight);
    settings.setValue(QStringLiteral("Display/Inspect1.Checked"), inspectorShown);
    settings.setValue(QStringLiteral("Display/iPortal.Tag"), zoomCode);
    settings.setValue(QStringLiteral("Display/mTimeSeries.Checked"), timeSeriesShown);
    settings.setValue(QStringLiteral("Display/Placement"), placement);
}

} // namespace tessra
