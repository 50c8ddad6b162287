#pragma once

#include <dlfcn.h>

#include <sstream>
#include <string>
#include <vector>

namespace tessra::test {

/// Reads and clears the log of the calllog fixture model (format in
/// tests/models/README.md) while it is loaded in this process. The library is
/// found by path among those already loaded; it is never loaded by this class.
class FixtureCallLog {
public:
    explicit FixtureCallLog(std::string modelPath)
        : m_path(std::move(modelPath))
    {
    }

    /// True while the fixture library is loaded in this process.
    bool loaded() const
    {
        void* handle = dlopen(m_path.c_str(), RTLD_NOW | RTLD_NOLOAD);
        if (handle)
            dlclose(handle);
        return handle != nullptr;
    }

    /// The whole log ("" when the library is not loaded).
    std::string text() const
    {
        std::string result;
        call("tessra_fixture_calls",
            [&](void* symbol) { result = reinterpret_cast<const char* (*)()>(symbol)(); });
        return result;
    }

    /// The log, one entry per call.
    std::vector<std::string> lines() const
    {
        std::vector<std::string> result;
        std::istringstream in(text());
        for (std::string line; std::getline(in, line);)
            result.push_back(line);
        return result;
    }

    void reset() const
    {
        call("tessra_fixture_reset", [](void* symbol) { reinterpret_cast<void (*)()>(symbol)(); });
    }

private:
    template <class Use> void call(const char* name, Use use) const
    {
        void* handle = dlopen(m_path.c_str(), RTLD_NOW | RTLD_NOLOAD);
        if (!handle)
            return;
        if (void* symbol = dlsym(handle, name))
            use(symbol);
        dlclose(handle);
    }

    std::string m_path;
};

} // namespace tessra::test
