#pragma once
/*
 * C++ helper for writing a Tessra model.
 *
 * A model is a class. Its static members describe it; an object of the class
 * is made for every new world (and destroyed when the world is freed), so the
 * model's own per-world data are plain members. TESSRA_MODEL(Class) exports
 * the entry point tessra_model() for it.
 *
 *   struct Blink {
 *       static constexpr tessra::About about { "Blink", "1.0" };
 *       static constexpr TessraParamInfo params[] {
 *           tessra::wholeParam("Size", "Size", 16, 1, 256, "Sites per side"),
 *       };
 *       static constexpr const char* states[] { "On" };
 *       static void worldSize(tessra::Params p, int& width, int& height)
 *       {
 *           width = height = p.whole(0);
 *       }
 *       void init(tessra::Sim) { }
 *       double step(tessra::Sim sim)
 *       {
 *           for (int i = 0; i < sim.siteCount(); ++i)
 *               sim.sites()[i] = 1 - sim.sites()[i];
 *           return sim.time() + 1;
 *       }
 *       void color(tessra::Sim sim, int column, int row, tessra::Rgb& rgb) const
 *       {
 *           rgb = sim.state(column, row, 0) != 0 ? tessra::Rgb { 255, 255, 0 } : tessra::Rgb {};
 *       }
 *   };
 *   TESSRA_MODEL(Blink)
 *
 * Required: `about`, `worldSize`, `init`, `step`, `color`.
 * Optional (detected at compile time; a missing one is reported to the host
 * as absent):
 *   static constexpr TessraParamInfo params[]      parameters, in index order
 *   static constexpr const char* states[]          state names, in index order
 *   static std::string aboutParam(int index, tessra::Params candidates)
 *   static bool validateParam(int index, double value)
 *   std::string hint(tessra::Sim, int column, int row)
 *   void mouseUp(tessra::Sim, int button, int column, int row, int keys)
 *   std::string aboutState(tessra::Sim, int column, int row, int index)
 *   void simReady(tessra::Sim)
 *   void colorRow(tessra::Sim, int row, tessra::Rgb8* out) const
 * Texts may be returned as std::string, std::string_view or const char*.
 *
 * colorRow is the fast road for drawing: it gives the colours of a whole row,
 * out[column] for column 0 to sim.width() - 1, and must give exactly the
 * colours color gives (components 0..255). out holds the present colours on
 * entry. Share one inline function between the two:
 *
 *       static tessra::Rgb8 shade(const float* site) { ... }
 *       void color(tessra::Sim sim, int column, int row, tessra::Rgb& rgb) const
 *       {
 *           const tessra::Rgb8 c = shade(sim.site(column, row));
 *           rgb = tessra::Rgb { c.red, c.green, c.blue };
 *       }
 *       void colorRow(tessra::Sim sim, int row, tessra::Rgb8* out) const
 *       {
 *           const float* site = sim.site(0, row);
 *           for (int column = 0; column < sim.width(); ++column, site += sim.stateCount())
 *               out[column] = shade(site);
 *       }
 *
 * No exception leaves the model: one thrown by a model function is written to
 * the host's debug log (the first failure of each function after the model is
 * loaded, once) and the call ends as if it had done nothing. Thrown by
 * worldSize, the constructor, init or step it also fails that call
 * (tessra_report_error): no world is built, or the step keeps the time and the
 * run ends, and Tessra shows the exception's text. A model object that cannot
 * be made leaves every later call of that world a no-op with a neutral answer:
 * the time stays, colours are black, texts are empty.
 */

#include <algorithm>
#include <cmath>
#include <concepts>
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <type_traits>

#include "host.h"
#include "model.h"

