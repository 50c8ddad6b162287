#include "DocumentOpener.h"

#include "CommandError.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QRegularExpression>
#include <utility>

namespace tessra {

namespace {
// The process has one desktop; tests replace the way to it.
DocumentOpener& installedOpener()
{
    static DocumentOpener opener;
    return opener;
}

bool callOpener(const QUrl& url)
{
    if (const DocumentOpener& opener = installedOpener())
        return opener(url);
    return QDesktopServices::openUrl(url);
}

bool hasScheme(const QString& target)
{
    // Two letters at least, so that a drive letter is never taken for a scheme.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    return scheme.match(target).hasMatch();
}
} // namespace

DocumentOpener setDocumentOpener(DocumentOpener opener)
{
    return std::exchange(installedOpener(), std::move(opener));
}

QUrl documentUrl(const QString& target)
{
    if (!target.startsWith(QLatin1Char('/')) && !QFileInfo::exists(target)) {
        if (hasScheme(target))
            return QUrl(target);
        if (target.startsWith(QLatin1String("www."), Qt::CaseInsensitive))
            return QUrl::fromUserInput(target);
    }
    return QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath());
}

void openDocument(const QString& target)
{
    if (target.isEmpty())
        throw CommandError(QStringLiteral("No file to open"));
    const QUrl url = documentUrl(target);
    const bool missing = url.isLocalFile() && !QFileInfo::exists(url.toLocalFile());
    // The path is shown in its own letter case: file names here are case
    // sensitive, so a lower-cased path would name another file.
    if (missing || !url.isValid() || !callOpener(url))
        throw CommandError(QStringLiteral("Cannot open file\n") + target);
}

void openLink(const QString& target)
{
    if (!target.isEmpty())
        callOpener(documentUrl(target));
}

} // namespace tessra
