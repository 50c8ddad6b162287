#pragma once

#include "ProjectInfo.h"

#include <QDir>
#include <QString>

namespace tessra {

/// The product's name, the first word of every caption.
inline QString productName()
{
    return QString::fromUtf8(project::ProductName);
}

/// The application title in force until a model names itself: "Tessra - " + description.
inline QString startupApplicationTitle()
{
    return QString::fromStdString(project::applicationTitle());
}

/// File name of a model library in its folder (the platform's shared-library suffix).
inline QString modelFileName()
{
    return QStringLiteral("model.so");
}

/// The model loaded at start: model.so in the current folder.
inline QString startupModelPath()
{
    return "./" + modelFileName();
}

/// Settings read by a new model when no settings file was named: "default.ini" in the
/// model library's own folder `modelFolder`.
inline QString defaultSettingsPath(const QString& modelFolder)
{
    return QDir(modelFolder).filePath(QStringLiteral("default.ini"));
}

} // namespace tessra