namespace tessra {

/// The about texts of a model; any may be null.
struct About {
    const char* name = nullptr;
    const char* version = nullptr;
    const char* copyright = nullptr;
    const char* comments = nullptr;
    const char* url = nullptr;
};

/// A parameter that takes any number in [minimum, maximum].
constexpr TessraParamInfo realParam(const char* name, const char* label, double initial,
    double minimum, double maximum, const char* description = nullptr)
{
    return TessraParamInfo { name, label, initial, minimum, maximum, 0, description };
}

/// A parameter that takes whole numbers in [minimum, maximum].
constexpr TessraParamInfo wholeParam(const char* name, const char* label, double initial,
    double minimum, double maximum, const char* description = nullptr)
{
    return TessraParamInfo { name, label, initial, minimum, maximum, 1, description };
}

/// A read-only view of parameter values (current values or a dialog's candidates).
class Params {
public:
    explicit Params(const double* values) noexcept
        : m_values(values)
    {
    }
    double operator[](int index) const noexcept { return m_values[index]; }
    /// The value rounded to the nearest whole number.
    int whole(int index) const noexcept { return static_cast<int>(std::lround(m_values[index])); }
    const double* data() const noexcept { return m_values; }

private:
    const double* m_values;
};

/// A site colour, components 0..255.
struct Rgb {
    unsigned short red = 0;
    unsigned short green = 0;
    unsigned short blue = 0;
};

/// One pixel of the image colorRow fills: 8-bit components, three bytes.
struct Rgb8 {
    unsigned char red = 0;
    unsigned char green = 0;
    unsigned char blue = 0;

    /// The low 8 bits of each component, as the host keeps them from color.
    static constexpr Rgb8 from(Rgb rgb) noexcept
    {
        return Rgb8 { static_cast<unsigned char>(rgb.red), static_cast<unsigned char>(rgb.green),
            static_cast<unsigned char>(rgb.blue) };
    }
};
static_assert(sizeof(Rgb8) == 3 && alignof(Rgb8) == 1, "Rgb8 must be three bytes");

/// The simulation as the model sees it: a thin, copyable view over the
/// TessraSim the API library owns. Site (column, row) holds stateCount()
/// floats side by side.
class Sim {
public:
    explicit Sim(const TessraSim* sim) noexcept
        : m_sim(sim)
    {
    }
    int width() const noexcept { return m_sim->width; }
    int height() const noexcept { return m_sim->height; }
    int siteCount() const noexcept { return m_sim->width * m_sim->height; }
    int stateCount() const noexcept { return m_sim->stateCount; }
    /// The time before the step in progress (the current time between steps).
    double time() const noexcept { return m_sim->time; }
    double param(int index) const noexcept { return m_sim->params[index]; }
    int wholeParam(int index) const noexcept { return Params(m_sim->params).whole(index); }
    Params params() const noexcept { return Params(m_sim->params); }

