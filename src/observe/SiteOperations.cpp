#include "SiteOperations.h"

#include <cmath>
#include <limits>
#include <type_traits>

// This file is compiled with floating-point contraction off: every product
// and sum below is rounded to double on its own, in the order written.

namespace tessra {

namespace {

using Context = SiteOperations::SiteContext;
static_assert(std::is_standard_layout_v<Context>, "the result must share the context's address");

// The result address is that of the context's first member, so the two
// pointers are interconvertible.
inline Context* context(double* result)
{
    return reinterpret_cast<Context*>(result);
}

// Phases of a pass: a start call, one call per site, a finish call.
constexpr int Start = 1;
constexpr int Site = 0;

// Minimum and Maximum read the values on the start and finish calls too; a
// world without sites may pass no values there, and the result then stays
// what it was (NaN).
unsigned char minimum(float* values, int, int, int, int, int phase, double* result)
{
    Context* c = context(result);
    if (phase != Site && !values)
        return 1;
    const double v = values[c->state];
    if (phase == Start)
        c->result = v;
    else if (v < c->result)
        c->result = v;
    return 1;
}

unsigned char maximum(float* values, int, int, int, int, int phase, double* result)
{
    Context* c = context(result);
    if (phase != Site && !values)
        return 1;
    const double v = values[c->state];
    if (phase == Start)
        c->result = v;
    else if (v > c->result)
        c->result = v;
    return 1;
}

unsigned char average(float* values, int, int, int, int, int phase, double* result)
{
    Context* c = context(result);
    if (phase == Site) [[likely]] {
        c->result = c->result + static_cast<double>(values[c->state]);
        c->n = c->n + 1.0;
    } else if (phase == Start) {
        c->result = 0.0;
        c->n = 0.0;
    } else {
        c->result = c->result / c->n;
    }
    return 1;
}

// Variance, Skewness and Kurtosis take the mean from the result at their
// start call (an Average pass has just left it there).
void startDeviations(Context* c)
{
    c->mean = c->result;
    c->n = 0.0;
    c->s1 = 0.0;
    c->s2 = 0.0;
    c->result = 0.0;
}

double sampleVariance(const Context* c)
{
    return (c->s2 - c->s1 * c->s1 / c->n) / (c->n - 1.0);
}

unsigned char variance(float* values, int, int, int, int, int phase, double* result)
{
    Context* c = context(result);
    if (phase == Site) [[likely]] {
        const double d = static_cast<double>(values[c->state]) - c->mean;
        c->n = c->n + 1.0;
        c->s1 = c->s1 + d;
        c->result = c->result + d * d;
    } else if (phase == Start) {
        startDeviations(c);
    } else {
        c->result = (c->result - c->s1 * c->s1 / c->n) / (c->n - 1.0);
    }
    return 1;
}

unsigned char skewness(float* values, int, int, int, int, int phase, double* result)
{
    Context* c = context(result);
    if (phase == Site) [[likely]] {
        const double d = static_cast<double>(values[c->state]) - c->mean;
        const double p = d * d;
        c->n = c->n + 1.0;
        c->s1 = c->s1 + d;
        c->s2 = c->s2 + p;
        c->result = c->result + p * d;
    } else if (phase == Start) {
        startDeviations(c);
    } else {
        const double var = sampleVariance(c);
        c->result = c->result / (std::sqrt(var) * c->n * var);
    }
    return 1;
}

unsigned char kurtosis(float* values, int, int, int, int, int phase, double* result)
{
    Context* c = context(result);
    if (phase == Site) [[likely]] {
        const double d = static_cast<double>(values[c->state]) - c->mean;
        const double p = d * d;
        c->n = c->n + 1.0;
        c->s1 = c->s1 + d;
        c->s2 = c->s2 + p;
        c->result = c->result + p * p;
    } else if (phase == Start) {
        startDeviations(c);
    } else {
        const double var = sampleVariance(c);
        c->result = c->result / (c->n * var * var) - 3.0;
    }
    return 1;
}

constexpr TessraSiteOperation Operations[]
    = { minimum, maximum, average, variance, skewness, kurtosis };

} // namespace

TessraSiteOperation SiteOperations::operation(int code)
{
    return code >= 0 && code < 6 ? Operations[code] : nullptr;
}

double SiteOperations::compute(const ModelApi& model, int code, int state)
{
    Context c {};
    c.result = std::numeric_limits<double>::quiet_NaN();
    c.state = state;
    if (code < 0 || code >= 6)
        return c.result;
    if (code >= 3)
        model.forEachSite(average, &c.result);
    model.forEachSite(Operations[code], &c.result);
    // Without sites the extreme of the start call is no site's value.
    if (code <= 1 && (model.worldWidth() <= 0 || model.worldHeight() <= 0))
        return std::numeric_limits<double>::quiet_NaN();
    return c.result;
}

} // namespace tessra
