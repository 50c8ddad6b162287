#pragma once

#include <cstdlib>
#include <memory>
#include <string>

#include "TessraAPI.h"
#include "tessra/model.h"

namespace tessra::api {

/// The world of the loaded model: one zeroed block of floats, the states of a
/// site next to each other, rows one after the other, plus the simulation
/// time. The TessraSim the model sees lives inside this object, so its address
/// and that of the time never change.
class World {
public:
    World();
    ~World();
    World(const World&) = delete;
    World& operator=(const World&) = delete;

    /// Takes the model whose world this is (null: none). Frees any world and
    /// sets the time to 0.
    void attach(const TessraModel* model, const double* params);

    /// Frees the old world (the model cleans up first), asks the model for the
    /// size, allocates a zeroed world, sets the time to 0 and lets the model
    /// fill it. A negative size, a size that cannot be allocated, or a size or
    /// init function that reports a failure leaves no world, and failure()
    /// says why.
    void build();
    /// Frees the world; the model cleans up first. No world afterwards.
    void destroy();
    bool exists() const { return m_exists; }

    int width() const { return m_sim.width; }
    int height() const { return m_sim.height; }
    int stateCount() const { return m_sim.stateCount; }
    double time() const { return m_sim.time; }
    double* timeRef() { return &m_sim.time; }

    bool contains(int column, int row) const
    {
        return static_cast<unsigned>(column) < static_cast<unsigned>(m_sim.width)
            && static_cast<unsigned>(row) < static_cast<unsigned>(m_sim.height);
    }
    /// The states of a site inside the world.
    float* site(int column, int row) const
    {
        return m_sim.sites
            + (static_cast<std::size_t>(row) * m_sim.width + column) * m_sim.stateCount;
    }

    /// Advances one step and answers the new time. A step that reports a
    /// failure or answers a time that is not finite keeps the time as it was,
    /// and failure() says why; a step without a world fails the same way.
    double step();
    /// Why the last build() left no world or the last step() failed; empty
    /// when the last of them succeeded (and before any).
    const std::string& failure() const { return m_failure; }
    /// The model says the call it is in failed (size, init or step), for
    /// `reason`. The first report of a call counts; outside those calls a
    /// report is ignored.
    void reportFailure(const char* reason);
    void simReady();
    void color(
        int column, int row, unsigned short* red, unsigned short* green, unsigned short* blue) const
    {
        if (contains(column, row) && red && green && blue)
            m_color(&m_sim, column, row, red, green, blue);
    }
    /// Rows firstRow .. firstRow + rowCount - 1 of the image at rgb (row 0 at
    /// rgb), clipped to the world: the model's colorRows, or its color site by
    /// site.
    void colorRows(int firstRow, int rowCount, unsigned char* rgb, int bytesPerLine) const;
    const char* hint(int column, int row) const;
    void mouseUp(int button, int column, int row, int keys);
    double stateValue(int column, int row, int index) const;
    float* stateRef(int column, int row, const char* name) const;
    const char* aboutState(int column, int row, int index) const;
    void forEachSite(TessraSiteOperation operation, double* result) const;
    /// Site (0, 0) of the block of every site's states; null when the block
    /// holds no float (no world, no sites or no states).
    const float* sites() const
    {
        return m_exists && m_sim.width > 0 && m_sim.height > 0 && m_sim.stateCount > 0 ? m_sim.sites
                                                                                       : nullptr;
    }

private:
    struct FreeFloats {
        void operator()(float* block) const { std::free(block); }
    };

    void release();
    /// Runs `call` into the model, collecting what it reports; answers the
    /// first reported reason, or an empty text.
    template <typename Call> std::string collectFailure(Call&& call);
    void forEachWithScratch(TessraSiteOperation operation, double* result) const;

    const TessraModel* m_model = nullptr;
    TessraSim m_sim {};
    std::unique_ptr<float, FreeFloats> m_block;
    bool m_exists = false;
    bool m_collecting = false;
    bool m_reported = false;
    std::string m_reportedReason;
    std::string m_failure;
    // Copied from the model so the colour call reads no more than it must.
    decltype(TessraModel::color) m_color = nullptr;
    decltype(TessraModel::colorRows) m_colorRows = nullptr;
};

} // namespace tessra::api
