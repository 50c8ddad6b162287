#include "World.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

namespace tessra::api {

namespace {

/// The number of floats a world of this size needs, or -1 when it is too big:
/// models index sites with int arithmetic, so neither the site count nor the
/// float count may pass INT_MAX.
std::int64_t floatsFor(int width, int height, int stateCount)
{
    const std::int64_t sites = static_cast<std::int64_t>(width) * height;
    if (sites > INT_MAX)
        return -1;
    const std::int64_t floats = sites * stateCount;
    return floats > INT_MAX ? -1 : floats;
}

} // namespace

World::World() = default;

World::~World() = default;

void World::attach(const TessraModel* model, const double* params)
{
    destroy();
    m_failure.clear();
    m_model = model;
    m_sim = TessraSim {};
    m_sim.stateCount = model ? model->stateCount : 0;
    m_sim.params = params;
    m_color = nullptr;
    m_colorRows = nullptr;
}

void World::destroy()
{
    const bool existed = m_exists;
    m_exists = false;
    // cleanup still sees the world as it was (size, sites, modelData).
    if (existed && m_model->cleanup) {
        try {
            m_model->cleanup(&m_sim);
        } catch (...) {
            release();
            throw;
        }
    }
    release();
}

void World::release()
{
    m_color = nullptr;
    m_colorRows = nullptr;
    m_sim.width = 0;
    m_sim.height = 0;
    m_sim.sites = nullptr;
    m_sim.modelData = nullptr;
    m_block.reset();
}

template <typename Call> std::string World::collectFailure(Call&& call)
{
    m_collecting = true;
    m_reported = false;
    m_reportedReason.clear();
    try {
        call();
    } catch (...) {
        // Only a model that lets an exception out of a C function gets here.
        m_collecting = false;
        return m_reported && !m_reportedReason.empty() ? m_reportedReason
                                                       : "the model failed with an exception";
    }
    m_collecting = false;
    if (!m_reported)
        return {};
    return m_reportedReason.empty() ? std::string("the model reported a failure")
                                    : m_reportedReason;
}

void World::reportFailure(const char* reason)
{
    if (!m_collecting || m_reported)
        return;
    m_reported = true;
    m_reportedReason = reason ? reason : "";
    for (char& c : m_reportedReason)
        if (c == '\n' || c == '\r')
            c = ' ';
}

void World::build()
{
    m_failure.clear();
    destroy();
    if (!m_model) {
        m_failure = "no model is loaded";
        return;
    }
    m_sim.time = 0;
    int width = 0;
    int height = 0;
    m_failure = collectFailure([&] { m_model->worldSize(m_sim.params, &width, &height); });
    if (!m_failure.empty())
        return;
    if (width < 0 || height < 0) {
        m_failure = "the model's size function gave " + std::to_string(width) + " x "
            + std::to_string(height) + " sites";
        return;
    }
    if (width == 0 || height == 0)
        width = height = 0;
    const std::string tooBig = std::to_string(width) + " x " + std::to_string(height)
        + " sites is more than this machine can hold";
    const std::int64_t floats = floatsFor(width, height, m_sim.stateCount);
    if (floats < 0) {
        m_failure = tooBig;
        return;
    }
    // calloc: one zeroed block (the kernel hands out zero pages for large ones).
    float* block = floats > 0 ? static_cast<float*>(std::calloc(floats, sizeof(float))) : nullptr;
    if (floats > 0 && !block) {
        m_failure = tooBig;
        return;
    }
    m_block.reset(block);
    m_sim.sites = block;
    m_sim.width = width;
    m_sim.height = height;
    m_sim.modelData = nullptr;
    m_exists = true;
    m_color = m_model->color;
    m_colorRows = m_model->colorRows;
    const std::string initFailure = collectFailure([&] { m_model->init(&m_sim); });
    if (!initFailure.empty()) {
        // What init left behind is no world to run: the model cleans it up.
        try {
            destroy();
        } catch (...) {
        }
        m_failure = initFailure;
    }
}

double World::step()
{
    if (!m_exists) {
        m_failure = "there is no world";
        return m_sim.time;
    }
    // The model sees the time before the step in m_sim.time while it steps.
    double next = m_sim.time;
    m_failure = collectFailure([&] { next = m_model->step(&m_sim); });
    if (m_failure.empty() && !std::isfinite(next))
        m_failure = "the model's step gave no valid time";
    if (!m_failure.empty())
        return m_sim.time;
    m_sim.time = next;
    return next;
}

void World::simReady()
{
    if (m_exists && m_model->simReady)
        m_model->simReady(&m_sim);
}

void World::colorRows(int firstRow, int rowCount, unsigned char* rgb, int bytesPerLine) const
{
    const int width = m_sim.width;
    const int height = m_sim.height;
    if (!m_exists || !rgb || width <= 0 || rowCount <= 0
        || static_cast<std::int64_t>(bytesPerLine) < 3 * static_cast<std::int64_t>(width))
        return;
    // Clip in 64 bits: firstRow + rowCount may pass INT_MAX.
    const std::int64_t first = std::max<std::int64_t>(firstRow, 0);
    const std::int64_t end = std::min<std::int64_t>(std::int64_t { firstRow } + rowCount, height);
    if (first >= end)
        return;
    if (m_colorRows) {
        m_colorRows(
            &m_sim, static_cast<int>(first), static_cast<int>(end - first), rgb, bytesPerLine);
        return;
    }
    // No bulk function: the model's colour of each site, from the pixel's present colour.
    const auto color = m_color;
    const TessraSim* const sim = &m_sim;
    for (auto row = static_cast<int>(first); row < end; ++row) {
        unsigned char* pixel = rgb + static_cast<std::ptrdiff_t>(row) * bytesPerLine;
        for (int column = 0; column < width; ++column, pixel += 3) {
            unsigned short red = pixel[0];
            unsigned short green = pixel[1];
            unsigned short blue = pixel[2];
            color(sim, column, row, &red, &green, &blue);
            pixel[0] = static_cast<unsigned char>(red);
            pixel[1] = static_cast<unsigned char>(green);
            pixel[2] = static_cast<unsigned char>(blue);
        }
    }
}

const char* World::hint(int column, int row) const
{
    if (!contains(column, row) || !m_model->hint)
        return "";
    const char* text = m_model->hint(&m_sim, column, row);
    return text ? text : "";
}

void World::mouseUp(int button, int column, int row, int keys)
{
    if (contains(column, row) && m_model->mouseUp)
        m_model->mouseUp(&m_sim, button, column, row, keys);
}

double World::stateValue(int column, int row, int index) const
{
    if (!contains(column, row) || index < 0 || index >= m_sim.stateCount)
        return 0.0;
    return site(column, row)[index];
}

float* World::stateRef(int column, int row, const char* name) const
{
    if (!name || !contains(column, row))
        return nullptr;
    for (int k = 0; k < m_sim.stateCount; ++k)
        if (std::strcmp(m_model->stateNames[k], name) == 0)
            return site(column, row) + k;
    return nullptr;
}

const char* World::aboutState(int column, int row, int index) const
{
    if (!contains(column, row) || index < 0 || index >= m_sim.stateCount || !m_model->aboutState)
        return "";
    const char* text = m_model->aboutState(&m_sim, column, row, index);
    return text ? text : "";
}

namespace {

/// Phase 0 for every site in row-major order; false when the operation asked
/// to stop.
bool walkSites(
    TessraSiteOperation operation, float* values, int width, int height, int stride, double* result)
{
    for (int row = 0; row < height; ++row)
        for (int column = 0; column < width; ++column, values += stride)
            if (!operation(values, column, row, width, height, 0, result))
                return false;
    return true;
}

} // namespace

void World::forEachSite(TessraSiteOperation operation, double* result) const
{
    if (!operation)
        return;
    const int width = m_sim.width;
    const int height = m_sim.height;
    const int stride = m_sim.stateCount;
    if (width == 0 || height == 0 || stride == 0) {
        forEachWithScratch(operation, result);
        return;
    }
    float* const first = m_sim.sites;
    if (operation(first, 0, 0, width, height, 1, result))
        walkSites(operation, first, width, height, stride, result);
    operation(site(width - 1, height - 1), width - 1, height - 1, width, height, -1, result);
}

void World::forEachWithScratch(TessraSiteOperation operation, double* result) const
{
    // No site has a float of its own: each call gets a zeroed scratch value.
    const int width = m_sim.width;
    const int height = m_sim.height;
    const int lastColumn = width > 0 ? width - 1 : 0;
    const int lastRow = height > 0 ? height - 1 : 0;
    std::vector<float> scratch(m_sim.stateCount > 0 ? m_sim.stateCount : 1, 0.0f);
    const auto zeroed = [&scratch] {
        std::fill(scratch.begin(), scratch.end(), 0.0f);
        return scratch.data();
    };
    bool goOn = operation(zeroed(), 0, 0, width, height, 1, result) != 0;
    for (int row = 0; goOn && row < height; ++row)
        for (int column = 0; goOn && column < width; ++column)
            goOn = operation(zeroed(), column, row, width, height, 0, result) != 0;
    operation(zeroed(), lastColumn, lastRow, width, height, -1, result);
}

} // namespace tessra::api
