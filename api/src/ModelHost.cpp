#include "ModelHost.h"

namespace tessra::api {

ModelHost* const theModelHost = new ModelHost;

ModelHost::ModelHost()
    : m_error("No model loaded")
{
    m_world.attach(nullptr, m_params.values());
}

void ModelHost::unload()
{
    if (!m_library.isOpen())
        return;
    // The model frees its world while its code is still loaded.
    try {
        m_world.destroy();
    } catch (...) {
        forget();
        throw;
    }
    forget();
}

void ModelHost::forget()
{
    m_params.reset(nullptr);
    m_world.attach(nullptr, m_params.values());
    m_library.close();
}

void ModelHost::loadModel(const char* path)
{
    m_error = "No model loaded";
    try {
        unload();
    } catch (...) {
        // A model that throws from its cleanup is unloaded all the same.
    }
    std::string error;
    if (!m_library.open(path ? path : "", error)) {
        m_error = error;
        return;
    }
    m_params.reset(m_library.model());
    m_world.attach(m_library.model(), m_params.values());
}

const char* ModelHost::about(int field) const
{
    const TessraModel* described = model();
    if (!described)
        return "";
    const char* text = nullptr;
    switch (field) {
    case 0:
        text = described->name;
        break;
    case 1:
        text = described->version;
        break;
    case 2:
        text = described->copyright;
        break;
    case 3:
        text = described->comments;
        break;
    case 4:
        text = described->url;
        break;
    default:
        break;
    }
    return text ? text : "";
}

int ModelHost::stateCount() const
{
    const TessraModel* described = model();
    return described ? described->stateCount : 0;
}

const char* ModelHost::stateName(int index) const
{
    const TessraModel* described = model();
    if (!described || index < 0 || index >= described->stateCount)
        return "";
    return described->stateNames[index];
}

} // namespace tessra::api
