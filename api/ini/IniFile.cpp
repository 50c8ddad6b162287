#include "IniFile.h"

#define SI_NO_CONVERSION
#include <SimpleIni.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace tessra {

struct IniFile::Impl {
    CSimpleIniA ini{false, false, false};
};

IniFile::IniFile() : m_impl(std::make_unique<Impl>())
{
    m_impl->ini.SetSpaces(false);
}

IniFile::~IniFile() = default;

bool IniFile::load(const std::string& path)
{
    m_impl->ini.Reset();
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream text;
    text << in.rdbuf();
    const std::string data = text.str();
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

bool IniFile::save(const std::string& path, std::string* error) const
{
    std::string data;
    if (m_impl->ini.Save(data) < 0) {
        if (error)
            *error = "cannot format the settings";
        return false;
    }
    const std::string temporary = path + ".tmp" + std::to_string(::getpid());
    std::FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        if (error)
            *error = std::strerror(errno);
        return false;
    }
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
