#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "TessraAPI.h"
#include "TestPaths.h"
#include "tessra/model.h"

namespace tessra::test {

/// A private folder, removed with everything in it at the end of the test.
class TempDir {
public:
    TempDir()
    {
        std::string pattern
            = (std::filesystem::temp_directory_path() / "tessra-api-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("cannot create a temporary folder");
        m_path = pattern;
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string file(const std::string& name) const { return (m_path / name).string(); }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

inline std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void writeText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

inline std::vector<std::string> readLines(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

/// Loads a model and fails the test when it does not load.
inline void loadModelOrFail(const std::string& path)
{
    _loadModel(path.c_str());
    const char* error = _getLoadModelErr();
    ASSERT_EQ(error, nullptr) << error;
}

inline int paramIndex(const std::string& name)
{
    for (int i = 0; i < _getParamCount(); ++i)
        if (name == _getParamName(i))
            return i;
    return -1;
}

/// Sets a parameter by name through its address (no validation).
inline void setParam(const std::string& name, double value)
{
    double* address = getParamRef(name.c_str());
    ASSERT_NE(address, nullptr) << name;
    *address = value;
}

/// The call log of the apiprobe fixture, kept in a temporary folder.
class ProbeLog {
public:
    ProbeLog()
        : m_path(m_dir.file("probe.log"))
    {
        ::setenv("TESSRA_PROBE_LOG", m_path.c_str(), 1);
    }
    ~ProbeLog() { ::unsetenv("TESSRA_PROBE_LOG"); }
    std::vector<std::string> lines() const { return readLines(m_path); }
    void clear() const { std::filesystem::remove(m_path); }

private:
    TempDir m_dir;
    std::string m_path;
};

} // namespace tessra::test
