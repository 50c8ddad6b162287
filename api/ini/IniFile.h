#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tessra {

/// One settings (INI) file held in memory. Section and key names compare
/// without regard to letter case. Comments and every section the program does
/// not touch survive a load/replace/save round trip, so several owners (the
/// model's parameters, the front end's time series) can share one file.
class IniFile {
public:
    using Entries = std::vector<std::pair<std::string, std::string>>;

    IniFile();
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    /// Reads `path`. A missing file gives an empty document and false; a file
    /// that is not valid INI text is read as far as it can be.
    bool load(const std::string& path);

    bool hasSection(const std::string& section) const;
    std::optional<std::string> value(const std::string& section, const std::string& key) const;
    /// The keys of a section in file order.
    std::vector<std::string> keys(const std::string& section) const;

    /// Replaces a whole section by `entries`, keeping the section's place and
    /// its leading comment when it exists already.
    void replaceSection(const std::string& section, const Entries& entries);

    /// Writes the document to `path` through a temporary file in the same
    /// folder renamed over the old one, so a failure never leaves half a
    /// file. On failure returns false and, when `error` is given, says why.
    bool save(const std::string& path, std::string* error = nullptr) const;

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

} // namespace tessra
