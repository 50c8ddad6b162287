#pragma once

#include <string>

namespace tessra::test {

/// model.so of an example model built in this tree ("life", "grayscott", "forestfire").
inline std::string exampleModel(const std::string& name)
{
    return std::string(TESSRA_BINARY_DIR) + "/models/" + name + "/model.so";
}

/// Folder of an example model (model.so, default.ini, help/).
inline std::string exampleFolder(const std::string& name)
{
    return std::string(TESSRA_BINARY_DIR) + "/models/" + name;
}

/// model.so of a fixture model from tests/models.
inline std::string fixtureModel(const std::string& name)
{
    return std::string(TESSRA_BINARY_DIR) + "/tests/models/" + name + "/model.so";
}

/// The built tessra executable.
inline std::string tessraExecutable()
{
    return std::string(TESSRA_BINARY_DIR) + "/bin/tessra";
}

} // namespace tessra::test