    bool contains(int column, int row) const noexcept
    {
        return column >= 0 && row >= 0 && column < m_sim->width && row < m_sim->height;
    }
    /// All states of all sites, site after site.
    float* sites() const noexcept { return m_sim->sites; }
    /// The states of one site.
    float* site(int column, int row) const noexcept
    {
        return m_sim->sites
            + (static_cast<std::ptrdiff_t>(row) * m_sim->width + column) * m_sim->stateCount;
    }
    float& state(int column, int row, int index) const noexcept { return site(column, row)[index]; }
    const TessraSim* raw() const noexcept { return m_sim; }

private:
    const TessraSim* m_sim;
};

/// The time after a step of dt ticks from time. Sums of decimal fractions such
/// as 0.1 drift in binary; the result is kept on a grid of 1e-9 ticks (while
/// the time is below 1e6) so that ten steps of 0.1 reach exactly 1.
inline double nextTime(double time, double dt) noexcept
{
    const double next = time + dt;
    if (std::fabs(next) >= 1e6)
        return next;
    return std::round(next * 1e9) / 1e9;
}

/// Writes one line to the host's debug log (nothing happens without a host).
inline void debugLog(const std::string& text)
{
    tessra_debug_log(text.c_str());
}

namespace detail {

/// What a model's text functions may return.
template <class T>
concept Text = std::is_convertible_v<T, const char*> || std::is_convertible_v<T, std::string_view>;

template <class T> const char* keepText(std::string& buffer, T&& text)
{
    if constexpr (std::is_convertible_v<T, const char*>) {
        const char* p = text;
        buffer = p ? p : "";
    } else {
        buffer = std::string_view(text);
    }
    return buffer.c_str();
}

/// The model functions, as their failures are named in the debug log.
enum class Function : unsigned {
    WorldSize,
    Constructor,
    Init,
    Step,
    Color,
    ColorRow,
    Hint,
    MouseUp,
    AboutParam,
    ValidateParam,
    AboutState,
    SimReady,
    Destructor,
};

inline const char* functionName(Function function) noexcept
{
    static constexpr const char* names[] { "worldSize", "the constructor", "init", "step", "color",
        "colorRow", "hint", "mouseUp", "aboutParam", "validateParam", "aboutState", "simReady",
        "the destructor" };
    return names[static_cast<unsigned>(function)];
}

/// The message of the exception being handled (call only inside a handler).
inline std::string currentMessage()
{
    try {
        throw;
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "an exception that is not a std::exception";
    }
}

/// The first pixel of a row of the image the host hands to colorRows.
inline Rgb8* pixelRow(unsigned char* rgb, int row, int bytesPerLine) noexcept
{
    return reinterpret_cast<Rgb8*>(rgb + static_cast<std::ptrdiff_t>(row) * bytesPerLine);
}

template <class M> M* model(const TessraSim* sim) noexcept
{
    return static_cast<M*>(sim->modelData);
}

/// The C functions the host calls. Each catches every exception; a model object
/// that could not be made (its constructor or init threw) leaves every later
/// call of that world a no-op with a neutral answer: the time unchanged, black
/// colours, empty texts.
template <class M> struct Thunks {
    /// The functions whose failure the debug log has shown since the model was
    /// loaded: a function that throws at every site or step is reported once.
    static inline unsigned reported = 0;

    /// Reports the exception being handled (call only inside a handler).
    static void fail(Function function) noexcept
    {
        std::string message;
        try {
            message = currentMessage();
        } catch (...) {
        }
        // A failed world size, model object, init or step fails that call every
        // time: no world is built, or the step keeps the time and the run ends.
        if (function == Function::WorldSize || function == Function::Constructor
            || function == Function::Init || function == Function::Step)
            tessra_report_error(message.c_str());
        const unsigned bit = 1u << static_cast<unsigned>(function);
        if (reported & bit)
            return;
        reported |= bit;
        try {
            std::string text = M::about.name ? std::string(M::about.name) + ": " : std::string();
            text.append(functionName(function)).append(" failed: ").append(message);
            tessra_debug_log(text.c_str());
        } catch (...) {
            tessra_debug_log("A model function failed");
        }
    }

    static void worldSize(const double* params, int* width, int* height) noexcept
    {
        *width = 0;
        *height = 0;
        try {
            M::worldSize(Params(params), *width, *height);
        } catch (...) {
            fail(Function::WorldSize);
            *width = 0;
            *height = 0;
        }
    }
    static void init(TessraSim* sim) noexcept
    {
        M* m = nullptr;
        try {
            m = new M();
        } catch (...) {
            fail(Function::Constructor);
            return;
        }
        sim->modelData = m;
        try {
            m->init(Sim(sim));
        } catch (...) {
            fail(Function::Init);
            // A half-built world is not stepped: the model object goes now.
            destroy(sim);
        }
    }
    static double step(TessraSim* sim) noexcept
    {
        M* m = model<M>(sim);
        if (!m)
            return sim->time;
        try {
            return m->step(Sim(sim));
        } catch (...) {
            fail(Function::Step);
            return sim->time;
        }
    }
    static void color(const TessraSim* sim, int column, int row, unsigned short* red,
        unsigned short* green, unsigned short* blue) noexcept
    {
        M* m = model<M>(sim);
        if (!m) {
            *red = *green = *blue = 0;
            return;
        }
        try {
            Rgb rgb { *red, *green, *blue };
            m->color(Sim(sim), column, row, rgb);
            *red = rgb.red;
            *green = rgb.green;
            *blue = rgb.blue;
        } catch (...) {
            fail(Function::Color);
        }
    }
    static void colorRows(const TessraSim* sim, int firstRow, int rowCount, unsigned char* rgb,
        int bytesPerLine) noexcept
    {
        M* m = model<M>(sim);
        const Sim view(sim);
        const int end = firstRow + rowCount;
        for (int row = firstRow; row < end; ++row) {
            Rgb8* out = pixelRow(rgb, row, bytesPerLine);
            if (!m) {
                std::fill_n(out, view.width(), Rgb8 {});
                continue;
            }
            try {
                m->colorRow(view, row, out);
            } catch (...) {
                fail(Function::ColorRow);
            }
        }
    }
    static const char* hint(const TessraSim* sim, int column, int row) noexcept
    {
        static std::string text;
        M* m = model<M>(sim);
        if (!m)
            return "";
        try {
            return keepText(text, m->hint(Sim(sim), column, row));
        } catch (...) {
            fail(Function::Hint);
            return "";
        }
    }
    static void mouseUp(TessraSim* sim, int button, int column, int row, int keys) noexcept
    {
        M* m = model<M>(sim);
        if (!m)
            return;
        try {
            m->mouseUp(Sim(sim), button, column, row, keys);
        } catch (...) {
            fail(Function::MouseUp);
        }
    }
    static const char* aboutParam(int index, const double* candidates) noexcept
    {
        static std::string text;
        try {
            return keepText(text, M::aboutParam(index, Params(candidates)));
        } catch (...) {
            fail(Function::AboutParam);
            return "";
        }
    }
    static int validateParam(int index, double value) noexcept
    {
        try {
            return M::validateParam(index, value) ? 1 : 0;
        } catch (...) {
            fail(Function::ValidateParam);
            return 0;
        }
    }
    static const char* aboutState(const TessraSim* sim, int column, int row, int index) noexcept
    {
        static std::string text;
        M* m = model<M>(sim);
        if (!m)
            return "";
        try {
            return keepText(text, m->aboutState(Sim(sim), column, row, index));
        } catch (...) {
            fail(Function::AboutState);
            return "";
        }
    }
    static void simReady(TessraSim* sim) noexcept
    {
        M* m = model<M>(sim);
        if (!m)
            return;
        try {
            m->simReady(Sim(sim));
        } catch (...) {
            fail(Function::SimReady);
        }
    }
    static void cleanup(TessraSim* sim) noexcept { destroy(sim); }

private:
    static void destroy(TessraSim* sim) noexcept
    {
        M* m = model<M>(sim);
        sim->modelData = nullptr;
        try {
            delete m;
        } catch (...) {
            fail(Function::Destructor);
        }
    }
};

template <class M> constexpr int paramCount()
{
    if constexpr (requires { M::params; }) {
        static_assert(std::is_array_v<decltype(M::params)>,
            "params must be a C array: static constexpr TessraParamInfo params[] { ... }");
        return static_cast<int>(std::extent_v<decltype(M::params)>);
    } else
        return 0;
}

template <class M> constexpr const TessraParamInfo* paramTable()
{
    if constexpr (requires { M::params; })
        return M::params;
    else
        return nullptr;
}

template <class M> constexpr int stateCount()
{
    if constexpr (requires { M::states; }) {
        static_assert(std::is_array_v<decltype(M::states)>,
            "states must be a C array: static constexpr const char* states[] { ... }");
        return static_cast<int>(std::extent_v<decltype(M::states)>);
    } else
        return 0;
}

template <class M> constexpr const char* const* stateTable()
{
    if constexpr (requires { M::states; })
        return M::states;
    else
        return nullptr;
}

template <class M> TessraModel describe()
{
    static_assert(
        requires { tessra::About { M::about }; },
        "a model needs: static constexpr tessra::About about { name, version, ... }");
    static_assert(
        requires(Params p, int& size) { M::worldSize(p, size, size); },
        "a model needs: static void worldSize(tessra::Params, int& width, int& height)");
    static_assert(std::is_default_constructible_v<M>,
        "a model class is made for every world: it needs a default constructor");
    static_assert(
        requires(M & m, Sim s) { m.init(s); }, "a model needs: void init(tessra::Sim)");
    static_assert(
        requires(M & m, Sim s) {
            {
                m.step(s)
                } -> std::convertible_to<double>;
        },
        "a model needs: double step(tessra::Sim) returning the new time");
    static_assert(
        requires(M & m, Sim s, Rgb & rgb) { m.color(s, 0, 0, rgb); },
        "a model needs: void color(tessra::Sim, int column, int row, tessra::Rgb&)");
    using T = Thunks<M>;
    TessraModel d {};
    d.interfaceVersion = TESSRA_MODEL_INTERFACE_VERSION;
    d.name = M::about.name;
    d.version = M::about.version;
    d.copyright = M::about.copyright;
    d.comments = M::about.comments;
    d.url = M::about.url;
    d.paramCount = paramCount<M>();
    d.params = paramTable<M>();
    d.stateCount = stateCount<M>();
    d.stateNames = stateTable<M>();
    d.worldSize = &T::worldSize;
    d.init = &T::init;
    d.step = &T::step;
    d.color = &T::color;
    // An optional function is wired when the class has a member of its name;
    // one with the wrong signature is an error, never silently left out.
    if constexpr (requires { &M::hint; }) {
        static_assert(
            requires(M & m, Sim s) {
                {
                    m.hint(s, 0, 0)
                    } -> Text;
            },
            "expected: std::string hint(tessra::Sim, int column, int row)");
        d.hint = &T::hint;
    }
    if constexpr (requires { &M::mouseUp; }) {
        static_assert(
            requires(M & m, Sim s) { m.mouseUp(s, 0, 0, 0, 0); },
            "expected: void mouseUp(tessra::Sim, int button, int column, int row, int keys)");
        d.mouseUp = &T::mouseUp;
    }
    if constexpr (requires { &M::aboutParam; }) {
        static_assert(
            requires(Params p) {
                {
                    M::aboutParam(0, p)
                    } -> Text;
            },
            "expected: static std::string aboutParam(int index, tessra::Params candidates)");
        d.aboutParam = &T::aboutParam;
    }
    if constexpr (requires { &M::validateParam; }) {
        static_assert(
            requires {
                {
                    M::validateParam(0, 0.0)
                    } -> std::convertible_to<bool>;
            },
            "expected: static bool validateParam(int index, double value)");
        d.validateParam = &T::validateParam;
    }
    if constexpr (requires { &M::aboutState; }) {
        static_assert(
            requires(M & m, Sim s) {
                {
                    m.aboutState(s, 0, 0, 0)
                    } -> Text;
            },
            "expected: std::string aboutState(tessra::Sim, int column, int row, int index)");
        d.aboutState = &T::aboutState;
    }
    if constexpr (requires { &M::colorRow; }) {
        static_assert(
            requires(M & m, Sim s, Rgb8 * out) { m.colorRow(s, 0, out); },
            "expected: void colorRow(tessra::Sim, int row, tessra::Rgb8* out) const");
        d.colorRows = &T::colorRows;
    }
    if constexpr (requires { &M::simReady; }) {
        static_assert(
            requires(M & m, Sim s) { m.simReady(s); }, "expected: void simReady(tessra::Sim)");
        d.simReady = &T::simReady;
    }
    d.cleanup = &T::cleanup;
    return d;
}

template <class M> const TessraModel* entry() noexcept
{
    static const TessraModel description = describe<M>();
    return &description;
}

} // namespace detail
} // namespace tessra

/// Exports tessra_model() for the model class M (once per model library).
#define TESSRA_MODEL(M)                                                                            \
    extern "C" TESSRA_MODEL_EXPORT const TessraModel* tessra_model(void)                           \
    {                                                                                              \
        return ::tessra::detail::entry<M>();                                                       \
    }
