#pragma once

#include <string>

#include "ModelLibrary.h"
#include "ParamSet.h"
#include "World.h"

namespace tessra::api {

/// Everything the API library holds: the loaded model, its parameter values
/// and its world. The C entry points reach the one instance of this class
/// through modelHost(); the C interface leaves them no other way.
class ModelHost {
public:
    ModelHost();
    ModelHost(const ModelHost&) = delete;
    ModelHost& operator=(const ModelHost&) = delete;

    /// Unloads the present model (its world first), then loads `path`. On
    /// failure no model is loaded and loadError() says why.
    void loadModel(const char* path);
    /// Null when a model is loaded, else one line saying why not.
    const char* loadError() const { return m_library.isOpen() ? nullptr : m_error.c_str(); }
    const TessraModel* model() const { return m_library.model(); }
    /// About text 0 name, 1 version, 2 copyright, 3 comments, 4 web address.
    const char* about(int field) const;

    ParamSet& params() { return m_params; }
    World& world() { return m_world; }

    /// Keeps `text` as the answer of a C function: valid until the next call
    /// that keeps one.
    const std::string& keep(std::string text)
    {
        m_answer = std::move(text);
        return m_answer;
    }

    int stateCount() const;
    const char* stateName(int index) const;

private:
    void unload();
    void forget();

    ModelLibrary m_library;
    ParamSet m_params;
    World m_world;
    std::string m_error;
    std::string m_answer;
};

/// The process-wide instance the C functions use. It is never destroyed: at
/// process exit the model's own static data may already be gone, so nothing
/// may call into the model then.
extern ModelHost* const theModelHost;

inline ModelHost& modelHost()
{
    return *theModelHost;
}

} // namespace tessra::api
