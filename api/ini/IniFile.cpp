#include "IniFile.h"

#define SI_NO_CONVERSION
// Debian's SimpleIni.h keeps the template definitions behind this switch
// (otherwise they are expected from libsimpleini.so).
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace tessra {

struct IniFile::Impl {
    CSimpleIniA ini { false, false, false };
    // SimpleIni attaches a comment to the entry after it, so comment lines
    // after the last entry would be lost; they are kept here and written back.
    std::string trailingComment;
};

namespace {

std::string_view withoutBlanks(std::string_view line)
{
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r'))
        line.remove_suffix(1);
    return line;
}

bool isComment(std::string_view line)
{
    return line.front() == ';' || line.front() == '#';
}

/// The comment lines that follow the last section or key of `text`, each
/// ending in a newline; empty when there are none.
std::string trailingCommentOf(std::string_view text)
{
    std::vector<std::string_view> lines;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        lines.push_back(withoutBlanks(text.substr(start, end - start)));
        start = end + 1;
    }
    std::size_t first = lines.size();
    while (first > 0 && (lines[first - 1].empty() || isComment(lines[first - 1])))
        --first;
    if (first == 0) // comments only: SimpleIni keeps them as the file's comment
        return {};
    std::string comment;
    for (std::size_t i = first; i < lines.size(); ++i)
        if (!lines[i].empty())
            comment.append(lines[i]).append("\n");
    return comment;
}

/// Where the document is really written: the target of a symbolic link, so
/// the link itself survives the replacement.
std::string resolvedTarget(const std::string& path)
{
    char resolved[PATH_MAX];
    struct stat info { };
    if (::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode)
        && ::realpath(path.c_str(), resolved))
        return resolved;
    return path;
}

} // namespace

IniFile::IniFile()
    : m_impl(std::make_unique<Impl>())
{
    m_impl->ini.SetSpaces(false);
}

IniFile::~IniFile() = default;

bool IniFile::load(const std::string& path)
{
    m_impl->ini.Reset();
    m_impl->trailingComment.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream text;
    text << in.rdbuf();
    const std::string data = text.str();
    m_impl->trailingComment = trailingCommentOf(data);
    return m_impl->ini.LoadData(data.data(), data.size()) >= 0;
}

bool IniFile::hasSection(const std::string& section) const
{
    return m_impl->ini.GetSection(section.c_str()) != nullptr;
}

std::optional<std::string> IniFile::value(const std::string& section, const std::string& key) const
{
    const char* text = m_impl->ini.GetValue(section.c_str(), key.c_str(), nullptr);
    if (!text)
        return std::nullopt;
    return std::string(text);
}

std::vector<std::string> IniFile::keys(const std::string& section) const
{
    CSimpleIniA::TNamesDepend names;
    m_impl->ini.GetAllKeys(section.c_str(), names);
    names.sort(CSimpleIniA::Entry::LoadOrder());
    std::vector<std::string> result;
    for (const auto& name : names)
        result.emplace_back(name.pItem);
    return result;
}

void IniFile::replaceSection(const std::string& section, const Entries& entries)
{
    CSimpleIniA& ini = m_impl->ini;
    // Delete the keys but not the section itself, so it keeps its place.
    CSimpleIniA::TNamesDepend names;
    ini.GetAllKeys(section.c_str(), names);
    for (const auto& name : names)
        ini.Delete(section.c_str(), name.pItem, false);
    ini.SetValue(section.c_str(), nullptr, nullptr);
    for (const auto& [key, value] : entries)
        ini.SetValue(section.c_str(), key.c_str(), value.c_str());
}

bool IniFile::save(const std::string& requestedPath, std::string* error) const
{
    std::string data;
    if (m_impl->ini.Save(data) < 0) {
        if (error)
            *error = "cannot format the settings";
        return false;
    }
    const std::string& comment = m_impl->trailingComment;
    if (!comment.empty()) {
        if (!data.empty() && data.back() != '\n')
            data += '\n';
        data += comment;
    }
    const std::string path = resolvedTarget(requestedPath);
    const std::string temporary = path + ".tmp" + std::to_string(::getpid());
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        if (error)
            *error = std::strerror(errno);
        return false;
    }
    // The new file keeps the permissions of the one it replaces.
    struct stat old { };
    if (::stat(path.c_str(), &old) == 0)
        ::fchmod(fileno(file), old.st_mode & 07777);
    const bool written = std::fwrite(data.data(), 1, data.size(), file) == data.size();
    const bool flushed = std::fflush(file) == 0 && ::fsync(fileno(file)) == 0;
    const bool closed = std::fclose(file) == 0;
    if (!written || !flushed || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        if (error)
            *error = std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace tessra
