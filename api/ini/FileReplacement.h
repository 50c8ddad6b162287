#pragma once

#include <string>
#include <string_view>

namespace tessra {

/// Replaces the content of the file at `path` by `data` in one atomic step:
/// readers see either the old file or the new one, never a mixture.
///
/// - A symbolic link at `path` stays; the file it leads to is replaced.
/// - The target must be a regular file the user may write (checked with the
///   effective user's rights) or missing in a folder the user may write;
///   otherwise nothing is changed.
/// - The new content is written into a file of its own in the target's
///   folder: unnamed where the file system allows, else created exclusively
///   under an unpredictable name, so a link planted in a shared folder is
///   never followed. It is made durable, given the old file's permissions
///   (and owner, where allowed), then renamed over the target.
/// - On failure the temporary file is removed. One left by a process that was
///   killed while saving is removed by the next save into the same folder.
///
/// On failure answers false and, when `error` is given, the reason in words
/// that may follow "cannot write <file>: ".
bool replaceFileContent(const std::string& path, std::string_view data, std::string* error);

} // namespace tessra
