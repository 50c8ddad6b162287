#pragma once

#include <QString>
#include <QUrl>
#include <functional>

namespace tessra {

/// Hands a URL to the desktop's "open" action; true when the desktop took it.
using DocumentOpener = std::function<bool(const QUrl& url)>;

/// Replaces the function that every document, help page and link of the
/// program is opened with. The default is QDesktopServices::openUrl; tests
/// install a recorder so that no desktop program starts. An empty function
/// restores the default. Returns the previous opener (empty for the default).
DocumentOpener setDocumentOpener(DocumentOpener opener);

/// The URL the desktop is asked to open for `target`: an address with a
/// scheme (https:, mailto:, file: ...) as it is, "www." followed by a host as
/// a web address, anything else as a local file or folder (a relative path
/// taken from the current folder).
QUrl documentUrl(const QString& target);

/// Opens a file, a folder or a web address in the desktop's default viewer.
/// Throws CommandError "No file to open" for an empty target (the desktop is
/// not asked), and "Cannot open file" + line break + the target when a local
/// file does not exist (checked first, since the desktop's opener does not
/// report it) or the desktop refuses it.
void openDocument(const QString& target);

/// Opens the target of a link label. Unlike openDocument nothing is checked
/// and nothing is reported: a link that leads nowhere just does nothing. An
/// empty target is ignored.
void openLink(const QString& target);

} // namespace tessra
