#pragma once

#include <QImage>
#include <QString>

namespace tessra {

class ModelApi;

/// What the about-the-model window shows, as the loaded model describes itself.
struct ModelAboutTexts {
    QString nameLine; ///< the name, then a blank and the version when there is one
    QString copyright;
    QString address; ///< the model's web address; empty when it gives none
    QString comments;
};

/// Asks the model library for the model's about texts (fetched anew at every
/// call, so they follow the model loaded now).
ModelAboutTexts modelAboutTexts(const ModelApi& api);

/// "Version 1.9 (Build 107, March 9, 2003)".
QString programVersionLine();

/// "API Version " followed by `apiVersion`, or by "unknown" when it is empty.
QString apiVersionLine(const QString& apiVersion);

/// Rich text that shows `target` as a link to itself; empty for an empty target.
QString linkMarkup(const QString& target);

/// The program's icon, drawn at `size` × `size` pixels: a tiling of coloured
/// sites.
QImage programIconImage(int size);

} // namespace tessra
