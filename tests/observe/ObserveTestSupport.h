#pragma once

#include <gtest/gtest.h>

#include <QFile>
#include <QString>

#include <charconv>
#include <string>

#include "ModelApi.h"
#include "TestPaths.h"

namespace tessra::test {

/// Loads a model library into the API library (one model per process).
inline ::testing::AssertionResult loadModel(const std::string& path)
{
    const ModelApi model;
    model.loadModel(path);
    if (auto error = model.loadModelError())
        return ::testing::AssertionFailure() << "cannot load " << path << ": " << *error;
    return ::testing::AssertionSuccess();
}

inline int paramIndex(const std::string& name)
{
    const ModelApi model;
    for (int i = 0; i < model.paramCount(); ++i)
        if (model.paramName(i) == name)
            return i;
    ADD_FAILURE() << "no parameter " << name;
    return -1;
}

inline int stateIndex(const std::string& name)
{
    const ModelApi model;
    for (int i = 0; i < model.stateCount(); ++i)
        if (model.stateName(i) == name)
            return i;
    ADD_FAILURE() << "no state " << name;
    return -1;
}

/// Sets a parameter by name (the test process runs in the C locale).
inline void setParam(const std::string& name, double value)
{
    char text[64];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    ModelApi().setParamValue(paramIndex(name), std::string(text, end));
}

inline std::string readFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::string("<cannot read>");
    return file.readAll().toStdString();
}

inline void writeFile(const QString& path, const std::string& text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.data(), qint64(text.size()));
}

} // namespace tessra::test
