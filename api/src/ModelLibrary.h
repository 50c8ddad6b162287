#pragma once

#include <string>

#include "tessra/model.h"

namespace tessra::api {

/// One model library opened with dlopen, its description checked. Closing it
/// (or destroying the object) unloads the library: nothing it returned may be
/// used afterwards.
class ModelLibrary {
public:
    ModelLibrary() = default;
    ~ModelLibrary();
    ModelLibrary(const ModelLibrary&) = delete;
    ModelLibrary& operator=(const ModelLibrary&) = delete;

    /// Opens the model library at `path`. On failure nothing stays open and
    /// `error` holds one line naming the file and the reason.
    bool open(const std::string& path, std::string& error);
    void close();

    bool isOpen() const { return m_model != nullptr; }
    /// The checked description, or null when nothing is open. It is the
    /// library's own copy in the present layout: the functions an older model
    /// does not know are null.
    const TessraModel* model() const { return m_model; }

    /// Why `model` cannot be used, or an empty text when it can.
    static std::string descriptionProblem(const TessraModel& model);

private:
    void* m_handle = nullptr;
    const TessraModel* m_model = nullptr;
    TessraModel m_description {};
};

} // namespace tessra::api
