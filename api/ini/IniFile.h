#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tessra {

/// One settings (INI) file held in memory as the lines it was read from.
///
/// Reading: a line ends at "\n" (a "\r" just before it belongs to the line
/// end; any other "\r" is part of the line). After leading blanks, a line
/// starting with ";" or "#" is a comment, "[name]" starts a section, and
/// "key=value" is an entry of the section above it (entries above the first
/// section belong to the section ""). Blanks around names and values are not
/// part of them; section and key names compare without regard to the case of
/// ASCII letters; of a key given twice in a section the last value counts.
/// Every other line (an unterminated "[header", text without "=") is kept
/// but means nothing.
///
/// Writing: an update changes only the entry lines of its own section; every
/// other line, understood or not, is written back byte for byte and in order,
/// so several owners (the model's parameters, the front end's time series)
/// can share one file.
class IniFile {
public:
    using Entries = std::vector<std::pair<std::string, std::string>>;

    IniFile();
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    /// Reads `path`. A missing file gives an empty document and false; so
    /// does a file that cannot be read or is not a regular file (a folder, a
    /// FIFO or a device is never opened for reading, so it cannot block).
    /// When `error` is given it says why the file could not be read.
    bool load(const std::string& path, std::string* error = nullptr);
    /// Takes `text` as the file's content.
    void setText(std::string text);
    /// The file's content as it would be written.
    const std::string& text() const;

    bool hasSection(const std::string& section) const;
    std::optional<std::string> value(const std::string& section, const std::string& key) const;
    /// The keys of a section in file order (each once, as first written).
    std::vector<std::string> keys(const std::string& section) const;
    /// Calls `visit` with the key and value of every entry line of a section
    /// in file order, a key given twice as often as it is given. The texts
    /// are valid until the document changes.
    void forEachEntry(const std::string& section,
        const std::function<void(std::string_view key, std::string_view value)>& visit) const;

    /// Makes `entries` the only entries of `section`: an existing entry line
    /// of one of the keys is rewritten in place, a line of any other key is
    /// dropped, and keys the section lacks are added after its last entry.
    /// Comments and other lines inside the section stay. A missing section
    /// is added at the end of the file.
    void replaceSection(const std::string& section, const Entries& entries);
    /// Like replaceSection(), but entries of other keys stay as they are and
    /// a rewritten line keeps the key as the file spells it.
    void updateSection(const std::string& section, const Entries& entries);

    /// Writes the document to `path` as one atomic replacement: the text goes
    /// into a new file created exclusively in the target's folder (never
    /// through a link planted there), which is then renamed over the target.
    /// A symbolic link at `path` stays and its target is replaced; the new
    /// file keeps the old one's permissions and, where allowed, owner.
    /// Refused, with nothing changed, when the target exists but is not a
    /// regular file or the user may not write it. A failed save leaves no
    /// file behind; files left by a save that was killed are removed by the
    /// next save into the same folder. On failure returns false and, when
    /// `error` is given, says why in words that follow the file's name.
    bool save(const std::string& path, std::string* error = nullptr) const;

    /// Why `path` cannot be a settings file although it exists (a folder, a
    /// FIFO, a device), or nothing when it is a regular file or missing.
    static std::optional<std::string> notASettingsFile(const std::string& path);

private:
    void setSection(const std::string& section, const Entries& entries, bool replace);

    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace tessra
